#include "batch/batch_table.h"

#include <algorithm>
#include <numeric>

#include "report/profile.h"

namespace pel {
namespace {

// The deepest written point's depth, as a number and as the file holds it; none where
// nothing was written or no depth is a number.
struct Deepest {
  double depth;
  std::string_view written;
};
std::optional<Deepest> DeepestPoint(const FolderResult& r) {
  if (!r.written || !r.report) return std::nullopt;
  const std::vector<ProfilePoint> profile = ProfilePointsOf(r.report->points, {});
  std::optional<Deepest> deepest;
  for (std::size_t i = 0; i < profile.size(); ++i) {
    if (profile[i].depth_marked || (deepest && profile[i].depth <= deepest->depth)) continue;
    deepest = Deepest{profile[i].depth, r.report->points[i].field(PointColumn::kDepth)};
  }
  return deepest;
}

// A zero-filled field without its leading blanks and zeros: 0000018.50 gives 18.50,
// -000001.50 gives -1.50.
std::wstring WithoutLeadingZeros(std::string_view field) {
  std::wstring text;
  std::size_t at = field.find_first_not_of(' ');
  if (at == std::string_view::npos) return text;
  if (field[at] == '-') text += L'-', ++at;
  while (at + 1 < field.size() && field[at] == '0' && field[at + 1] >= '0' && field[at + 1] <= '9') ++at;
  for (; at < field.size(); ++at) text += static_cast<wchar_t>(static_cast<unsigned char>(field[at]));
  return text;
}

// The number a numeric column sorts by; none for an empty cell.
std::optional<double> NumberIn(const BatchRow& row, BatchColumn column) {
  const FolderResult& r = row.result;
  if (column == BatchColumn::kDepth) {
    const auto deepest = DeepestPoint(r);
    return deepest ? std::optional<double>(deepest->depth) : std::nullopt;
  }
  if (!r.written || !r.report) return std::nullopt;
  switch (column) {
    case BatchColumn::kWarnings: return r.report->warnings();
    case BatchColumn::kInfos: return r.report->infos();
    case BatchColumn::kLayers: return r.report->counts.layers_written;
    default: return std::nullopt;
  }
}

bool IsNumeric(BatchColumn column) {
  return column == BatchColumn::kWarnings || column == BatchColumn::kInfos || column == BatchColumn::kLayers ||
         column == BatchColumn::kDepth;
}

}  // namespace

std::wstring RelativeName(const std::wstring& site, const std::wstring& source, wchar_t separator) {
  if (site.empty() || source.size() <= site.size() || source.compare(0, site.size(), site) != 0) return source;
  const std::size_t below = source.find_first_not_of(separator, site.size());
  const bool at_separator = site.back() == separator || source[site.size()] == separator;
  return below == std::wstring::npos || !at_separator ? source : source.substr(below);
}

std::array<std::wstring, kBatchColumns> BatchCells(const BatchRow& row) {
  const FolderResult& r = row.result;
  std::array<std::wstring, kBatchColumns> cells;
  cells[0] = row.relative;
  cells[1] = !r.written ? texts::kBatchFailed : r.has_warnings() ? texts::kBatchWithWarnings : texts::kBatchConverted;
  for (BatchColumn c : {BatchColumn::kWarnings, BatchColumn::kInfos, BatchColumn::kLayers}) {
    if (const auto n = NumberIn(row, c)) cells[static_cast<std::size_t>(c)] = std::to_wstring(static_cast<int>(*n));
  }
  if (const auto deepest = DeepestPoint(r)) cells[5] = WithoutLeadingZeros(deepest->written);
  cells[6] = r.error ? DescribeOutcomeOnOneLine(*r.error) : r.destination.value_or(L"");
  return cells;
}

std::vector<std::size_t> SortedBatchRows(const std::vector<BatchRow>& rows, BatchColumn column, bool descending) {
  std::vector<std::size_t> order(rows.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  // Each key once: a depth takes a walk over the folder's points.
  std::vector<std::optional<double>> numbers;
  std::vector<std::wstring> texts;
  for (const BatchRow& row : rows) {
    if (IsNumeric(column)) {
      numbers.push_back(NumberIn(row, column));
    } else {
      texts.push_back(BatchCells(row)[static_cast<std::size_t>(column)]);
    }
  }
  auto less = [&](std::size_t a, std::size_t b) { return IsNumeric(column) ? numbers[a] < numbers[b] : texts[a] < texts[b]; };
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return descending ? less(b, a) : less(a, b); });
  return order;
}

}  // namespace pel
