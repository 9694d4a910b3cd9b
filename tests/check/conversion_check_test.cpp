// The conversion check on whole folders: each finding kind with its file, line, record,
// field, row and written text, and the file order.
#include "check/conversion_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run/conversion.h"
#include "support/fake_file_system.h"

namespace pel {
namespace {

const std::wstring kFolder = L"C:\\b";

std::string X5(const std::string& depth, const std::string& value, const std::string& end = "\r\n") {
  return "1," + depth + "," + value + ",4,5,6,7,8,9,10,11" + end;
}

std::string X100(const std::string& depth, const std::string& v35 = "1") {
  std::string s = "1,2," + depth;
  for (int k = 4; k <= 44; ++k) s += "," + (k == 35 ? v35 : std::string("1"));
  return s + "\r\n";
}

struct Folder {
  std::string title, x1, x5, x100;
};

// Each finding as "code file:line record.field row=N [out=...] [count=N]"; the files the
// folder lacks are left out (the last case shows them).
std::vector<std::string> Findings(const Folder& folder, std::wstring x1_name = L"X1.txt") {
  testing::FakeFileSystem fs;
  fs.AddFolder(kFolder);
  if (!folder.title.empty()) fs.AddFile(kFolder + L"\\titl01.txt", folder.title);
  if (!folder.x1.empty()) fs.AddFile(kFolder + L"\\" + x1_name, folder.x1);
  if (!folder.x5.empty()) fs.AddFile(kFolder + L"\\X5.txt", folder.x5);
  if (!folder.x100.empty()) fs.AddFile(kFolder + L"\\X100.txt", folder.x100);
  auto prepared = PrepareBorehole(fs, kFolder);
  if (!prepared) return {"error"};
  std::vector<std::string> out;
  for (const Finding& f : prepared->report.findings) {
    if (f.kind == FindingKind::kFileMissing) continue;
    std::string s = std::string(InfoOf(f.kind).code) + " " + std::string(f.file.begin(), f.file.end()) + ":" +
                    std::to_string(f.line) + " " + std::to_string(f.record) + "." + std::to_string(f.field) +
                    " row=" + std::to_string(f.row);
    if (!f.output.empty()) s += " out=" + f.output;
    if (f.count >= 0) s += " count=" + std::to_string(f.count);
    if (f.message.empty()) s += " NO MESSAGE";
    out.push_back(s);
  }
  return out;
}

std::string Repeat(int n, const std::string& record) {
  std::string s;
  for (int i = 0; i < n; ++i) s += record;
  return s;
}

std::string Depths(int n) {
  std::string s;
  for (int i = 1; i <= n; ++i) s += X5(std::to_string(i), "1");
  return s;
}

TEST(ConversionCheck, EachKindOnItsFileLineRecordAndField) {
  const struct {
    const char* name;
    Folder folder;
    std::vector<std::string> expected;
  } cases[] = {
      {"clean", {"\"No.1\"\r\n", "1,2.5,a,b\r\n", X5("1.0", "12"), X100("1.0")}, {}},
      {"x5 values replaced", {"", "", X5("1", "abc") + X5("2", "") + X5("3", "-1") + X5("4", "1E-50") + X5("5", "0abc"), ""},
       {"x5-value-replaced X5.txt:1 1.3 row=1 out=0000000.00", "x5-value-replaced X5.txt:2 2.3 row=2 out=0000000.00",
        "x5-value-replaced X5.txt:3 3.3 row=3 out=0000000.00", "x5-value-replaced X5.txt:4 4.3 row=4 out=0000000.00",
        "x5-value-replaced X5.txt:5 5.3 row=5 out=0000000.00"}},
      {"x5 zeros stay zero", {"", "", X5("1", "0") + X5("2", " 0.0 ") + X5("3", "-0"), ""}, {}},
      {"layer not a number, cut to zero, blank",
       {"", "1,12abc,a,b\r\n1,abc,a,b\r\n1,0.001,a,b\r\n1,,a,b\r\n1, 0abc ,a,b\r\n", "", ""},
       {"not-a-number X1.txt:1 1.2 row=1 out=0000012.00", "not-a-number X1.txt:2 2.2 row=2 out=0000000.00",
        "value-cut-to-zero X1.txt:3 3.2 row=3 out=0000000.00", "blank-written X1.txt:4 4.2 row=4 out=          ",
        "not-a-number X1.txt:5 5.2 row=5 out=0000000.00"}},
      {"point depth and X100 values as written",
       {"", "", "", X100("1.5x") + X100("", "0.0004") + X100("3", "abc")},
       {"not-a-number X100.txt:1 1.3 row=1 out=0000001.50", "blank-written X100.txt:2 2.3 row=2 out=          ",
        "depth-out-of-order X100.txt:2 2.3 row=2", "value-cut-to-zero X100.txt:2 2.35 row=2 out=000000.000",
        "not-a-number X100.txt:3 3.35 row=3 out=000000.000"}},
      // The merge takes X5 2, 1, 1 (each less than 5), then X100 5, 5.
      {"depths out of order and repeated",
       {"", "", X5("2", "1") + X5("1", "1") + X5("1", "1"), X100("5") + X100("5")},
       {"depth-out-of-order X5.txt:2 2.2 row=2", "depth-repeated X5.txt:3 3.2 row=3",
        "depth-repeated X100.txt:2 2.3 row=5"}},
      {"a depth out of order on a row not written", {"", "", Depths(51) + X5("0", "1"), ""},
       {"points-not-written X5.txt:51 51.2 row=0 count=2", "depth-out-of-order X5.txt:52 52.2 row=0"}},
      {"layers past the 50th", {"", Repeat(53, "1,2,3,4\n"), "", ""}, {"layers-not-written X1.txt:51 51.2 row=0 count=3"}},
      {"points past the 50th", {"", "", Depths(52), ""}, {"points-not-written X5.txt:51 51.2 row=0 count=2"}},
      {"short last record lacks the X5 value",
       {"", "", X5("1", "1") + "1,2.0", ""},
       {"short-last-record X5.txt:2 2.1 row=0 count=2", "x5-value-replaced X5.txt:2 2.3 row=2 out=0000000.00"}},
      {"a comma at the very end completes a record", {"", "1,2,3,\r\n\r\n", "", ""}, {}},
      {"a comma after a full record starts none", {"", "1,2,3,4,\r\n", "", ""}, {}},
      {"short layer record", {"", "1,2,3", "", ""}, {"short-last-record X1.txt:1 1.1 row=0 count=3"}},
      // The quote takes the rest of the file: the last record has two fields, the second
      // read as the formatter reads "3,4\r\n1,...": 3.
      {"unclosed quote", {"", "1,2,3,4\r\n1,\"3,4\r\n1,5,3,4\r\n", "", ""},
       {"short-last-record X1.txt:2 2.1 row=0 count=2", "not-a-number X1.txt:2 2.2 row=2 out=0000003.00",
        "unclosed-quote X1.txt:2 2.2 row=0"}},
      {"data after the end mark", {"", "1,2,3,4\r\n\x1A" "1,9,9,9\r\n", "", ""}, {"data-after-end-mark X1.txt:2 0.0 row=0"}},
      {"only line ends after the end mark", {"", "1,2,3,4\r\n\x1A\r\n  \n", "", ""}, {}},
      {"title cut", {std::string(40, 'a') + "b", "", "", ""}, {"title-cut titl01.txt:1 1.1 row=0"}},
      {"only blanks cut from the title", {"\"" + std::string(40, 'a') + "   \"", "", "", ""}, {}},
      {"mixed line ends", {"", "1,2,3,4\r\n1,5,3,4\n1,abc,3,4\r1,7,3,4", "", ""},
       {"not-a-number X1.txt:3 3.2 row=3 out=0000000.00"}},
      {"a quoted field spanning lines", {"", "\"a\r\nb\",x,3,4\r\n1,abc,3,4\r\n", "", ""},
       {"not-a-number X1.txt:2 1.2 row=1 out=0000000.00", "not-a-number X1.txt:3 2.2 row=2 out=0000000.00"}},
      {"one field per line", {"", "1\r\n2\r\n3\r\n4\r\n1\r\nabc\r\n3\r\n4\r\n", "", ""},
       {"not-a-number X1.txt:6 2.2 row=2 out=0000000.00"}},
      {"file order, then line", {"", "1,abc,3,4\r\n", X5("1", "x"), X100("0.0")},
       {"not-a-number X1.txt:1 1.2 row=1 out=0000000.00", "x5-value-replaced X5.txt:1 1.3 row=2 out=0000000.00"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Findings(c.folder), c.expected) << c.name;
  }
}

TEST(ConversionCheck, NamesFilesAsFoundOnDiskAndCountsWarningsApartFromInfo) {
  EXPECT_EQ(Findings({"", "1,abc,3,4", "", ""}, L"x1.TXT"),
            std::vector<std::string>{"not-a-number x1.TXT:1 1.2 row=1 out=0000000.00"});

  testing::FakeFileSystem fs;
  fs.AddFile(kFolder + L"\\titl01.txt", std::string(41, 'a'));
  fs.AddFile(kFolder + L"\\X5.txt", X5("1", "x") + X5("2", "1"));
  fs.AddFolder(kFolder + L"\\x1.txt");  // a folder of a file's name counts as absent
  fs.AddFile(kFolder + L"\\X100.TXT", X100("1"));
  fs.MarkHidden(kFolder + L"\\X100.TXT");
  auto prepared = PrepareBorehole(fs, kFolder);
  ASSERT_TRUE(prepared);
  // The absent files: a warning each, but X100.txt, which a borehole may lack; no line.
  std::vector<std::string> missing;
  for (const Finding& f : prepared->report.findings) {
    if (f.kind != FindingKind::kFileMissing) continue;
    EXPECT_EQ(std::vector<int>({f.line, f.record, f.field, f.row, f.count}), std::vector<int>({0, 0, 0, 0, 1}));
    missing.push_back(std::string(f.file.begin(), f.file.end()) + (f.severity == Severity::kInfo ? " info " : " ") +
                      std::to_string(f.message.find(L"フォルダ") != std::wstring::npos) +
                      std::to_string(f.message.find(L"隠し") != std::wstring::npos));
  }
  EXPECT_EQ(missing, std::vector<std::string>({"x1.txt 10", "X100.TXT info 01"}));
  EXPECT_EQ(prepared->report.warnings(), 2);
  EXPECT_EQ(prepared->report.infos(), 2);
  const ConversionCounts& n = prepared->report.counts;
  EXPECT_EQ(std::vector<int>({n.layers, n.layers_written, n.x5, n.x100, n.points, n.points_written}),
            std::vector<int>({0, 0, 2, 0, 2, 2}));
}

TEST(LinesOf, EachKindOfLineEndEndsOneLine) {
  const std::vector<int> expected = {1, 1, 1, 2, 2, 3, 3, 4, 4, 4, 5, 5, 6, 6};
  std::vector<std::size_t> offsets(expected.size());
  for (std::size_t i = 0; i < offsets.size(); ++i) offsets[i] = i;
  EXPECT_EQ(LinesOf("a\r\nb\nc\rd\r\n\r\ne", offsets), expected);
  EXPECT_EQ(LinesOf("a\r\nb", {1, 4}), (std::vector<int>{1, 2}));  // an offset may skip lines
  const auto places = LinePlacesOf("a\r\nbc\rd", {0, 4, 6});
  EXPECT_EQ(places[1].start, 3u);
  EXPECT_EQ(places[2].start, 6u);
}

// A finding keeps its source line, the field's text marked within it, and no more of a
// long line than its first 200 characters.
TEST(ConversionCheck, KeepsTheSourceLineOfEachFinding) {
  testing::FakeFileSystem fs;
  fs.AddFile(kFolder + L"\\X5.txt", X5("1", "5") + "1,2," + std::string(300, '9') + "x,4,5,6,7,8,9,10,11\r\n" + X5("3", "x"));
  auto prepared = PrepareBorehole(fs, kFolder);
  ASSERT_TRUE(prepared);
  std::vector<std::string> marked;
  for (const Finding& f : prepared->report.findings) {
    if (f.kind != FindingKind::kX5ValueReplaced) continue;
    std::string line = f.line_text;
    line.insert(f.text_end, "]").insert(f.text_begin, "[");
    marked.push_back(std::to_string(f.line) + (f.line_cut ? " cut " : " ") + line.substr(0, 8) + "~" +
                     std::to_string(f.line_text.size()));
  }
  EXPECT_EQ(marked, (std::vector<std::string>{"2 cut 1,2,[999~200", "3 1,3,[x],~23"}));
}

}  // namespace
}  // namespace pel
