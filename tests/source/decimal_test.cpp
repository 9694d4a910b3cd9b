#include "source/decimal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace pel {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

struct PrefixCase {
  std::string text;
  double value;
  std::size_t length;  // bytes taken; 0: no number
};

TEST(ParseDecimalPrefix, TakesTheLongestLeadingNumber) {
  const PrefixCase cases[] = {
      {"12.5", 12.5, 4},
      {"12abc", 12, 2},
      {"-0.25x", -0.25, 5},
      {"+3", 3, 2},
      {".5", 0.5, 2},
      {"5.", 5, 2},
      {"1.2.3", 1.2, 3},
      {"1E5", 1e5, 3},
      {"1e-2", 0.01, 4},
      {"2E", 2, 1},    // an exponent mark without digits is not taken
      {"2E+", 2, 1},
      {"0012", 12, 4},
      {"", 0, 0},
      {"abc", 0, 0},
      {"-", 0, 0},
      {".", 0, 0},
      {" 1", 0, 0},  // blanks are the caller's to skip
      {"-0", -0.0, 2},
      // Exponents beyond any counter saturate, and out-of-range values fall to inf or zero by scale.
      {"1E99999999999999999999", kInf, 22},
      {"-1E400", -kInf, 6},
      {"1E-400", 0, 6},
      {"0.000E999999", 0, 12},
      {"123456789012345678901234567890E-30", 0.12345678901234568, 34},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("text " + ::testing::PrintToString(c.text));
    const DecimalPrefix prefix = ParseDecimalPrefix(c.text);
    EXPECT_EQ(prefix.length, c.length);
    if (std::isinf(c.value)) {
      EXPECT_EQ(prefix.value, c.value);
    } else {
      EXPECT_DOUBLE_EQ(prefix.value, c.value);
    }
    EXPECT_EQ(std::signbit(prefix.value), std::signbit(c.value));
  }
}

TEST(IsDecimalNumber, WholeTextIsOneNumberBlanksAroundAllowed) {
  for (const char* yes : {"1", " 1.5\t", "-0", "1E5", "+.5", "0.0"}) EXPECT_TRUE(IsDecimalNumber(yes)) << yes;
  for (const char* no : {"", "  ", "12abc", "1 2", "1,5", "E5", "1E", "--1", "\r1"}) {
    EXPECT_FALSE(IsDecimalNumber(no)) << ::testing::PrintToString(std::string(no));
  }
}

}  // namespace
}  // namespace pel
