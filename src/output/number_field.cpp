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

std::optional<FormattedNumber> FormatPlainDecimal(std::string_view text, int int_places, int decimals) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) ++i;
  const std::size_t int_start = i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  std::string_view int_digits = text.substr(int_start, i - int_start);
  std::string_view fraction;
  if (i < text.size() && text[i] == '.') {
    const std::size_t start = ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    fraction = text.substr(start, i - start);
  }
  if (i != text.size() || int_digits.size() + fraction.size() == 0 || int_digits.size() + fraction.size() > 15) {
    return std::nullopt;
  }
  while (!int_digits.empty() && int_digits.front() == '0') int_digits.remove_prefix(1);
  while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);

  FormattedNumber result;
  result.whole = true;
  result.zero = int_digits.empty() && fraction.empty();
  char t[24];
  std::size_t n = 0;
  if (negative && !result.zero) t[n++] = '-';
  if (int_digits.empty()) t[n++] = '0';
  for (char c : int_digits) t[n++] = c;
  if (!fraction.empty()) {
    t[n++] = '.';
    for (char c : fraction) t[n++] = c;
  }
  FieldOf(std::string_view(t, n), int_places, decimals, result);
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
  if (auto plain = FormatPlainDecimal(text, int_places, decimals)) return *plain;
  return FormatNumberGeneral(text, int_places, decimals);
}

std::optional<std::string> FormatNumberField(std::string_view text, int int_places, int decimals) {
  return FormatNumber(text, int_places, decimals).field();
}

}  // namespace pel
