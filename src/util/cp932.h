// Code page 932 (Shift-JIS) decoded to Unicode by our own table, the same on Windows and
// Linux, for showing source text in messages, reports and JSON. It agrees with Windows'
// MultiByteToWideChar(932) on every valid code (a Wine test checks each one).
#pragma once

#include <string>
#include <string_view>

namespace pel {

// A lead byte of a two-byte character: 0x81-0x9F or 0xE0-0xFC.
constexpr bool IsCp932LeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// The text of `bytes`; a byte sequence that is not valid code page 932 gives U+FFFD
// (a lead byte with no valid trail byte after it: one U+FFFD, and the next byte is read
// on its own unless it is a trail byte of no character).
std::u32string DecodeCp932(std::string_view bytes);

// The same as UTF-16 (wchar_t on Windows) and as UTF-8.
std::wstring Cp932ToWide(std::string_view bytes);
std::string Cp932ToUtf8(std::string_view bytes);

// `c` as UTF-8, after what `out` holds.
void AppendUtf8(std::string& out, char32_t c);

// UTF-8 of Unicode text; UTF-8 of UTF-16 / UTF-32 wide text (wchar_t is either).
std::string Utf8(std::u32string_view text);
std::string Utf8(std::wstring_view text);

}  // namespace pel
