// The point merge: X5Table and X100Table walked together in depth order into PointList.
#pragma once

#include <span>
#include <string_view>

#include "source/tables.h"

namespace pel {

// The numeric value of a depth text: leading blanks skipped, then the longest leading
// decimal number; 0 when there is none.
double DepthValue(std::string_view text);

// Merges the two tables (each expected in ascending depth order; not checked) by their
// depths' values. Equal depths make one row with the X5 depth text. Every row is counted;
// the first 51 are kept. Requires X5 count + X100 count <= 32767. The tables must outlive
// the list, which refers to them.
PointList MergePoints(const X5Table& x5, const X100Table& x100);

// The depths the merge only counts, past the rows it keeps.
struct MergeRest {
  std::span<const double> x5, x100;
  int Count() const;  // the rows they make
};

// MergePoints in two steps, so that the count may run beside other work: the rows kept,
// counted alone, and `rest`, whose Count() is to be added to the list's count. Where
// rows are left to count, the count without them is already past the rows written.
PointList MergeFirstRows(const X5Table& x5, const X100Table& x100, MergeRest& rest);

// The rows the merge makes of two runs of depth values: the walk MergePoints makes, one
// row a step, then a row for each value left in the other run. The plain walk, the
// reference the quicker count is held to.
int CountMergedRowsPlain(std::span<const double> x5, std::span<const double> x100);

// The same count, quicker on long runs that strictly increase, as the depths of a table
// in order do; runs that do not are walked as above.
int CountMergedRows(std::span<const double> x5, std::span<const double> x100);

}  // namespace pel
