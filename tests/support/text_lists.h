// Conversions between TextList and plain vectors, for readable expectations.
#pragma once

#include <string>
#include <vector>

#include "source/tables.h"

namespace pel::testing {

inline std::vector<std::string> Cells(const TextList& list) {
  std::vector<std::string> cells;
  for (std::size_t i = 0; i < list.size(); ++i) cells.emplace_back(list[i]);
  return cells;
}

inline std::vector<std::string> Row(const TextList& list, std::size_t row, std::size_t columns) {
  std::vector<std::string> cells;
  for (std::size_t c = 0; c < columns; ++c) cells.emplace_back(list[row * columns + c]);
  return cells;
}

inline TextList ListOf(const std::vector<std::string>& cells) {
  TextList list;
  for (const auto& c : cells) list.Append(c);
  return list;
}

}  // namespace pel::testing
