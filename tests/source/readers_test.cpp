#include "source/readers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/fake_file_system.h"
#include "support/text_lists.h"

namespace pel {
namespace {

using testing::Cells;
using testing::Row;
using Strings = std::vector<std::string>;

std::string Repeat(const std::string& record, int times) {
  std::string s;
  for (int i = 0; i < times; ++i) s += record;
  return s;
}

// A comma-separated record of `fields` fields whose field k holds "f<k>", except the
// given overrides.
std::string Record(int fields, std::map<int, std::string> values = {}) {
  std::string s;
  for (int k = 1; k <= fields; ++k) {
    if (k > 1) s += ',';
    s += values.count(k) ? values[k] : "f" + std::to_string(k);
  }
  return s + "\r\n";
}

// X5.txt or X100.txt read in pieces of about `piece_bytes`, the last piece first, and joined.
template <class Table>
std::string InPieces(std::string_view bytes, std::size_t piece_bytes) {
  Pieces<Table> pieces(bytes, piece_bytes);
  for (std::size_t i = pieces.size(); i-- > 0;) pieces.Read(i);
  return testing::Describe(pieces.Join());
}

TEST(ReadTitles, FillsSlotsInFileOrder) {
  struct Case {
    std::string input;
    std::string slot1, slot2, slot3;
  } cases[] = {
      {"\"Boring No.1, Site A\",12\r\n", "Boring No.1, Site A", "12", ""},
      {"a\r\nb\r\nc\r\n", "a", "b", "c"},
      {"a,b,c\r\n", "a", "b", "c"},
      {",b,c", "", "b", "c"},
      {"", "", "", ""},
  };
  for (const auto& c : cases) {
    const TitleSet titles = ReadTitles(c.input);
    EXPECT_EQ(titles.slots[1].text, c.slot1) << c.input;
    EXPECT_EQ(titles.slots[2].text, c.slot2) << c.input;
    EXPECT_EQ(titles.slots[3].text, c.slot3) << c.input;
    EXPECT_EQ(titles.slots[0].text, "");
  }
}

TEST(ReadTitles, KeepsFiftyFieldsAndIgnoresTheRest) {
  std::string input;
  for (int i = 1; i <= 60; ++i) input += "t" + std::to_string(i) + ",";
  const TitleSet titles = ReadTitles(input);
  EXPECT_EQ(titles.slots[1].text, "t1");
  EXPECT_EQ(titles.slots[50].text, "t50");
}

// A short last record counts: a file of n fields holds n / fields-per-record records, rounded up.
TEST(Readers, CountPartialRecordsAsWholeOnes) {
  struct Case {
    int fields;
    int per_record;
    int expected;
  } cases[] = {{0, 11, 0}, {1, 11, 1}, {11, 11, 1}, {12, 11, 2}, {22, 11, 2}, {23, 11, 3}, {16, 4, 4}, {44, 44, 1},
               {45, 44, 2}, {5, 4, 2}};
  for (const auto& c : cases) {
    std::string input;
    for (int i = 0; i < c.fields; ++i) input += (i ? "," : "") + std::to_string(i);
    const int count = c.per_record == 4 ? ReadLayers(input)->count : c.per_record == 11 ? ReadX5(input)->count
                                                                                          : ReadX100(input)->count;
    EXPECT_EQ(count, c.expected) << c.fields << " fields / " << c.per_record;
  }
}

TEST(Readers, RefuseMoreThan32767Records) {
  EXPECT_EQ(ReadLayers(Repeat("1,2,3,4\r\n", 32767))->count, 32767);
  EXPECT_FALSE(ReadLayers(Repeat("1,2,3,4\r\n", 32767) + "5"));
  EXPECT_EQ(ReadX5(Repeat(Record(11), 32767))->count, 32767);
  EXPECT_FALSE(ReadX5(Repeat(Record(11), 32768)));
  EXPECT_FALSE(ReadX100(Repeat(Record(44), 32767) + "1"));
  EXPECT_EQ(InPieces<X100Table>(Repeat(Record(44), 32767) + "1", 1 << 20), "too many records");
}

// Cut at line starts, X5.txt and X100.txt read as they read whole, whatever lies where
// two pieces meet: record 120 (or the one before it) is written otherwise, and the file
// is cut there, before and after it, and elsewhere.
TEST(Pieces, JoinAsTheWholeFileReads) {
  struct Case {
    const char* name;
    std::string before_120;  // in place of record 119's line end
    std::string depth_120;   // record 120's depth
  } cases[] = {
      {"plain", "\r\n", "120.25"},
      {"depth repeated", "\r\n", "119.25"},
      {"depth less", "\r\n", "0.5"},
      {"blank lines", "\r\n \r\n\n\t\r\n", "120.25"},
      {"record over two lines", "\r\n", "120.25\r\nf4"},
      {"empty field after a last comma", ",\r\n", "120.25"},
      {"quote over a line end", "\r\n", "\"120\r\n.25\""},
      {"joined depth", "\r\n", "\"120\".25"},
      {"end mark", "\r\n\x1A", "120.25"},
      {"end mark, blanks after", "\r\n", "120.25\x1A \r\n"},
      {"quote never closed", "\r\n", "\"120.25"},
      {"LF", "\n", "120.25"},
  };
  // X5 records of 11 fields (depth in field 2), X100 records of 44 (depth in field 3).
  auto file = [](const Case& c, int fields, int depth_field, std::size_t& at_120) {
    std::string bytes;
    for (int r = 1; r <= 300; ++r) {
      if (r == 120) at_120 = bytes.size();
      const std::string record = Record(fields, {{depth_field, r == 120 ? c.depth_120 : std::to_string(r) + ".25"}});
      bytes += record.substr(0, record.size() - 2) + (r == 119 ? c.before_120 : "\r\n");
    }
    return bytes;
  };
  for (const auto& c : cases) {
    std::size_t at_120 = 0;
    const std::string x5 = file(c, 11, 2, at_120);
    const std::string x5_whole = testing::Describe(ReadX5(x5));
    for (std::size_t piece : {std::size_t{1}, at_120 - 1, at_120 + 40, at_120 - 12}) {
      EXPECT_EQ(InPieces<X5Table>(x5, piece), x5_whole) << c.name << ", X5 pieces of " << piece;
    }
    const std::string x100 = file(c, 44, 3, at_120);
    const std::string whole = testing::Describe(ReadX100(x100));
    for (std::size_t piece : {std::size_t{1}, std::size_t{2000}, at_120 - 1, at_120 + 170, at_120 - 12, std::size_t{1} << 20}) {
      EXPECT_EQ(InPieces<X100Table>(x100, piece), whole) << c.name << ", pieces of " << piece;
    }
  }
}

// Long runs of plain records are taken a block at a time; every way of writing them must
// read as the same depths and counts as record by record.
TEST(Readers, LongRunsOfRecordsReadTheSameInEveryForm) {
  struct Form {
    const char* name;
    std::string line_end, blank;
    int split_at;  // the record whose fields go one per line (0: none)
    bool empty_last = false;  // every record's last field empty, as the editor writes X5.txt
  } forms[] = {{"CR LF", "\r\n", "", 0},     {"LF", "\n", "", 0},         {"one line", ",", "", 0},
               {"blanks", "\r\n", " ", 0},   {"split record", "\r\n", "", 200}, {"lone CR", "\r", "", 0},
               {"empty last field", "\r\n", "", 0, true}};
  for (const auto& form : forms) {
    std::string x5, x100, x1;
    std::vector<double> depths{0};
    for (int r = 1; r <= 300; ++r) {
      const std::string depth = form.blank + std::to_string(r) + ".25" + form.blank;
      std::string x5_record = form.empty_last ? Record(11, {{2, depth}, {11, ""}}) : Record(11, {{2, depth}});
      x5_record.resize(x5_record.size() - 2);
      if (r == form.split_at) std::replace(x5_record.begin(), x5_record.end(), ',', '\n');
      x5 += x5_record + (r < 300 ? form.line_end : "");
      std::string x100_record = form.empty_last ? Record(44, {{3, depth}, {44, ""}}) : Record(44, {{3, depth}});
      x100 += x100_record.substr(0, x100_record.size() - 2) + (r < 300 ? form.line_end : "");
      x1 += std::to_string(r) + ",1.5,\"sand\"," + std::to_string(r) + form.line_end;
      if (!form.blank.empty() && r % 97 == 0) x1 += form.blank + form.line_end;  // a blank line
      depths.push_back(r + 0.25);
    }
    const X5Table a = ReadX5(x5).value();
    const X100Table b = ReadX100(x100).value();
    EXPECT_EQ(a.count, 300) << form.name;
    EXPECT_EQ(a.depth_value, depths) << form.name;
    EXPECT_TRUE(a.breaks.empty()) << form.name;
    EXPECT_EQ(b.count, 300) << form.name;
    EXPECT_EQ(b.depth_value, depths) << form.name;
    for (std::size_t piece : {1, 700, 9000}) {
      EXPECT_EQ(InPieces<X100Table>(x100, piece), testing::Describe(std::optional(b))) << form.name << piece;
      EXPECT_EQ(InPieces<X5Table>(x5, piece), testing::Describe(std::optional(a))) << form.name << piece;
    }
    EXPECT_EQ(ReadLayers(x1)->count, 300) << form.name;
  }
}

TEST(ReadLayers, KeepsFieldTwoOfEachRecord) {
  const std::string one_per_line = "a,1.5,c,d\r\nb,,c,d\r\nc,3,c,d\r\nd,4,c,d\r\n";
  const std::string one_line = "a,1.5,c,d,b,,c,d,c,3,c,d,d,4,c,d";
  for (const auto& input : {one_per_line, one_line}) {
    const LayerList layers = ReadLayers(input).value();
    EXPECT_EQ(layers.count, 4);
    EXPECT_EQ(Cells(layers.items), (Strings{"", "1.5", "", "3", "4"}));
  }
}

TEST(ReadLayers, KeepsFiftyOneRecordsButCountsAll) {
  std::string input;
  for (int i = 1; i <= 60; ++i) input += "x," + std::to_string(i) + ",y,z\r\n";
  const LayerList layers = ReadLayers(input).value();
  EXPECT_EQ(layers.count, 60);
  ASSERT_EQ(layers.items.size(), 52u);
  EXPECT_EQ(layers.items[51], "51");
  EXPECT_EQ(layers.items.cell(51).at, input.find(",51,") + 1);  // where the field lies
}

TEST(ReadLayers, ShortLastRecordKeepsWhatItHas) {
  const std::string input = "a,1,b,c\r\nd,2";
  const LayerList layers = ReadLayers(input).value();
  EXPECT_EQ(Cells(layers.items), (Strings{"", "1", "2"}));
}

TEST(IsPositiveX5Value, KeepsOnlyPositiveNumbers) {
  struct Case {
    const char* text;
    bool positive;
  } cases[] = {
      {"12.50", true},  {"1.", true},    {".5", true},     {"+3", true},     {" 7 ", true},
      {"1E+3", true},   {"2e-3", true},  {"1E+300", true}, {"1E+999", true}, {"1E-40", true},
      {"1E-50", false}, {"", false},     {"abc", false},   {"0", false},     {"0.0", false},
      {"-1", false},    {"1,5", false},  {"1.2.3", false}, {"E5", false},    {"5E", false},
      {".", false},     {"1 2", false},  {"- 1", false},   {"１", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsPositiveX5Value(c.text), c.positive) << c.text;
}

TEST(ReadX5, KeepsDepthAndCheckedValue) {
  const std::string input = Record(11, {{2, "1.0"}, {3, "12.50"}}) + Record(11, {{2, "2"}, {3, "-3"}}) +
                            Record(11, {{2, "3"}, {3, ""}}) + Record(11, {{2, ""}, {3, "abc"}});
  const X5Table table = ReadX5(input).value();
  ASSERT_EQ(table.count, 4);
  EXPECT_EQ(Cells(table.depth), (Strings{"", "1.0", "2", "3", ""}));
  EXPECT_EQ(Cells(table.value), (Strings{"", "12.50", "-3", "", "abc"}));  // as the file holds them
  Strings written;
  for (std::size_t row = 1; row <= 4; ++row) written.emplace_back(table.written_value(row));
  EXPECT_EQ(written, (Strings{"12.50", "0", "0", "0"}));
}

TEST(ReadX5, OneFieldPerLineReadsTheSame) {
  std::string spread;
  for (int k = 1; k <= 22; ++k) spread += (k == 2 ? "5" : k == 3 ? "7.5" : k == 13 ? "6" : k == 14 ? "8" : "x") + std::string("\r\n");
  const X5Table table = ReadX5(spread).value();
  EXPECT_EQ(Cells(table.depth), (Strings{"", "5", "6"}));
  EXPECT_EQ(Cells(table.value), (Strings{"", "7.5", "8"}));
  EXPECT_EQ(table.depth_value, (std::vector<double>{0, 5, 6}));
}

TEST(ReadX100, KeepsTheSixFieldsUnchanged) {
  const std::string input = Record(44) + Record(44, {{3, ""}, {15, ""}, {35, "0.0125"}});
  const X100Table table = ReadX100(input).value();
  ASSERT_EQ(table.count, 2);
  EXPECT_EQ(table.depth[1], "f3");
  EXPECT_EQ(Row(table.values, 1, 5), (Strings{"f15", "f18", "f19", "f22", "f35"}));
  EXPECT_EQ(table.depth[2], "");
  EXPECT_EQ(Row(table.values, 2, 5), (Strings{"", "f18", "f19", "f22", "0.0125"}));
}

TEST(ReadX100, ShortLastRecordLeavesMissingFieldsEmpty) {
  const std::string input = Record(44) + "a,b,9.5,d";
  const X100Table table = ReadX100(input).value();
  ASSERT_EQ(table.count, 2);
  EXPECT_EQ(table.depth[2], "9.5");
  EXPECT_EQ(Row(table.values, 2, 5), Strings(5));
}

}  // namespace
}  // namespace pel
