// The tables of one conversion run. Row, item and slot 0 exist in every table, as the
// 1-based numbering of the source files has it, and are never filled.
//
// Cells hold the source file's bytes unchanged. A table keeps all its cells back to
// back in one buffer (TextList), so that 32767 rows cost a few allocations, not 200,000.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "source/field_map.h"

namespace pel {

// Counts, table sizes and indexes stay within 16 bits.
inline constexpr int kMaxRecordCount = 32767;
inline constexpr int kTitleSlotCount = 50;
// Only the first 50 layers and points reach the destination file.
inline constexpr int kMaxWrittenRows = 50;

// A list of texts stored back to back; cell i is [ends[i-1], ends[i]) of `bytes`.
class TextList {
 public:
  void Reserve(std::size_t cells, std::size_t bytes) {
    ends_.reserve(cells);
    bytes_.reserve(bytes);
  }
  void Append(std::string_view text) {
    bytes_.append(text);
    ends_.push_back(static_cast<std::uint32_t>(bytes_.size()));
  }
  // Appends empty cells until the list holds `cells` cells.
  void PadTo(std::size_t cells) {
    while (ends_.size() < cells) ends_.push_back(static_cast<std::uint32_t>(bytes_.size()));
  }
  std::size_t size() const { return ends_.size(); }
  std::string_view operator[](std::size_t i) const {
    const std::uint32_t begin = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(bytes_).substr(begin, ends_[i] - begin);
  }
  bool operator==(const TextList&) const = default;

 private:
  std::string bytes_;
  std::vector<std::uint32_t> ends_;
};

// Field n of titl01.txt in slot n; slot 1 is the borehole title.
struct TitleSet {
  std::array<std::string, kTitleSlotCount + 1> slots;
};

// Field 2 of each X1.txt record (kX1LayerField). `count` is every record of the file; items 0 to
// min(count, 50) exist, since only those are ever written.
struct LayerList {
  std::int16_t count = 0;
  TextList items;
};

// The X5.txt fields of the field map (kX5Fields: depth, then the value after the value
// check) of each record; rows 0 to count.
struct X5Table {
  std::int16_t count = 0;
  TextList depth;
  TextList value;
};

// The X100.txt fields of the field map (kX100Fields: depth, then values 0 to 4) of each
// record; rows 0 to count.
struct X100Table {
  static constexpr std::size_t kValues = 5;
  std::int16_t count = 0;
  TextList depth;
  TextList values;  // row r, value c at r * kValues + c
  std::string_view value(std::size_t row, std::size_t column) const { return values[row * kValues + column]; }
};

// The merged depths, rows 0 to count. Value 0 is the X5 value, values 1 to 5 the X100
// values 0 to 4. `x5_row` and `x100_row` say which source rows a point came from
// (0: none), so that a value can be traced back to its file and record.
struct PointList {
  static constexpr std::size_t kValues = 6;
  std::int16_t count = 0;
  TextList depth;
  TextList values;  // row r, value c at r * kValues + c
  std::vector<std::int16_t> x5_row;
  std::vector<std::int16_t> x100_row;
  std::string_view value(std::size_t row, std::size_t column) const { return values[row * kValues + column]; }
  // The text written in `column` of point row `row`.
  std::string_view cell(std::size_t row, PointColumn column) const {
    return column == PointColumn::kDepth ? depth[row] : value(row, static_cast<std::size_t>(column) - 1);
  }
};

}  // namespace pel
