#include "source/decimal.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <random>
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

// The quick ways for short plain decimals against the byte-at-a-time reading: every text
// of up to 7 characters over a small alphabet, and seeded texts of up to 10 over a wider
// one (bytes above 0x7F too), equal in length and in every bit of the value; each read
// alone and with bytes after it that may be read (digits and points, never to be taken).
TEST(ParseDecimalPrefix, QuickWayReadsAsTheReference) {
  std::string room;
  auto same = [&room](const std::string& text) {
    const DecimalPrefix plain = ParseDecimalPrefixPlain(text);
    room = text + "9.5e-.01";
    for (const std::size_t after : {std::size_t{0}, std::size_t{7}, std::size_t{8}}) {
      const DecimalPrefix quick = ParseDecimalPrefix(std::string_view(room).substr(0, text.size()), text.size() + after);
      if (quick.length != plain.length ||
          std::bit_cast<std::uint64_t>(quick.value) != std::bit_cast<std::uint64_t>(plain.value)) {
        return false;
      }
    }
    return true;
  };
  const std::string small = "019.-+e x";
  std::string text;
  std::size_t checked = 0, differ = 0;
  std::function<void(std::size_t)> every = [&](std::size_t left) {
    differ += !same(text);
    ++checked;
    if (left == 0) return;
    for (char c : small) {
      text.push_back(c);
      every(left - 1);
      text.pop_back();
    }
  };
  every(7);
  EXPECT_EQ(differ, 0u) << "of " << checked;
  const std::string wide = "0123456789.-+eE x\xff";
  std::mt19937 random(15);
  for (int i = 0; i < 1'000'000; ++i) {
    text.assign(random() % 11, ' ');
    for (char& c : text) c = wide[random() % wide.size()];
    ASSERT_TRUE(same(text)) << ::testing::PrintToString(text);
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
