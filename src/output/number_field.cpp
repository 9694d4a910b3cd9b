#include "output/number_field.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "source/decimal.h"

namespace pel {

std::string GeneralDecimalText(double value) {
  if (value == 0.0 || !std::isfinite(value)) return "0";
  // 15 significant digits, rounded to nearest: d.dddddddddddddde+XX
  char buf[64];
  const auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
  std::string_view sci(buf, static_cast<std::size_t>(result.ptr - buf));
  const bool negative = sci.front() == '-';
  if (negative) sci.remove_prefix(1);
  const std::size_t e_pos = sci.find('e');
  const int exponent = std::atoi(std::string(sci.substr(e_pos + 1)).c_str());
  std::string digits;
  for (char c : sci.substr(0, e_pos)) {
    if (c != '.') digits += c;
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string text = negative ? "-" : "";
  if (exponent < 0) {
    text += "0.";
    text.append(static_cast<std::size_t>(-exponent - 1), '0');
    text += digits;
  } else {
    const auto int_len = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= int_len) {
      text += digits;
      text.append(int_len - digits.size(), '0');
    } else {
      text += digits.substr(0, int_len);
      text += '.';
      text += digits.substr(int_len);
    }
  }
  return text;
}

double NumberFieldValue(std::string_view text) {
  std::string cleaned;
  cleaned.reserve(text.size());
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\n') cleaned += c;
  }
  return ParseDecimalPrefix(cleaned).value;
}

namespace {

// `t`, a number's general decimal text, as a field: zero-filled to `int_places`, the sign
// before the zeros, cut to `decimals`; it does not fit where its integer part is too wide.
void FieldOf(std::string_view t, int int_places, int decimals, FormattedNumber& result) {
  const std::size_t point = t.find('.');
  const std::string_view int_part = t.substr(0, point);
  const std::string_view fraction = point == std::string_view::npos ? std::string_view() : t.substr(point + 1);
  const auto width = static_cast<std::size_t>(int_places);
  const auto dec = static_cast<std::size_t>(decimals);
  result.fits = int_part.size() <= width && width + 1 + dec <= result.chars.size();
  if (!result.fits) return;
  char* const field = result.chars.data();
  result.size = width + 1 + dec;
  std::fill_n(field, result.size, '0');
  // The integer part right-aligned over the zeros, its sign moved before them.
  const bool negative = !int_part.empty() && int_part.front() == '-';
  std::copy(int_part.begin() + negative, int_part.end(), field + (width - int_part.size() + negative));
  if (negative) field[0] = '-';
  field[width] = '.';
  std::copy_n(fraction.begin(), std::min(dec, fraction.size()), field + width + 1);
}

bool IsBlank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

}  // namespace

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// FormatPlainDecimal into `result`, written as FieldOf writes the text "[-]int[.fraction]"
// the digits make, straight from the digits; false, and `result` untouched, for a text it
// does not take.
bool PlainDecimalInto(std::string_view text, int int_places, int decimals, FormattedNumber& result) {
  const char* p = text.data();
  const char* end = p + text.size();
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (p < end && blank(*p)) ++p;
  while (end > p && blank(end[-1])) --end;
  const bool negative = p < end && *p == '-';
  if (p < end && (*p == '-' || *p == '+')) ++p;
  const char* int_begin = p;
  while (p < end && IsDigit(*p)) ++p;
  const char* const int_end = p;
  const char* fraction_begin = p;
  const char* fraction_end = p;
  if (p < end && *p == '.') {
    fraction_begin = ++p;
    while (p < end && IsDigit(*p)) ++p;
    fraction_end = p;
  }
  const auto digits = static_cast<std::size_t>((int_end - int_begin) + (fraction_end - fraction_begin));
  if (p != end || digits == 0 || digits > 15) return false;
  while (int_begin < int_end && *int_begin == '0') ++int_begin;
  while (fraction_end > fraction_begin && fraction_end[-1] == '0') --fraction_end;

  result.whole = true;
  result.zero = int_begin == int_end && fraction_begin == fraction_end;
  // The integer part as the text writes it: its digits, or "0", after a "-".
  const bool minus = negative && !result.zero;
  const auto int_digits = static_cast<std::size_t>(int_end - int_begin);
  const auto width = static_cast<std::size_t>(int_places);
  const auto dec = static_cast<std::size_t>(decimals);
  result.fits = std::max<std::size_t>(int_digits, 1) + minus <= width && width + 1 + dec <= result.chars.size();
  if (!result.fits) return true;
  char* const field = result.chars.data();
  result.size = width + 1 + dec;
  // A field of zeros (past its size too: only `size` counts), then the digits over them,
  // a byte at a time: they are few.
  result.chars.fill('0');
  for (std::size_t i = 0; i < int_digits; ++i) field[width - int_digits + i] = int_begin[i];
  if (minus) field[0] = '-';
  field[width] = '.';
  const std::size_t shown = std::min(dec, static_cast<std::size_t>(fraction_end - fraction_begin));
  for (std::size_t i = 0; i < shown; ++i) field[width + 1 + i] = fraction_begin[i];
  return true;
}

}  // namespace

std::optional<FormattedNumber> FormatPlainDecimal(std::string_view text, int int_places, int decimals) {
  FormattedNumber result;
  if (!PlainDecimalInto(text, int_places, decimals, result)) return std::nullopt;
  return result;
}

FormattedNumber FormatNumberGeneral(std::string_view text, int int_places, int decimals) {
  FormattedNumber result;
  if (IsBlank(text)) return result;
  result.whole = IsDecimalNumber(text);
  const double number = NumberFieldValue(text);
  result.zero = number == 0.0;
  if (std::isinf(number)) {
    result.fits = false;
  } else {
    FieldOf(GeneralDecimalText(number), int_places, decimals, result);
  }
  return result;
}

FormattedNumber FormatNumber(std::string_view text, int int_places, int decimals) {
  FormattedNumber result;
  if (PlainDecimalInto(text, int_places, decimals, result)) return result;
  return FormatNumberGeneral(text, int_places, decimals);
}

std::optional<std::string> FormatNumberField(std::string_view text, int int_places, int decimals) {
  return FormatNumber(text, int_places, decimals).field();
}

}  // namespace pel
