// The tables of one conversion, and what reading each source file recorded on the way.
// Row, item and slot 0 exist in every table, as the 1-based numbering of the source
// files has it, and are never filled.
//
// A table keeps the cells of its first rows only: of rows 1 to 51, since only the first
// 50 layers and points reach the file and the 51st is named where the rest are left out
// (the first 51 merged points come from the first 51 rows of each table at the most).
// Every depth's value is kept, for the merge. Cells are views into the file's bytes: the
// file is read once and nothing is copied.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <optional>
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
// The rows whose cells a conversion writes or names: the written ones and the next.
inline constexpr int kKeptRows = kMaxWrittenRows + 1;

// One field's value as the reader kept it.
struct Cell {
  std::string_view text;  // a view of the file's bytes, or of a value joined from a quote and the text after it
  std::uint32_t at = 0;   // where the field lies: its first byte in the file (a missing field of a short
                          // last record: where the record ends)
};

// Cells numbered from 0.
class CellList {
 public:
  void Append(Cell cell) { cells_.push_back(cell); }
  void PadTo(std::size_t size) { cells_.resize(std::max(cells_.size(), size)); }
  std::size_t size() const { return cells_.size(); }
  std::string_view operator[](std::size_t i) const { return cells_[i].text; }
  const Cell& cell(std::size_t i) const { return cells_[i]; }

 private:
  std::vector<Cell> cells_;
};

// What reading a file recorded about the file as a whole.
struct FileFacts {
  int records = 0;
  int last_fields = 0;  // the fields of the last record; "...,5.2," at the end counts the empty one after the comma
  std::uint32_t last_record_at = 0;  // the last record's first byte
  // A quote never closed: its field took the rest of the data. `text` is the field's
  // text up to its first line end, `at` the quote.
  std::optional<Cell> unclosed;
  int unclosed_record = 0, unclosed_field = 0;
  std::optional<std::uint32_t> end_mark;  // the first 0x1A
  bool data_after_end_mark = false;       // anything but blanks and line ends after it
  std::deque<std::string> joined;         // values joined from a quote and the text after it
};

// Field n of titl01.txt in slot n, up to 50; slot 1 is the borehole title.
struct TitleSet {
  std::array<Cell, kTitleSlotCount + 1> slots{};
  FileFacts file;
};

// Field 2 of each X1.txt record (kX1LayerField). `count` is every record of the file;
// items 0 to min(count, 51) exist.
struct LayerList {
  std::int16_t count = 0;
  CellList items;
  FileFacts file;
};

// A depth not greater than the record's before it in the same file.
struct DepthBreak {
  int record = 0;
  bool repeated = false;  // equal; else less
  Cell depth, before;
};

// What the X5 value check did with a row's value.
enum class X5Rule : std::uint8_t {
  kKept,         // a positive number: written as it stands
  kReplaced,     // empty, not a number, negative or 0 in single precision: written as "0"
  kZeroAlready,  // a number of value zero ("0", "0.0", "-0"): written as "0", nothing lost
};

// The X5.txt fields of the field map (kX5Fields: depth, then value) of each record.
struct X5Table {
  std::int16_t count = 0;
  std::vector<double> depth_value;  // rows 0 to count
  CellList depth, value;            // rows 0 to min(count, 51); `value` as the file holds it
  std::vector<X5Rule> rule;         // the same rows
  std::vector<DepthBreak> breaks;
  FileFacts file;
  // What the value check leaves to be written.
  std::string_view written_value(std::size_t row) const;
};

// The X100.txt fields of the field map (kX100Fields: depth, then values 0 to 4).
struct X100Table {
  static constexpr std::size_t kValues = 5;
  std::int16_t count = 0;
  std::vector<double> depth_value;  // rows 0 to count
  CellList depth;                   // rows 0 to min(count, 51)
  CellList values;                  // the same rows; row r, value c at r * kValues + c
  std::vector<DepthBreak> breaks;
  FileFacts file;
  const Cell& value(std::size_t row, std::size_t column) const { return values.cell(row * kValues + column); }
};

// The merged depths: `count` rows, of which rows 0 to min(count, 51) are kept as the X5
// and X100 rows they came from (0: none).
struct PointList {
  std::int16_t count = 0;
  std::vector<std::int16_t> x5_row, x100_row;
  const X5Table* x5 = nullptr;
  const X100Table* x100 = nullptr;
  // The text written in `column` of point row `row`, and where it came from: the depth
  // from X5 where the row has an X5 record, values 1 to 5 from X100; empty where none.
  Cell cell(std::size_t row, PointColumn column) const;
};

}  // namespace pel
