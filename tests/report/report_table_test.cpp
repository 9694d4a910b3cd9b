// The report as a table: cells, sorting, rows for a spreadsheet, and the CSV file.
#include "report/report_table.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "run/conversion.h"
#include "support/fake_file_system.h"
#include "support/fakes.h"

namespace pel {
namespace {

Finding At(int line, int record, int field, std::string text, std::string output = "", std::wstring message = L"m") {
  Finding f;
  f.file = L"X5.txt";
  f.line = line;
  f.record = record;
  f.field = field;
  f.text = std::move(text);
  f.output = std::move(output);
  f.message = std::move(message);
  return f;
}

TEST(SortedRows, NumbersAsNumbersTiesInFileOrder) {
  const std::vector<Finding> findings = {At(10, 2, 3, "b"), At(9, 1, 3, "a"), At(100, 2, 2, "c"), At(0, 0, 0, "a")};
  const struct {
    ReportColumn column;
    bool descending;
    std::vector<std::size_t> rows;
  } cases[] = {
      {ReportColumn::kLine, false, {3, 1, 0, 2}},     // 0 (none), 9, 10, 100: not 10 < 100 < 9
      {ReportColumn::kLine, true, {2, 0, 1, 3}},
      {ReportColumn::kRecord, false, {3, 1, 0, 2}},   // the two record 2s in file order
      {ReportColumn::kRecord, true, {0, 2, 1, 3}},    // reversed values, ties still in file order
      {ReportColumn::kText, false, {1, 3, 0, 2}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SortedRows(findings, c.column, c.descending), c.rows) << static_cast<int>(c.column) << c.descending;
  }
}

TEST(FindingDetails, TheWholeMessageThenTheSourceLineWithTheFieldMarked) {
  auto on_line = [](std::string line, std::size_t begin, std::size_t end, bool cut) {
    Finding f = At(7, 7, 3, "", "", L"m");
    f.line_text = std::move(line);
    f.text_begin = begin;
    f.text_end = end;
    f.line_cut = cut;
    return f;
  };
  const struct {
    const char* name;
    Finding finding;
    std::wstring details;
  } cases[] = {
      {"a missing file has no line", At(0, 0, 0, "", "", L"X100.txt がありません。"), L"X100.txt がありません。"},
      {"an empty field", on_line("1,3,,4", 4, 4, false), L"m\r\n\r\nX5.txt の 7 行目：\r\n1,3,「」,4"},
      {"decoded, control characters escaped", on_line("1,\x8C\x8A\t,\x1B", 2, 5, false),
       L"m\r\n\r\nX5.txt の 7 行目：\r\n1,「穴\\x09」,\\x1B"},
      {"a cut line ends in the cut mark", on_line("1,2,999", 4, 7, true), L"m\r\n\r\nX5.txt の 7 行目：\r\n1,2,「999」…"},
      {"a field beyond the line's kept part", on_line("1,2,9", 9, 12, true), L"m\r\n\r\nX5.txt の 7 行目：\r\n1,2,9「」…"},
  };
  for (const auto& c : cases) EXPECT_EQ(FindingDetails(c.finding), c.details) << c.name;
}

// From a real conversion: an empty X5 value's finding, its message and its line.
TEST(FindingDetails, OfAnEmptyX5Value) {
  testing::FakeFileSystem fs;
  fs.AddFile(L"C:\\b\\X5.txt", "1,1.0,5,4,5,6,7,8,9,10,11\r\n1,2.0,,4,5,6,7,8,9,10,11\r\n");
  auto prepared = PrepareBorehole(fs, L"C:\\b");
  ASSERT_TRUE(prepared);
  const auto& findings = prepared->report.findings;
  const auto empty = std::find_if(findings.begin(), findings.end(),
                                  [](const Finding& f) { return f.kind == FindingKind::kX5ValueReplaced; });
  ASSERT_NE(empty, findings.end());
  EXPECT_EQ(FindingDetails(*empty), L"X5 の値が空欄のため、0 として出力しました。\r\n\r\nX5.txt の 2 行目：\r\n"
                                    L"1,2.0,「」,4,5,6,7,8,9,10,11");
}

TEST(RowsAsTabText, OneLinePerRowCellsFlattened) {
  Finding f = At(7, 7, 3, "\x8C\x8A", "0000000.00", L"two\nlines");
  f.severity = Severity::kInfo;
  EXPECT_EQ(RowsAsTabText({f}, {0}), L"情報\tX5.txt\t7\t7\t3\t穴\t0000000.00\ttwo lines\r\n");
}

TEST(ExcelWouldConvert, NumbersDatesAndFormulasButNotWords) {
  for (const char* yes : {"1-2", "00012", "1E5", "0000000.00", "12:30", "2026/12/08", "-0", "=1+1", "+5", "@x"}) {
    EXPECT_TRUE(ExcelWouldConvert(yes)) << yes;
  }
  for (const char* no : {"", "  ", "abc", "12abc", "\x8C\x8A", "E"}) EXPECT_FALSE(ExcelWouldConvert(no)) << no;
}

TEST(ReportCsv, Cp932HeaderRowsInFileOrderValuesKeptAsText) {
  const std::vector<Finding> findings = {At(7, 7, 3, "1-2", "0000000.00", L"a,b"),
                                         At(8, 8, 2, "\x8C\x8A\"q\"", "", L"c")};
  const std::string csv = ReportCsv(findings, L"C:\\b", L"D:\\o.txt", testing::FakeTextCodec());
  // The fake codec writes "?" for the Japanese of the header; what matters here is the shape.
  const std::string header = "???,????,?,????,??,???,??,??,???????,???????\r\n";
  EXPECT_EQ(csv, header +
                     "??,X5.txt,7,7,3,\"=\"\"1-2\"\"\",\"=\"\"0000000.00\"\"\",\"a,b\",C:\\b,D:\\o.txt\r\n"
                     "??,X5.txt,8,8,2,\"\x8C\x8A\"\"q\"\"\",,c,C:\\b,D:\\o.txt\r\n");
}

}  // namespace
}  // namespace pel
