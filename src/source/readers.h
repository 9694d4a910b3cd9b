// The readers of a borehole export folder. Each reads its file's bytes once, through
// one FieldReader: it counts the records, keeps the cells of the rows that can be
// written, and records what the conversion check needs about the file as a whole.
#pragma once

#include <optional>
#include <string_view>

#include "source/tables.h"

namespace pel {

// Slots 1 to 50 with the file's first 50 fields in order; the rest are read and ignored.
TitleSet ReadTitles(std::string_view bytes);

// X1.txt: every record counted, field 2 of the first 51 kept. Nothing when the file
// holds more than 32767 records.
std::optional<LayerList> ReadLayers(std::string_view bytes);

// X5.txt and X100.txt: every record counted and its depth's value kept; the cells of the
// first 51 rows kept, an X5 value after the value check. Nothing when the file holds
// more than 32767 records. A short last record keeps what it has; its missing fields
// are empty.
std::optional<X5Table> ReadX5(std::string_view bytes);
std::optional<X100Table> ReadX100(std::string_view bytes);

// The X5 value check: true when `text` is a decimal number whose single-precision
// value is above zero. A positive number beyond single-precision range counts.
bool IsPositiveX5Value(std::string_view text);

// What the value check writes for a value that is not positive.
inline constexpr std::string_view kReplacedX5Value = "0";

}  // namespace pel
