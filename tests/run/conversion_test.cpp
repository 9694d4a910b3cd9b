#include "run/conversion.h"

#include <gtest/gtest.h>

#include <optional>
#include <thread>

#include "support/fake_file_system.h"
#include "support/fakes.h"

namespace pel {
namespace {

const std::wstring kSource = L"C:\\boring\\B-1";
const std::wstring kDest = L"D:\\out\\b1.txt";

std::string X5Record(const std::string& depth, const std::string& value) {
  return "1," + depth + "," + value + ",4,5,6,7,8,9,10,11\r\n";
}

std::string X100Record(const std::string& depth, const std::string& v0, const std::string& v4 = "0.0125") {
  std::string s = "1,2," + depth;
  for (int k = 4; k <= 44; ++k) {
    s += ",";
    s += k == 15 ? v0 : k == 35 ? v4 : k == 18 || k == 19 || k == 22 ? std::to_string(k) : "x";
  }
  return s + "\r\n";
}

class ConvertBoreholeTest : public ::testing::Test {
 protected:
  void SetUp() override { fs.AddFolder(L"D:\\out"); }
  void Folder(const std::string& title, const std::string& x1, const std::string& x5, const std::string& x100) {
    if (!title.empty()) fs.AddFile(kSource + L"\\titl01.txt", title);
    if (!x1.empty()) fs.AddFile(kSource + L"\\X1.txt", x1);
    if (!x5.empty()) fs.AddFile(kSource + L"\\X5.txt", x5);
    if (!x100.empty()) fs.AddFile(kSource + L"\\X100.txt", x100);
  }
  testing::FakeFileSystem fs;
};

TEST_F(ConvertBoreholeTest, ConvertsAWholeFolder) {
  Folder("\"\x8C\x8A No.1\",\"site\"\r\n", "1,2.5,a,b\r\n2,10,a,b\r\n",
         X5Record("1.0", "12") + X5Record("2.0", "-1"), X100Record("2.00", "3.5") + X100Record("3", "", ""));
  ASSERT_TRUE(ConvertBorehole(fs, kSource + L"\\", kDest));
  EXPECT_EQ(fs.File(kDest),
            "TITLE     \x8C\x8A No.1" + std::string(34, ' ') + "\r\n" +
                "LAYER        2\r\n"
                "          0000002.50\r\n"
                "          0000010.00\r\n"
                "POINT        3\r\n"
                "          0000001.000000012.00" + std::string(40, ' ') + "          \r\n"
                "          0000002.000000000.000000003.500000018.000000019.000000022.00000000.012\r\n"
                "          0000003.00" + std::string(20, ' ') + "0000018.000000019.000000022.00          \r\n");
}

// A folder with none of the four files would give a file without title or rows.
TEST_F(ConvertBoreholeTest, AFolderWithoutAnyOfTheFilesWritesNothing) {
  fs.AddFile(kSource + L"\\titl02.txt", "T");
  fs.AddFolder(kSource + L"\\X5.txt");
  const auto result = ConvertBorehole(fs, kSource, kDest);
  ASSERT_FALSE(result);
  EXPECT_EQ(result.error().kind, OutcomeKind::kNoSourceFiles);
  EXPECT_EQ(DescribeOutcome(result.error()),
            L"変換元フォルダに変換するファイルがありません。\n" + kSource + L"\n（titl01.txt、X1.txt、X5.txt、X100.txt）");
  EXPECT_FALSE(fs.HasFile(kDest));
}

TEST_F(ConvertBoreholeTest, TwoRunsDoNotShareTables) {
  Folder("A", "1,5,a,b\r\n", X5Record("1", "2"), "");
  ASSERT_TRUE(ConvertBorehole(fs, kSource, kDest));
  const std::string first = fs.File(kDest);
  ASSERT_TRUE(ConvertBorehole(fs, kSource, kDest));
  EXPECT_EQ(fs.File(kDest), first);
}

// A large X100.txt is read on a second thread beside the other files; a folder whose
// listing gives no sizes is read on this one. Both give the same file and findings, and
// so do two conversions at the same time (the second finds the kept thread busy).
TEST_F(ConvertBoreholeTest, LargeX100ReadBesideTheOthersGivesTheSame) {
  std::string x5, x100;
  for (int i = 1; i <= 8000; ++i) {
    x5 += X5Record(std::to_string(i) + ".5", i % 7 ? "1" : "-1");
    x100 += X100Record(std::to_string(i % 4000), "2");
  }
  Folder("L", "1,2,a,b\r\n", x5, x100);
  auto files = FindSourceFiles(fs, kSource, FolderRule::kMissingIsEmpty);
  ASSERT_TRUE(files);
  ASSERT_GE((*files)[SourceFile::kX100].listed_size, 256 * 1024);
  std::optional<Expected<PreparedFile, Outcome>> meanwhile;
  std::jthread other([&] { meanwhile.emplace(PrepareBorehole(fs, kSource, *files)); });
  auto beside = PrepareBorehole(fs, kSource, *files);
  other.join();
  for (auto& file : files->files) file.listed_size = 0;
  auto here = PrepareBorehole(fs, kSource, *files);
  ASSERT_TRUE(beside);
  ASSERT_TRUE(here);
  ASSERT_TRUE(*meanwhile);
  EXPECT_EQ(beside->bytes, here->bytes);
  EXPECT_EQ((*meanwhile)->bytes, here->bytes);
  EXPECT_EQ(beside->report.findings, here->report.findings);
  EXPECT_FALSE(here->report.findings.empty());
}

TEST_F(ConvertBoreholeTest, ErrorsWriteNothing) {
  struct Case {
    const char* name;
    std::string x1, x5, x100;
    OutcomeKind kind;
    std::wstring path;
    int line, record, field;
    std::string value;
  };
  std::string many_x5, many_x100;
  for (int i = 0; i < 16384; ++i) many_x5 += X5Record(std::to_string(i), "1");
  for (int i = 0; i < 16384; ++i) many_x100 += "1,2," + std::to_string(i) + std::string(41, ',') + "\r\n";
  std::string too_many_layers;
  for (int i = 0; i < 32768; ++i) too_many_layers += "1,2,3,4\n";
  const Case cases[] = {
      {"layer_too_wide", "1,2,a,b\r\n1,12345678.9,a,b\r\n", "", "", OutcomeKind::kValueTooWide,
       kSource + L"\\X1.txt", 2, 2, 2, "12345678.9"},
      {"x5_depth_too_wide", "", "\n\n" + X5Record("1E+15", "1"), X100Record("2", "1"), OutcomeKind::kValueTooWide,
       kSource + L"\\X5.txt", 3, 1, 2, "1E+15"},
      {"x100_value_too_wide", "", X5Record("1", "1"), X100Record("1", "1", "1234567"),
       OutcomeKind::kValueTooWide, kSource + L"\\X100.txt", 1, 1, 35, "1234567"},
      {"x100_depth_too_wide", "", "", X100Record("-12345678", "1"), OutcomeKind::kValueTooWide,
       kSource + L"\\X100.txt", 1, 1, 3, "-12345678"},
      // A value the width of a whole line is shown by its first 60 characters.
      {"long_value_too_wide", "1," + std::string(70, '9') + ",a,b\r\n", "", "", OutcomeKind::kValueTooWide,
       kSource + L"\\X1.txt", 1, 1, 2, std::string(60, '9')},
      {"too_many_layers", too_many_layers, "", "", OutcomeKind::kTooManyRecords, kSource + L"\\X1.txt", 0, 0,
       0, ""},
      // X100.txt large enough to be read beside the others: the smaller files' error still wins.
      {"too_many_layers_large_x100", too_many_layers, "", many_x100, OutcomeKind::kTooManyRecords,
       kSource + L"\\X1.txt", 0, 0, 0, ""},
      {"x100_value_too_wide_large", "", X5Record("1", "1"), X100Record("1", "1", "1234567") + many_x100,
       OutcomeKind::kValueTooWide, kSource + L"\\X100.txt", 1, 1, 35, "1234567"},
      {"too_many_points", "", many_x5, many_x100, OutcomeKind::kTooManyPoints, kSource + L"\\X5.txt", 0, 0, 0,
       ""},
  };
  for (const auto& c : cases) {
    fs = testing::FakeFileSystem();
    fs.AddFile(kDest, "keep me");
    Folder("", c.x1, c.x5, c.x100);
    auto result = ConvertBorehole(fs, kSource, kDest);
    ASSERT_FALSE(result) << c.name;
    EXPECT_EQ(result.error().kind, c.kind) << c.name;
    EXPECT_EQ(result.error().path, c.path) << c.name;
    EXPECT_EQ(result.error().line, c.line) << c.name;
    EXPECT_EQ(result.error().record, c.record) << c.name;
    EXPECT_EQ(result.error().value_cut, c.value.size() == 60) << c.name;
    EXPECT_EQ(result.error().field, c.field) << c.name;
    EXPECT_EQ(result.error().value, c.value) << c.name;
    EXPECT_EQ(result.error().limit, c.value.empty() ? 32767 : 0) << c.name;
    EXPECT_EQ(fs.File(kDest), "keep me") << c.name;
  }
}

TEST_F(ConvertBoreholeTest, UnreadableSourceAndUnwritableDestinationAreReported) {
  struct Case {
    const char* name;
    std::wstring unreadable, unwritable;
    OutcomeKind kind;
    std::wstring path;
    bool large_x100 = false;  // large enough to be read beside the other files
  } cases[] = {
      {"title_unreadable", kSource + L"\\titl01.txt", L"", OutcomeKind::kUnreadable, kSource + L"\\titl01.txt"},
      {"x100_unreadable", kSource + L"\\X100.txt", L"", OutcomeKind::kUnreadable, kSource + L"\\X100.txt"},
      {"destination_unwritable", L"", kDest, OutcomeKind::kWriteFailed, kDest},
      {"x1_unreadable_large_x100", kSource + L"\\X1.txt", L"", OutcomeKind::kUnreadable, kSource + L"\\X1.txt", true},
      {"x100_unreadable_large", kSource + L"\\X100.txt", L"", OutcomeKind::kUnreadable, kSource + L"\\X100.txt", true},
  };
  std::string large_x100;
  for (int i = 1; i <= 8000; ++i) large_x100 += X100Record(std::to_string(i), "1");
  ASSERT_GE(large_x100.size(), 256u * 1024);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs = testing::FakeFileSystem();
    Folder("T", "1,2,3,4", X5Record("1", "1"), c.large_x100 ? large_x100 : X100Record("1", "1"));
    if (!c.unreadable.empty()) fs.MarkUnreadable(c.unreadable);
    if (!c.unwritable.empty()) fs.MarkUnwritable(c.unwritable);
    auto result = ConvertBorehole(fs, kSource, kDest);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().kind, c.kind);
    EXPECT_EQ(result.error().path, c.path);
    EXPECT_FALSE(ReasonText(result.error().system).empty());
    EXPECT_FALSE(fs.HasFile(kDest));
  }
}

