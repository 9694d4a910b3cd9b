#include "source/decimal.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <optional>
#include <cmath>
#include <limits>
#include <string>

namespace pel {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

namespace {

// A decimal of at most 15 digits without an exponent, read exactly: its digits as a whole
// number (below 2^53) divided by a power of ten (exact up to 10^22) is one correctly
// rounded division, as from_chars would give. Nothing for any other text.
std::optional<DecimalPrefix> ShortDecimal(std::string_view text) {
  static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  std::size_t i = 0;
  const std::size_t n = text.size();
  const bool negative = n > 0 && text[0] == '-';
  if (n > 0 && (text[0] == '-' || text[0] == '+')) ++i;
  std::uint64_t digits = 0;
  int count = 0, decimals = 0;
  bool point = false;
  for (; i < n; ++i) {
    const char c = text[i];
    if (IsDigit(c)) {
      if (++count > 15) return std::nullopt;
      digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
      decimals += point;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (count == 0 || (i < n && (text[i] == 'e' || text[i] == 'E'))) return std::nullopt;
  const double magnitude = static_cast<double>(digits) / kPowers[decimals];
  return DecimalPrefix{negative ? -magnitude : magnitude, i};
}

// A whole text of at most 8 bytes after its sign that are digits with at most one point
// (a depth such as "12.35"), read as ShortDecimal reads it, with one test for most bytes.
// Nothing for any other text.
std::optional<DecimalPrefix> ShortWholeDecimal(std::string_view text) {
  static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7};
  const std::size_t n = text.size();
  const char* const p = text.data();
  const std::size_t sign = n > 0 && (p[0] == '-' || p[0] == '+') ? 1 : 0;
  if (n - sign - 1 >= 8) return std::nullopt;  // no byte, or more than 8
  std::uint64_t digits = 0;
  std::size_t point = n;  // where the point is; n for none
  for (std::size_t i = sign; i < n; ++i) {
    const unsigned digit = static_cast<unsigned char>(p[i]) - unsigned{'0'};
    if (digit < 10) {
      digits = digits * 10 + digit;
    } else if (p[i] == '.' && point == n) {
      point = i;
    } else {
      return std::nullopt;
    }
  }
  if (point == sign && n == sign + 1) return std::nullopt;  // the point alone
  const double magnitude = static_cast<double>(digits) / kPowers[point == n ? 0 : n - 1 - point];
  return DecimalPrefix{sign && p[0] == '-' ? -magnitude : magnitude, n};
}

// The same text read eight bytes at once, where eight bytes after the sign may be read:
// the text's bytes at the top of a word, '0's below them ("12.35" as "00012.35"), each
// byte turned to its digit, the point taken out, and the eight digits joined by three
// multiplications. Nothing where ShortWholeDecimal gives nothing.
std::optional<DecimalPrefix> EightByteWholeDecimal(std::string_view text) {
  static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7};
  constexpr std::uint64_t kZeros = 0x3030303030303030, kLow7 = 0x7F7F7F7F7F7F7F7F, kTop = 0x8080808080808080;
  const std::size_t n = text.size();
  const char* const p = text.data();
  const std::size_t sign = n > 0 && (p[0] == '-' || p[0] == '+') ? 1 : 0;
  const std::size_t length = n - sign;
  if (length - 1 >= 8) return std::nullopt;  // no byte, or more than 8
  std::uint64_t word;
  std::memcpy(&word, p + sign, 8);
  // Shifted in two steps: by 64 where the text has 8 bytes.
  word = (word << (64 - 8 * length)) | ((kZeros >> (8 * length - 1)) >> 1);
  std::uint64_t digits = word ^ kZeros;  // a digit's byte is 0 to 9
  const std::uint64_t other = (((digits & kLow7) + 0x7676767676767676) | digits) & kTop;
  std::size_t decimals = 0;
  if (other != 0) {
    // One byte that is no digit, the point, and some digit beside it.
    const unsigned at = static_cast<unsigned>(__builtin_ctzll(other)) / 8;
    if ((other & (other - 1)) != 0 || ((digits >> (8 * at)) & 0xFF) != ('.' ^ '0') || length == 1) return std::nullopt;
    const std::uint64_t below = digits & ((std::uint64_t{1} << (8 * at)) - 1);
    digits = (digits & ((~std::uint64_t{0} << (8 * at)) << 8)) | (below << 8);
    decimals = 7 - at;
  }
  // The first byte is the most significant digit.
  digits = (digits * 10 + (digits >> 8)) & 0x00FF00FF00FF00FF;
  digits = (digits * 100 + (digits >> 16)) & 0x0000FFFF0000FFFF;
  digits = (digits * 10000 + (digits >> 32)) & 0xFFFFFFFF;
  const double magnitude = static_cast<double>(digits) / kPowers[decimals];
  return DecimalPrefix{sign && p[0] == '-' ? -magnitude : magnitude, n};
}

}  // namespace

DecimalPrefix ParseDecimalPrefix(std::string_view text, std::size_t room) {
  const std::size_t sign = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
  const bool wide = room >= 8 + sign;
  if (const auto quick = wide ? EightByteWholeDecimal(text) : ShortWholeDecimal(text)) return *quick;
  return ParseDecimalPrefixPlain(text);
}

DecimalPrefix ParseDecimalPrefixPlain(std::string_view text) {
  if (const auto quick = ShortDecimal(text)) return *quick;
  std::size_t i = 0;
  const std::size_t n = text.size();
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  const std::size_t mantissa_start = i;
  std::size_t digits = 0;
  // Position of the decimal exponent: digits before the point, less leading zeros.
  long long int_digits = 0;
  bool seen_nonzero = false;
  long long leading_fraction_zeros = 0;
  bool seen_point = false;
  for (; i < n; ++i) {
    const char c = text[i];
    if (IsDigit(c)) {
      ++digits;
      if (c != '0') seen_nonzero = true;
      if (!seen_point) {
        if (seen_nonzero) ++int_digits;
      } else if (!seen_nonzero) {
        ++leading_fraction_zeros;
      }
    } else if (c == '.' && !seen_point) {
      seen_point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return {};
  long long exponent = 0;
  if (i < n && (text[i] == 'E' || text[i] == 'e')) {
    std::size_t j = i + 1;
    bool exp_negative = false;
    if (j < n && (text[j] == '+' || text[j] == '-')) {
      exp_negative = text[j] == '-';
      ++j;
    }
    if (j < n && IsDigit(text[j])) {
      for (; j < n && IsDigit(text[j]); ++j) {
        if (exponent < 1'000'000'000) exponent = exponent * 10 + (text[j] - '0');
      }
      if (exp_negative) exponent = -exponent;
      i = j;
    }
  }

  DecimalPrefix result;
  result.length = i;
  if (!seen_nonzero) {
    result.value = negative ? -0.0 : 0.0;
    return result;
  }
  // from_chars takes no leading "+"; hand it the unsigned part.
  const std::string_view unsigned_part = text.substr(mantissa_start, i - mantissa_start);
  double magnitude = 0.0;
  const auto [ptr, ec] = std::from_chars(unsigned_part.data(), unsigned_part.data() + unsigned_part.size(),
                                         magnitude, std::chars_format::general);
  if (ec == std::errc::result_out_of_range || ptr != unsigned_part.data() + unsigned_part.size()) {
    // Out of range: decide between overflow and underflow by the decimal exponent.
    const long long scale = (int_digits > 0 ? int_digits : -leading_fraction_zeros) + exponent;
    magnitude = scale > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  result.value = negative ? -magnitude : magnitude;
  return result;
}

// The length of the leading decimal number, by its syntax alone (no value is computed).
std::size_t DecimalPrefixLength(std::string_view text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  bool seen_point = false;
  for (; i < n; ++i) {
    if (IsDigit(text[i])) {
      ++digits;
    } else if (text[i] == '.' && !seen_point) {
      seen_point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return 0;
  if (i < n && (text[i] == 'E' || text[i] == 'e')) {
    std::size_t j = i + 1;
    if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < n && IsDigit(text[j])) {
      while (j < n && IsDigit(text[j])) ++j;
      i = j;
    }
  }
  return i;
}

bool IsDecimalNumber(std::string_view text) {
  auto is_blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  if (text.empty()) return false;
  return DecimalPrefixLength(text) == text.size();
}

}  // namespace pel
