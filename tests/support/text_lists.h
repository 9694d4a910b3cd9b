// Tables as plain vectors, for readable expectations, and tables built by hand: their
// cells are kept in the table's own store of joined values, so that they outlive the test's
// temporaries.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "source/merge.h"
#include "source/tables.h"

namespace pel::testing {

inline std::vector<std::string> Cells(const CellList& list) {
  std::vector<std::string> cells;
  for (std::size_t i = 0; i < list.size(); ++i) cells.emplace_back(list[i]);
  return cells;
}

inline std::vector<std::string> Row(const CellList& list, std::size_t row, std::size_t columns) {
  std::vector<std::string> cells;
  for (std::size_t c = 0; c < columns; ++c) cells.emplace_back(list[row * columns + c]);
  return cells;
}

// Everything an X5.txt or X100.txt reading gives, as text: two readings are the same
// where these are.
template <class Table>
std::string Describe(const std::optional<Table>& table) {
  if (!table) return "too many records";
  std::string s = std::to_string(table->count) + " records:";
  auto cell = [&s](const Cell& c) { (s += ' ').append(c.text) += '@' + std::to_string(c.at); };
  auto cells = [&cell](const CellList& list) {
    for (std::size_t i = 0; i < list.size(); ++i) cell(list.cell(i));
  };
  for (double d : table->depth_value) {  // every bit of the value, so that no difference hides
    char exact[32];
    std::snprintf(exact, sizeof exact, " %a", d);
    s += exact;
  }
  s += "\ncells:";
  cells(table->depth);
  if constexpr (std::is_same_v<Table, X5Table>) {
    cells(table->value);
    for (X5Rule rule : table->rule) s += ' ' + std::to_string(static_cast<int>(rule));
  } else {
    cells(table->values);
  }
  s += "\nbreaks:";
  for (const DepthBreak& b : table->breaks) {
    s += ' ' + std::to_string(b.record) + (b.repeated ? "=" : "<");
    cell(b.depth);
    cell(b.before);
  }
  const FileFacts& f = table->file;
  s += "\nfacts: " + std::to_string(f.records) + ' ' + std::to_string(f.last_fields) + ' ' + std::to_string(f.last_record_at);
  if (f.unclosed) cell(*f.unclosed);
  s += ' ' + std::to_string(f.unclosed_record) + ' ' + std::to_string(f.unclosed_field);
  s += ' ' + (f.end_mark ? std::to_string(*f.end_mark) : "-") + (f.data_after_end_mark ? "+" : "");
  return s;
}

// A cell whose text the file's store keeps.
inline Cell Stored(FileFacts& file, std::string text) { return Cell{file.joined.emplace_back(std::move(text)), 0}; }

// X5 rows of a depth and a value (kept as it stands), X100 rows of a depth and five values.
inline X5Table MakeX5(const std::vector<std::pair<std::string, std::string>>& rows) {
  X5Table t;
  t.count = static_cast<std::int16_t>(rows.size());
  t.depth_value.push_back(0);
  t.depth.PadTo(1);
  t.value.PadTo(1);
  t.rule.push_back(X5Rule::kKept);
  for (const auto& [depth, value] : rows) {
    t.depth_value.push_back(DepthValue(depth));
    t.depth.Append(Stored(t.file, depth));
    t.value.Append(Stored(t.file, value));
    t.rule.push_back(X5Rule::kKept);
  }
  return t;
}

inline X100Table MakeX100(const std::vector<std::array<std::string, 6>>& rows) {
  X100Table t;
  t.count = static_cast<std::int16_t>(rows.size());
  t.depth_value.push_back(0);
  t.depth.PadTo(1);
  t.values.PadTo(X100Table::kValues);
  for (const auto& row : rows) {
    t.depth_value.push_back(DepthValue(row[0]));
    t.depth.Append(Stored(t.file, row[0]));
    for (std::size_t c = 1; c < 6; ++c) t.values.Append(Stored(t.file, row[c]));
  }
  return t;
}

}  // namespace pel::testing
