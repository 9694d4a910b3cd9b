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

std::optional<std::string> FormatNumberField(std::string_view text, int int_places, int decimals) {
  if (text.find_first_not_of(' ') == std::string_view::npos) return std::string();

  const double number = NumberFieldValue(text);
  if (std::isinf(number)) return std::nullopt;

  const std::string t = GeneralDecimalText(number);
  const std::size_t point = t.find('.');
  const std::string_view int_part = std::string_view(t).substr(0, point);
  const std::string_view fraction = point == std::string::npos ? std::string_view() : std::string_view(t).substr(point + 1);

  const auto width = static_cast<std::size_t>(int_places);
  if (int_part.size() > width) return std::nullopt;

  std::string field;
  field.reserve(width + 1 + static_cast<std::size_t>(decimals));
  const bool negative = !int_part.empty() && int_part.front() == '-';
  if (negative) field += '-';
  field.append(width - int_part.size(), '0');
  field += negative ? int_part.substr(1) : int_part;
  field += '.';
  const auto dec = static_cast<std::size_t>(decimals);
  field += fraction.substr(0, dec);
  field.append(dec - std::min(dec, fraction.size()), '0');
  return field;
}

}  // namespace pel
