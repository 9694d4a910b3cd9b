#include "output/number_field.h"

#include <gtest/gtest.h>

namespace pel {
namespace {

struct FieldCase {
  const char* input;
  int places;
  int decimals;
  std::optional<std::string> expected;
};

TEST(FormatNumberField, RendersFixedWidthFields) {
  const FieldCase cases[] = {
      {"", 7, 2, ""},
      {"   ", 7, 2, ""},
      {"12", 7, 2, "0000012.00"},
      {"12.5", 7, 2, "0000012.50"},
      {" 7.25 ", 7, 2, "0000007.25"},
      {".5", 7, 2, "0000000.50"},
      {"1.999", 7, 2, "0000001.99"},
      {"2.675", 7, 2, "0000002.67"},
      {"0", 7, 2, "0000000.00"},
      {"-0", 7, 2, "0000000.00"},
      {"abc", 7, 2, "0000000.00"},
      {"-", 7, 2, "0000000.00"},
      {"1,5", 7, 2, "0000001.00"},
      {"007.50", 7, 2, "0000007.50"},
      {"+3", 7, 2, "0000003.00"},
      {"1 2.5", 7, 2, "0000012.50"},
      {"\t3\n", 7, 2, "0000003.00"},
      {"1.5E2", 7, 2, "0000150.00"},
      {"1234567", 7, 2, "1234567.00"},
      {"9999999.999", 7, 2, "9999999.99"},
      {"0.0125", 6, 3, "000000.012"},
      {"12", 6, 3, "000012.000"},
      {"123456.7891", 6, 3, "123456.789"},
      // Negative values: the sign first, then the zeros.
      {"-1.5", 7, 2, "-000001.50"},
      {"-0.25", 7, 2, "-000000.25"},
      {"-123456", 7, 2, "-123456.00"},
      {"-1.5", 6, 3, "-00001.500"},
      // Tiny magnitudes are plain decimals, never exponent notation.
      {"0.00001", 7, 2, "0000000.00"},
      {"0.00009", 6, 3, "000000.000"},
      {"1E-300", 7, 2, "0000000.00"},
      // Rounded to 15 significant digits before the cut.
      {"0.1234567890123456789", 7, 2, "0000000.12"},
      {"1.9999999999999999", 7, 2, "0000002.00"},
      // Too wide for the field: no field at all.
      {"12345678.9", 7, 2, std::nullopt},
      {"-1234567", 7, 2, std::nullopt},
      {"1E+15", 7, 2, std::nullopt},
      {"1E+999", 7, 2, std::nullopt},
      {"1234567", 6, 3, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatNumberField(c.input, c.places, c.decimals), c.expected)
        << "'" << c.input << "' " << c.places << "." << c.decimals;
  }
}

TEST(GeneralDecimalText, PlainDecimalAtEveryMagnitude) {
  const std::pair<double, const char*> cases[] = {
      {0.0, "0"},          {-0.0, "0"},       {7.5, "7.5"},         {100.0, "100"},
      {0.25, "0.25"},      {-0.25, "-0.25"},  {1e-5, "0.00001"},    {1.5e-7, "0.00000015"},
      {1e15, "1000000000000000"},              {123456789012345678.0, "123456789012346000"},
      {0.1 + 0.2, "0.3"},  {2.675, "2.675"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(GeneralDecimalText(value), text) << value;
}

}  // namespace
}  // namespace pel

namespace pel {
namespace {

// The short way for plain decimals gives what the general rendering gives, for every text
// of up to 6 characters over the digits, ".", "-", "+", "E" and the blank that it takes.
TEST(FormatPlainDecimal, AgreesWithTheGeneralRenderingForEveryShortText) {
  constexpr std::string_view kAlphabet = "0123456789.-+E ";
  std::string text;
  std::size_t checked = 0;
  auto same = [](const FormattedNumber& a, const FormattedNumber& b) {
    return a.field() == b.field() && a.whole == b.whole && a.zero == b.zero;
  };
  for (std::size_t length = 0; length <= 6; ++length) {
    std::vector<std::size_t> digit(length, 0);
    text.assign(length, kAlphabet[0]);
    for (;;) {
      for (const auto& [places, decimals] : {std::pair{7, 2}, std::pair{6, 3}}) {
        const auto plain = FormatPlainDecimal(text, places, decimals);
        if (!plain) continue;
        ASSERT_TRUE(same(*plain, FormatNumberGeneral(text, places, decimals)))
            << ::testing::PrintToString(text) << " with " << places << " places";
        checked += places == 7;
      }
      std::size_t i = 0;
      while (i < length && ++digit[i] == kAlphabet.size()) {
        digit[i] = 0;
        text[i++] = kAlphabet[0];
      }
      if (i == length) break;
      text[i] = kAlphabet[digit[i]];
    }
  }
  EXPECT_EQ(checked, 2551310u);  // of the 12,204,241 texts, the plain decimals
}

}  // namespace
}  // namespace pel
