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
  points.depth.Reserve(capacity, capacity * 8);
  points.values.Reserve(capacity * PointList::kValues, capacity * PointList::kValues * 8);
  points.x5_row.reserve(capacity);
  points.x100_row.reserve(capacity);

  // Adds a row from X5 row k and X100 row j (0: none). Row 0 comes from neither.
  auto add = [&](int k, int j) {
    const auto uk = static_cast<std::size_t>(k);
    const auto uj = static_cast<std::size_t>(j);
    points.depth.Append(k > 0 ? x5.depth[uk] : j > 0 ? x100.depth[uj] : std::string_view());
    points.values.Append(k > 0 ? x5.value[uk] : std::string_view());
    for (std::size_t c = 0; c < X100Table::kValues; ++c) {
      points.values.Append(j > 0 ? x100.value(uj, c) : std::string_view());
    }
    points.x5_row.push_back(static_cast<std::int16_t>(k));
    points.x100_row.push_back(static_cast<std::int16_t>(j));
  };
  add(0, 0);

  int k = 1;
  int j = 1;
  if (j <= x100_count && k <= x5_count) {
    double a = DepthValue(x100.depth[1]);
    double b = DepthValue(x5.depth[1]);
    for (;;) {
      // Equal depths make one row; otherwise the smaller depth comes first.
      const bool take_x5 = a >= b;
      const bool take_x100 = a <= b;
      add(take_x5 ? k : 0, take_x100 ? j : 0);
      if (take_x5) ++k;
      if (take_x100) ++j;
      if (k > x5_count || j > x100_count) break;
      if (take_x5) b = DepthValue(x5.depth[static_cast<std::size_t>(k)]);
      if (take_x100) a = DepthValue(x100.depth[static_cast<std::size_t>(j)]);
    }
  }
  while (k <= x5_count) add(k++, 0);
  while (j <= x100_count) add(0, j++);

  points.count = static_cast<std::int16_t>(points.depth.size() - 1);
  return points;
}

}  // namespace pel
