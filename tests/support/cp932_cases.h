// Characters and their code page 932 bytes, as Windows' WideCharToMultiByte(932) gives
// them. The native fake codec is built from this table and the Wine tests check the
// Win32 codec against it, so both sides measure paths alike.
#pragma once

#include <string>

namespace pel::testing {

struct Cp932Case {
  const wchar_t* text;
  const char* bytes;
};

inline constexpr Cp932Case kCp932Cases[] = {
    {L"C", "C"},
    {L"\\", "\\"},
    {L":", ":"},
    {L"Ｃ", "\x82\x62"},      // full-width C
    {L"ソ", "\x83\x5C"},      // trail byte 0x5C, the backslash's byte
    {L"表", "\x95\x5C"},
    {L"穴", "\x8C\x8A"},
    {L"地", "\x92\x6E"},
    {L"層", "\x91\x77"},
    {L"：", "\x81\x46"},      // full-width colon
    {L"　", "\x81\x40"},      // ideographic space
    {L"ｶ", "\xB6"},           // half-width katakana: one byte
    {L"ﾃﾞ", "\xC3\xDE"},
    {L"한", "?"},             // not in code page 932
};

}  // namespace pel::testing
