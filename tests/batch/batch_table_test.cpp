// The batch window's list: the cells of each folder's row and the rows' sorting, over a
// real batch of a faked site.
#include "batch/batch_table.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "support/fake_file_system.h"

namespace pel {
namespace {

class Collect : public BatchListener {
 public:
  explicit Collect(std::wstring site) : site_(std::move(site)) {}
  void Finished(const FolderResult& result) override { rows.push_back({RelativeName(site_, result.source, L'\\'), result}); }
  std::vector<BatchRow> rows;

 private:
  std::wstring site_;
};

std::vector<BatchRow> SiteRows() {
  testing::FakeFileSystem fs;
  fs.AddFile(L"C:\\site\\B-1\\X1.txt", "1,2.5,a,b\r\n2,4.0,c,d\r\n");
  fs.AddFile(L"C:\\site\\B-1\\X5.txt", "1,9.5,5,4,5,6,7,8,9,10,11\r\n1,18.5,5,4,5,6,7,8,9,10,11\r\n1,2.0,5,4,5,6,7,8,9,10,11\r\n");
  fs.AddFile(L"C:\\site\\B-2\\titl01.txt", "\"No.2\"");
  fs.AddFile(L"C:\\site\\B-2\\X5.txt", "1,1.0,abc,4,5,6,7,8,9,10,11\r\n1,10.25,xyz,4,5,6,7,8,9,10,11\r\n");
  fs.AddFile(L"C:\\site\\B-3\\X5.txt", "1,1.0,5,4,5,6,7,8,9,10,11\r\n");
  fs.MarkUnreadable(L"C:\\site\\B-3\\X5.txt");
  const std::atomic<bool> stop{false};
  Collect collect(L"C:\\site");
  RunBatch(fs, L"C:\\site", L"C:\\out", false, stop, collect);
  return collect.rows;
}

TEST(BatchTable, RowsShowEachFoldersResult) {
  const std::vector<BatchRow> rows = SiteRows();
  ASSERT_EQ(rows.size(), 3u);
  using Cells = std::array<std::wstring, kBatchColumns>;
  // B-1: titl01 missing, 2.0 after 18.5 (warnings), X100 missing (information); the deepest
  // depth is not the last. B-2: two X5 values replaced, X1 missing.
  EXPECT_EQ(BatchCells(rows[0]), (Cells{L"B-1", L"警告あり", L"2", L"1", L"2", L"18.50", L"C:\\out\\B-1.txt"}));
  EXPECT_EQ(BatchCells(rows[1]), (Cells{L"B-2", L"警告あり", L"3", L"1", L"0", L"10.25", L"C:\\out\\B-2.txt"}));
  EXPECT_EQ(BatchCells(rows[2]),
            (Cells{L"B-3", L"失敗", L"", L"", L"", L"",
                   L"ファイルを読み込めません。 C:\\site\\B-3\\X5.txt: アクセスが拒否されました。"}));
}

TEST(BatchTable, SortsNumbersAsNumbersEmptyFirstAndTiesInBatchOrder) {
  const std::vector<BatchRow> rows = SiteRows();
  const struct {
    BatchColumn column;
    bool descending;
    std::vector<std::size_t> order;
  } cases[] = {
      {BatchColumn::kFolder, true, {2, 1, 0}},
      {BatchColumn::kResult, false, {2, 0, 1}},  // 失敗 before 警告あり, ordinally
      {BatchColumn::kWarnings, false, {2, 0, 1}},
      {BatchColumn::kWarnings, true, {1, 0, 2}},
      {BatchColumn::kInfos, true, {0, 1, 2}},  // a tie keeps batch order either way
      {BatchColumn::kDepth, false, {2, 1, 0}},  // 10.25 before 18.50 as numbers
      {BatchColumn::kOutput, false, {0, 1, 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "column " << static_cast<int>(c.column) << (c.descending ? " descending" : ""));
    EXPECT_EQ(SortedBatchRows(rows, c.column, c.descending), c.order);
  }
}

// A site of 20 folders, listed on two threads: each folder once, in order, and the folders
// that cannot be listed first, in the order of the site's listing whatever order they were
// found in.
TEST(BatchTable, ALargeSiteHasEachFolderOnceAndItsUnlistableFoldersInOrder) {
  testing::FakeFileSystem fs;
  std::vector<std::wstring> expected, listable;  // the unlistable first, then the others
  for (int i = 1; i <= 20; ++i) {
    const std::wstring folder = L"C:\\site\\B-" + std::wstring(i < 10 ? L"0" : L"") + std::to_wstring(i);
    fs.AddFile(folder + L"\\X1.txt", "1,2.5,a,b\r\n");
    if (i % 7 == 0) fs.MarkUnreadable(folder);
    (i % 7 == 0 ? expected : listable).push_back(folder);
  }
  expected.insert(expected.end(), listable.begin(), listable.end());
  // B-07's listing held until B-14's is done, on whichever thread: its failure is found last.
  fs.HoldReadOf(L"C:\\site\\B-07");
  std::thread release([&] {
    fs.WaitUntilHeld();
    for (int wait = 0; wait < 2000 && !fs.WasListed(L"C:\\site\\B-14"); ++wait) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    fs.Release();
  });
  const std::atomic<bool> stop{false};
  Collect collect(L"C:\\site");
  RunBatch(fs, L"C:\\site", L"C:\\out", false, stop, collect);
  release.join();
  std::vector<std::wstring> sources;
  for (const BatchRow& row : collect.rows) sources.push_back(row.result.source);
  EXPECT_EQ(sources, expected);
}

TEST(BatchTable, RelativeNamesBelowTheSite) {
  const struct {
    const wchar_t *site, *source, *relative;
  } cases[] = {
      {L"C:\\site", L"C:\\site\\area\\B-1", L"area\\B-1"},
      {L"C:\\site\\", L"C:\\site\\B-1", L"B-1"},
      {L"C:\\si", L"C:\\site\\B-1", L"C:\\site\\B-1"},  // not below it
      {L"C:\\site", L"C:\\site", L"C:\\site"},          // the site itself could not be listed
  };
  for (const auto& c : cases) EXPECT_EQ(RelativeName(c.site, c.source, L'\\'), c.relative) << c.source;
}

}  // namespace
}  // namespace pel
