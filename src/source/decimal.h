// Decimal number syntax shared by the readers, the point merge and the number fields:
// an optional sign, digits with at most one ".", an optional exponent (E or e, an
// optional sign, digits). The decimal mark is always "."; nothing depends on the locale.
#pragma once

#include <cstddef>
#include <string_view>

namespace pel {

struct DecimalPrefix {
  double value = 0.0;    // +-inf when the number is beyond double range
  std::size_t length = 0;  // bytes taken; 0 when the text does not start with a number
};

// The longest leading part of `text` that reads as a decimal number, and its value.
// `room`: the bytes from text.data() on that may be read (text.size() or more); bytes
// past the text are read, never taken.
DecimalPrefix ParseDecimalPrefix(std::string_view text, std::size_t room);
inline DecimalPrefix ParseDecimalPrefix(std::string_view text) { return ParseDecimalPrefix(text, text.size()); }
// The same, a byte at a time: the reference for the quick way of the common texts.
DecimalPrefix ParseDecimalPrefixPlain(std::string_view text);

// True when `text`, less leading and trailing spaces and tabs, is exactly one decimal number.
bool IsDecimalNumber(std::string_view text);

}  // namespace pel
