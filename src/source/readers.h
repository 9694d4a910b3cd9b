// The readers of a borehole export folder. Each works on a source file's bytes, which
// the conversion loads once through the file-system port.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "source/field_map.h"
#include "source/tables.h"

namespace pel {

// Fills slots 1 to 50 with the file's fields in order; fields after the 50th are ignored.
void ReadTitles(std::string_view bytes, TitleSet& titles);

// The number of records of `fields_per_record` fields; a short last record counts.
// Nothing when the count would exceed 32767.
std::optional<std::int16_t> CountRecords(std::string_view bytes, int fields_per_record);

// A short last record keeps what it has; its missing fields stay empty.
//
// The layer list of `count` records (the CountRecords result), with field 2 of the
// first 50 records, the only ones ever written.
LayerList ReadLayers(std::string_view bytes, std::int16_t count);

// X5Table and X100Table take every record, and their count is the number of records,
// as CountRecords gives it; the counting and the reading share one pass. Nothing when
// the file holds more than 32767 records.
std::optional<X5Table> ReadX5(std::string_view bytes);
std::optional<X100Table> ReadX100(std::string_view bytes);

// The X5 value check: true when `text` is a decimal number whose single-precision
// value is above zero. A positive number beyond single-precision range counts.
bool IsPositiveX5Value(std::string_view text);

}  // namespace pel
