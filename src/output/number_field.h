// Fixed-width number fields of the liquefaction file.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace pel {

// The number read from `text` (spaces, tabs and line feeds anywhere ignored; the
// longest leading decimal number; 0 when there is none), rendered with `int_places`
// integer places and `decimals` decimals: zero-filled on the left, the sign before
// the zeros, decimals cut and never rounded. 0000012.50 for "12.5" with 7 and 2.
//
// The empty text when `text` is empty or only spaces. Nothing when the integer part,
// with its sign, needs more than `int_places` characters: such a value does not fit.
std::optional<std::string> FormatNumberField(std::string_view text, int int_places, int decimals);

// FormatNumberField's result, held without an allocation, and what it found in `text`
// on the way.
struct FormattedNumber {
  bool fits = true;       // false: the integer part needs more places than there are
  std::size_t size = 0;   // 0 for a blank text: no field
  std::array<char, 32> chars{};
  bool whole = false;  // the text, but for blanks and tabs around it, is exactly one decimal number
  bool zero = true;    // the number read is zero, or there is none
  std::optional<std::string> field() const {
    return fits ? std::optional(std::string(chars.data(), size)) : std::nullopt;
  }
};
FormattedNumber FormatNumber(std::string_view text, int int_places, int decimals);

// The two ways FormatNumber takes. A plain decimal of at most 15 digits (blanks and tabs
// around it allowed) is formatted from its own digits: every decimal of 15 digits or fewer
// comes back unchanged from a double at 15 significant digits, so its general decimal
// text is its digits without the zeros that carry nothing; nothing for any other text.
// Every other text goes through the general decimal rendering.
std::optional<FormattedNumber> FormatPlainDecimal(std::string_view text, int int_places, int decimals);
FormattedNumber FormatNumberGeneral(std::string_view text, int int_places, int decimals);

// The number FormatNumberField reads from `text`: spaces, tabs and line feeds anywhere
// ignored, then the longest leading decimal number; 0 when there is none.
double NumberFieldValue(std::string_view text);

// The number's general decimal text: at most 15 significant digits, plain decimal
// notation at every magnitude, no trailing zeros after the point, no point for a whole
// number, "0" for zero of either sign. 7.5 for 7.50; 0.00001 for 1E-05.
std::string GeneralDecimalText(double value);

}  // namespace pel
