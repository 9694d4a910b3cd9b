// Source values and system names as they are shown on a screen, in the console, in a
// report or a CSV file: a value is cut to its first line and at most 60 characters (an
// unclosed quote can make one field of a whole file), and no byte of it can act on a
// terminal: each control character is written as \xHH, as is each byte of a system name
// that was not UTF-8 (held as U+DC80 + the byte).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pel {

inline constexpr std::size_t kShownValueChars = 60;
// Added where something was left out.
inline constexpr wchar_t kCutMark = L'\u2026';

// A source value (code page 932) cut to what may be shown.
struct BoundedValue {
  std::string bytes;  // the first line, at most `most` characters of it
  bool cut = false;   // something was left out
};
BoundedValue BoundValue(std::string_view cp932, std::size_t most = kShownValueChars);

// Where wide text is UTF-32 (not on Windows), a name's byte that was not UTF-8 is held as
// U+DC80 + the byte; in UTF-16 such a unit is half of a character.
constexpr bool IsUndecodableByte(wchar_t c) {
  return sizeof(wchar_t) == 4 && static_cast<unsigned>(c) >= 0xDC80 && static_cast<unsigned>(c) <= 0xDCFF;
}

// `text` with each control character (0x00-0x1F, 0x7F) and each undecodable byte as \xHH.
std::wstring EscapeForDisplay(std::wstring_view text);
// The same for code page 932 bytes, whose control characters are never part of a
// two-byte character.
std::string EscapeControlBytes(std::string_view cp932);

// A bounded value as shown: decoded, escaped, and the cut mark where it was cut.
std::wstring ShownValue(std::string_view bounded_cp932, bool cut);
// The same in code page 932, for a CSV file.
std::string ShownValueBytes(std::string_view bounded_cp932, bool cut);

}  // namespace pel
