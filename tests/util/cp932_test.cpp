#include "util/cp932.h"

#include <gtest/gtest.h>

#include "util/shown_text.h"

#include "support/cp932_cases.h"

namespace pel {
namespace {

// The characters Windows gives for these bytes (the table the Win32 codec is checked on).
TEST(DecodeCp932, AgreesWithTheCharactersOfTheCodecTable) {
  for (const auto& c : testing::kCp932Cases) {
    if (std::string(c.bytes) == "?") continue;
    EXPECT_EQ(Cp932ToWide(c.bytes), c.text) << ::testing::PrintToString(std::string(c.bytes));
  }
}

TEST(DecodeCp932, InvalidSequencesShowAsReplacementCharacters) {
  const struct {
    std::string bytes;
    std::u32string text;
  } cases[] = {
      {"\x81", U"\uFFFD"},                  // a lead byte at the end
      {"\x81 a", U"\uFFFD a"},              // a lead byte before a byte that is no trail byte
      {"\x85\x40x", U"\uFFFDx"},            // a pair with no character
      {"\x81\x7F", U"\uFFFD\x7F"},          // 0x7F is no trail byte
      {"\x80\xA0\xFD", U"\x80\uF8F0\uF8F1"},  // single bytes Windows maps outside the kana
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeCp932(c.bytes), c.text) << ::testing::PrintToString(c.bytes);
}

TEST(Utf8, EncodesEveryLength) {
  EXPECT_EQ(Cp932ToUtf8("A\xB6\x8C\x8A"), "A\xEF\xBD\xB6\xE7\xA9\xB4");  // A, ｶ, 穴
  EXPECT_EQ(Utf8(std::u32string(U"\u00E9\U0001F600")), "\xC3\xA9\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8(std::wstring(L"\u00E9")), "\xC3\xA9");
}

// A shown value: its first line, at most 60 characters (a two-byte one never split), the
// cut mark where anything was left out, control characters as \xHH in text and in bytes.
TEST(ShownValue, IsTheFirstLineBoundedAndEscaped) {
  const std::string a59(59, 'a');
  const struct {
    std::string source;
    std::wstring shown;
    std::string csv;
  } cases[] = {
      {"", L"", ""},
      {"1.5", L"1.5", "1.5"},
      {std::string(60, '9'), std::wstring(60, L'9'), std::string(60, '9')},
      {std::string(61, '9'), std::wstring(60, L'9') + L"\u2026", std::string(60, '9') + "\x81\x63"},
      {a59 + "\x8C\x8A", std::wstring(59, L'a') + L"\u7A74", a59 + "\x8C\x8A"},  // 60 with a two-byte one
      {a59 + "\x8C\x8A" "b", std::wstring(59, L'a') + L"\u7A74\u2026", a59 + "\x8C\x8A\x81\x63"},
      {"ab\r\ncd", L"ab\u2026", "ab\x81\x63"},
      {"ab\n", L"ab\u2026", "ab\x81\x63"},
      {"1,1.0,\x1B[2J\x7F\t", L"1,1.0,\\x1B[2J\\x7F\\x09", "1,1.0,\\x1B[2J\\x7F\\x09"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.source));
    const BoundedValue v = BoundValue(c.source);
    EXPECT_EQ(ShownValue(v.bytes, v.cut), c.shown);
    EXPECT_EQ(ShownValueBytes(v.bytes, v.cut), c.csv);
  }
  // A system name's byte that was not UTF-8 shows as the byte (on Windows such a unit is
  // half of a character).
  EXPECT_EQ(EscapeForDisplay(L"B-\xDCFF\x1B"), sizeof(wchar_t) == 4 ? L"B-\\xFF\\x1B" : L"B-\xDCFF\\x1B");
}

}  // namespace
}  // namespace pel
