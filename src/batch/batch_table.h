// A batch as the batch window lists it and as the site's report takes it: each folder's
// result in order with its name below the site folder, one row of cells per folder, and
// the rows' sorting. Portable; the window only shows it.
#pragma once

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "batch/batch.h"
#include "util/user_texts.h"

namespace pel {

// The columns, titled by texts::kBatchColumnTitles.
inline constexpr std::size_t kBatchColumns = 7;
enum class BatchColumn { kFolder, kResult, kWarnings, kInfos, kLayers, kDepth, kOutput };
static_assert(std::size(texts::kBatchColumnTitles) == kBatchColumns, "one title per column");

struct BatchRow {
  std::wstring relative;  // below the site folder; the whole path for a folder that is not below it
  FolderResult result;
};

// Everything a batch gave, kept until the next one: where it read and wrote, when it
// started, each folder's result in the order the batch gave them, and how it ended.
struct BatchRecord {
  std::wstring site, output;  // absolute
  bool recursive = false;
  std::chrono::system_clock::time_point started;
  std::vector<BatchRow> rows;
  std::optional<BatchSummary> summary;  // once the batch has ended
};

// `source` as named below `site` (B-12, area\B-12); `source` itself where it does not lie
// below it (the site folder that could not be listed).
std::wstring RelativeName(const std::wstring& site, const std::wstring& source, wchar_t separator);

// The cells of a folder's row: its name; 変換, 警告あり or 失敗; the warnings, the
// information findings and the layers written; the deepest written depth as written
// without its leading zeros; the output file, or for a failed folder its message on one line.
// A failed folder's counts are empty.
std::array<std::wstring, kBatchColumns> BatchCells(const BatchRow& row);

// The rows' order when sorted by `column`: counts and depths as numbers (empty first),
// texts ordinally, ties in batch order; `descending` reverses the order of the values,
// never of the ties.
std::vector<std::size_t> SortedBatchRows(const std::vector<BatchRow>& rows, BatchColumn column, bool descending);

}  // namespace pel
