#include "util/cp932.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace pel