// The texts are written out here, not taken from the program, so that a changed message shows.
TEST(DescribeOutcome, EveryConversionErrorHasItsMessage) {
  using Kind = OutcomeKind;
  auto error = [](Kind kind, std::wstring path, std::wstring reason = L"") {
    Outcome e = MakeOutcome(kind, std::move(path), FsError{FsErrorKind::kAccessDenied, FsOperation::kRead, reason});
    e.limit = kind == Kind::kTooManyRecords || kind == Kind::kTooManyPoints ? 32767 : 0;
    return e;
  };
  Outcome too_wide = error(Kind::kValueTooWide, L"C:\\b\\X5.txt");
  too_wide.line = 14;
  too_wide.record = 12;
  too_wide.field = 3;
  too_wide.int_places = 7;
  too_wide.value = "12345678.9";
  const struct {
    Outcome error;
    std::wstring text;
    std::wstring one_line = {};  // where it is worth showing
  } cases[] = {
      {error(Kind::kUnreadable, L"C:\\b\\X1.txt", L"拒否"), L"ファイルを読み込めません。\nC:\\b\\X1.txt\n拒否",
       L"ファイルを読み込めません。 C:\\b\\X1.txt: 拒否"},
      {error(Kind::kTooManyRecords, L"C:\\b\\X1.txt"), L"レコード数が多すぎます（32767 件まで）。\nC:\\b\\X1.txt"},
      {error(Kind::kTooManyPoints, L"C:\\b\\X5.txt"),
       L"X5.txt と X100.txt のレコード数の合計が多すぎます（32767 件まで）。\nC:\\b\\X5.txt"},
      {too_wide,
       L"数値が出力欄の整数 7 桁に収まりません。\nC:\\b\\X5.txt\n14 行目（レコード 12、項目 3）の値：12345678.9\n"
       L"変換先ファイルは書き込んでいません。",
       L"数値が出力欄の整数 7 桁に収まりません。 C:\\b\\X5.txt 14 行目（レコード 12、項目 3）の値：12345678.9 "
       L"変換先ファイルは書き込んでいません。"},
      {error(Kind::kWriteFailed, L"D:\\o.txt", L"拒否"), L"変換先ファイルを書き込めません。\nD:\\o.txt\n拒否"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DescribeOutcome(c.error), c.text) << "kind " << static_cast<int>(c.error.kind);
    if (!c.one_line.empty()) {
      EXPECT_EQ(DescribeOutcomeOnOneLine(c.error), c.one_line);
    }
  }
}

}  // namespace
}  // namespace pel
