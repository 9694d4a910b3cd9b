// The tables of one conversion run. Row, item and slot 0 exist in every table, as the
// 1-based numbering of the source files has it, and are never filled.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace pel {

// Counts, table sizes and indexes stay within 16 bits.
inline constexpr int kMaxRecordCount = 32767;
inline constexpr int kTitleSlotCount = 50;
// Only the first 50 layers and points reach the destination file.
inline constexpr int kMaxWrittenRows = 50;

// Field n of titl01.txt in slot n; slot 1 is the borehole title.
struct TitleSet {
  std::array<std::string, kTitleSlotCount + 1> slots;
};

// Field 2 of each X1.txt record. `count` is every record of the file; only items
// 1 to min(count, 50) are kept.
struct LayerList {
  std::int16_t count = 0;
  std::vector<std::string> items;
};

// Field 2 (depth) and field 3 (value, after the value check) of each X5.txt record.
struct X5Table {
  std::int16_t count = 0;
  std::vector<std::string> depth;
  std::vector<std::string> value;
};

// Field 3 (depth) and fields 15, 18, 19, 22, 35 (values 0 to 4) of each X100.txt record.
struct X100Table {
  std::int16_t count = 0;
  std::vector<std::string> depth;
  std::vector<std::array<std::string, 5>> values;
};

// The merged depths. Value 0 is the X5 value, values 1 to 5 the X100 values 0 to 4.
// `x5_row` and `x100_row` say which source rows a point came from (0: none), so that a
// value can be traced back to its file and record.
struct PointList {
  std::int16_t count = 0;
  std::vector<std::string> depth;
  std::vector<std::array<std::string, 6>> values;
  std::vector<std::int16_t> x5_row;
  std::vector<std::int16_t> x100_row;
};

}  // namespace pel
