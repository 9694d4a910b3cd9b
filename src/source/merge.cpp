#include "source/merge.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "source/decimal.h"
#include "source/readers.h"

namespace pel {
namespace {

// Rows `from` to `count` of a table's depth values.
std::span<const double> DepthsFrom(const std::vector<double>& values, int from, int count) {
  if (from > count) return {};
  return std::span<const double>(values).subspan(static_cast<std::size_t>(from),
                                                 static_cast<std::size_t>(count - from + 1));
}

// Whether each value is greater than the one before, i.e. none is <= the one before (no
// NaN here): a pass of independent compares, no early exit, in two counts so that the
// compares of odd and even places overlap.
bool StrictlyIncreasing(std::span<const double> values) {
  int even = 0;
  int odd = 0;
  std::size_t i = 1;
  for (; i + 1 < values.size(); i += 2) {
    even += values[i] <= values[i - 1];
    odd += values[i + 1] <= values[i];
  }
  if (i < values.size()) even += values[i] <= values[i - 1];
  return even + odd == 0;
}

// The value at place `at` (from 0) of x and y merged, both strictly increasing, with
// at < x.size() + y.size(): found by a binary search for how many of the places before
// come from x.
double MergedValueAt(std::span<const double> x, std::span<const double> y, std::size_t at) {
  std::size_t low = at > y.size() ? at - y.size() : 0;
  std::size_t high = std::min(at, x.size());
  while (low < high) {
    const std::size_t i = low + (high - low) / 2;
    if (x[i] <= y[at - i - 1]) {
      low = i + 1;
    } else {
      high = i;
    }
  }
  const std::size_t i = low;
  const std::size_t j = at - low;
  return j == y.size() || (i < x.size() && x[i] <= y[j]) ? x[i] : y[j];
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

// Where both runs strictly increase, the walk makes a row of each value either holds,
// one row of a value both hold: it counts the two lengths less the values both hold
// (-0 and 0 are one value, as they are to the walk's compares). Six parts count that
// at once: part p takes the values from bound p up to bound p + 1 of each run, so a
// value both hold falls in one part; the bounds are the values at every sixth of the
// merged runs, so the parts are about as long. Each part is walked on its own, and the
// six walks step side by side, which gives the processor six independent chains of loads
// and compares where the plain walk has one.
//
// Depth values are never NaN: a depth's value is a finite number or +-inf. (The plain
// walk would not end at a NaN, and this count would differ.)
int CountMergedRows(std::span<const double> x5, std::span<const double> x100) {
  // Runs shorter than this are walked plainly: the split would cost more than it saves.
  constexpr std::size_t kShortest = 64;
  // Six parts: their twelve positions still fit the registers of x86-64.
  constexpr int kParts = 6;
  // The side by side walks run at least this many steps at a time; the plain walk
  // finishes each part.
  constexpr std::ptrdiff_t kFewestSteps = 16;
  if (x5.size() < kShortest || x100.size() < kShortest || !StrictlyIncreasing(x5) || !StrictlyIncreasing(x100)) {
    return CountMergedRowsPlain(x5, x100);
  }
  // Part p: x[p] to x_end[p] of the X5 run, y[p] to y_end[p] of the X100 run.
  std::array<const double*, kParts> x{}, x_end{}, y{}, y_end{};
  x.front() = x5.data();
  y.front() = x100.data();
  x_end.back() = x5.data() + x5.size();
  y_end.back() = x100.data() + x100.size();
  const std::size_t merged = x5.size() + x100.size();
  for (std::size_t p = 1; p < kParts; ++p) {
    const double bound = MergedValueAt(x5, x100, merged * p / kParts);
    x[p] = x_end[p - 1] = std::lower_bound(x5.data(), x5.data() + x5.size(), bound);
    y[p] = y_end[p - 1] = std::lower_bound(x100.data(), x100.data() + x100.size(), bound);
  }
  int rows = 0;
  for (;;) {
    // A side of a part moves one value a step at the most, so none runs out within
    // `steps` steps, the fewest values left on a side of any part.
    std::ptrdiff_t steps = PTRDIFF_MAX;
    for (std::size_t p = 0; p < kParts; ++p) steps = std::min({steps, x_end[p] - x[p], y_end[p] - y[p]});
    if (steps < kFewestSteps) break;
    for (std::ptrdiff_t s = 0; s < steps; ++s) {
#pragma GCC unroll kParts
      for (std::size_t p = 0; p < kParts; ++p) {
        const double a = *y[p];
        const double b = *x[p];
        x[p] += a >= b;
        y[p] += a <= b;
      }
    }
    rows += static_cast<int>(steps) * kParts;
  }
  for (std::size_t p = 0; p < kParts; ++p) {
    rows += CountMergedRowsPlain({x[p], x_end[p]}, {y[p], y_end[p]});
  }
  return rows;
}

PointList MergePoints(const X5Table& x5, const X100Table& x100) {
  MergeRest rest;
  PointList points = MergeFirstRows(x5, x100, rest);
  points.count = static_cast<std::int16_t>(points.count + rest.Count());
  return points;
}

int MergeRest::Count() const { return CountMergedRows(x5, x100); }

PointList MergeFirstRows(const X5Table& x5, const X100Table& x100, MergeRest& rest) {
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
  rest = {DepthsFrom(x5.depth_value, k, x5_count), DepthsFrom(x100.depth_value, j, x100_count)};
  points.count = static_cast<std::int16_t>(rows - 1);
  return points;
}

}  // namespace pel
