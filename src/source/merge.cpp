#include "source/merge.h"

#include "source/decimal.h"

namespace pel {

double DepthValue(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  return ParseDecimalPrefix(text).value;
}

PointList MergePoints(const X5Table& x5, const X100Table& x100) {
  const int x5_count = x5.count;
  const int x100_count = x100.count;
  const auto capacity = static_cast<std::size_t>(x5_count + x100_count) + 1;
  PointList points;
  points.depth.reserve(capacity);
  points.values.reserve(capacity);
  points.x5_row.reserve(capacity);
  points.x100_row.reserve(capacity);
  // Row 0 is never filled.
  points.depth.emplace_back();
  points.values.emplace_back();
  points.x5_row.push_back(0);
  points.x100_row.push_back(0);

  auto add = [&](int k, int j) {
    const auto uk = static_cast<std::size_t>(k);
    const auto uj = static_cast<std::size_t>(j);
    points.depth.push_back(k > 0 ? x5.depth[uk] : x100.depth[uj]);
    std::array<std::string, 6> row;
    if (k > 0) row[0] = x5.value[uk];
    if (j > 0) {
      for (std::size_t c = 0; c < 5; ++c) row[c + 1] = x100.values[uj][c];
    }
    points.values.push_back(std::move(row));
    points.x5_row.push_back(static_cast<std::int16_t>(k));
    points.x100_row.push_back(static_cast<std::int16_t>(j));
  };

  int k = 1;
  int j = 1;
  while (j <= x100_count && k <= x5_count) {
    const double a = DepthValue(x100.depth[static_cast<std::size_t>(j)]);
    const double b = DepthValue(x5.depth[static_cast<std::size_t>(k)]);
    if (a == b) {
      add(k++, j++);
    } else if (a > b) {
      add(k++, 0);
    } else {
      add(0, j++);
    }
  }
  while (k <= x5_count) add(k++, 0);
  while (j <= x100_count) add(0, j++);

  points.count = static_cast<std::int16_t>(points.depth.size() - 1);
  return points;
}

}  // namespace pel
