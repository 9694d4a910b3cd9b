#include "source/merge.h"

#include "source/decimal.h"
#include "source/readers.h"

namespace pel {
namespace {

// Rows `from` to `count` of a table's depth values.
std::span<const double> DepthsFrom(const std::vector<double>& values, int from, int count) {
  if (from > count) return {};
  return std::span<const double>(values).subspan(static_cast<std::size_t>(from), static_cast<std::size_t>(count - from + 1));
}

}  // namespace

double DepthValue(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  return ParseDecimalPrefix(text).value;
}

Cell PointList::cell(std::size_t row, PointColumn column) const {
  const auto k = static_cast<std::size_t>(x5_row[row]);
  const auto j = static_cast<std::size_t>(x100_row[row]);
  switch (column) {
    case PointColumn::kDepth: return k > 0 ? x5->depth.cell(k) : j > 0 ? x100->depth.cell(j) : Cell{};
    case PointColumn::kX5Value:
      if (k == 0) return {};
      return {x5->written_value(k), x5->value.cell(k).at};
    default: return j > 0 ? x100->value(j, static_cast<std::size_t>(column) - 2) : Cell{};
  }
}

int CountMergedRowsPlain(std::span<const double> x5, std::span<const double> x100) {
  std::size_t k = 0;
  std::size_t j = 0;
  int rows = 0;
  for (; k < x5.size() && j < x100.size(); ++rows) {
    const double a = x100[j];
    const double b = x5[k];
    k += a >= b;
    j += a <= b;
  }
  return rows + static_cast<int>(x5.size() - k + x100.size() - j);
}

PointList MergePoints(const X5Table& x5, const X100Table& x100) {
  const int x5_count = x5.count;
  const int x100_count = x100.count;
  PointList points;
  points.x5 = &x5;
  points.x100 = &x100;
  points.x5_row.reserve(kKeptRows + 1);
  points.x100_row.reserve(kKeptRows + 1);
  int rows = 0;
  // Adds a row from X5 row k and X100 row j (0: none); row 0 comes from neither.
  auto add = [&](int k, int j) {
    if (rows++ > kKeptRows) return;
    points.x5_row.push_back(static_cast<std::int16_t>(k));
    points.x100_row.push_back(static_cast<std::int16_t>(j));
  };
  add(0, 0);

  int k = 1;
  int j = 1;
  // Equal depths make one row; otherwise the smaller depth comes first.
  while (k <= x5_count && j <= x100_count && rows <= kKeptRows) {
    const double a = x100.depth_value[static_cast<std::size_t>(j)];
    const double b = x5.depth_value[static_cast<std::size_t>(k)];
    const bool take_x5 = a >= b;
    const bool take_x100 = a <= b;
    add(take_x5 ? k : 0, take_x100 ? j : 0);
    k += take_x5;
    j += take_x100;
  }
  while (k <= x5_count && rows <= kKeptRows) add(k++, 0);
  while (j <= x100_count && rows <= kKeptRows) add(0, j++);
  // Past the rows kept, the rows are only counted.
  rows += CountMergedRowsPlain(DepthsFrom(x5.depth_value, k, x5_count), DepthsFrom(x100.depth_value, j, x100_count));

  points.count = static_cast<std::int16_t>(rows - 1);
  return points;
}

}  // namespace pel
