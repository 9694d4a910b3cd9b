#include "output/liquefaction_writer.h"

#include <gtest/gtest.h>

#include "support/text_lists.h"

namespace pel {
namespace {

LayerList Layers(const std::vector<std::string>& values, int count = -1) {
  LayerList l;
  l.count = static_cast<std::int16_t>(count < 0 ? static_cast<int>(values.size()) : count);
  l.items.PadTo(1);
  for (const auto& v : values) l.items.Append(testing::Stored(l.file, v));
  return l;
}

// Rows of the seven point columns, depth first, each from its own X5 and X100 row.
struct Points {
  explicit Points(const std::vector<std::array<std::string, 7>>& rows) {
    std::vector<std::pair<std::string, std::string>> x5_rows;
    std::vector<std::array<std::string, 6>> x100_rows;
    for (const auto& r : rows) {
      x5_rows.emplace_back(r[0], r[1]);
      x100_rows.push_back({r[0], r[2], r[3], r[4], r[5], r[6]});
    }
    x5 = testing::MakeX5(x5_rows);
    x100 = testing::MakeX100(x100_rows);
    list = MergePoints(x5, x100);
  }
  Points(const Points&) = delete;
  X5Table x5;
  X100Table x100;
  PointList list;  // refers to the two tables
};

TEST(WriteTitleSection, CutsOrPadsToFortyCharacters) {
  const std::string kanji40 = [] {
    std::string s;
    for (int i = 0; i < 41; ++i) s += "\x8C\x8A";  // 穴
    return s;
  }();
  struct Case {
    std::string title;
    std::string body;  // what follows "TITLE     "
  } cases[] = {
      {"", std::string(40, ' ')},
      {"No.1", "No.1" + std::string(36, ' ')},
      {std::string(41, 'a'), std::string(40, 'a')},
      {kanji40, kanji40.substr(0, 80)},
      {"\xB6\xC5", "\xB6\xC5" + std::string(38, ' ')},  // half-width katakana: one byte each
      {"a\r\nb", "a  b" + std::string(36, ' ')},  // each CR and each LF a blank
      {"ab\x8C", "ab\x8C" + std::string(37, ' ')},  // a lead byte with no trail byte: one character
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("title " + ::testing::PrintToString(c.title));
    std::string out;
    WriteTitleSection(out, c.title);
    EXPECT_EQ(out, "TITLE     " + c.body + "\r\n");
  }
}

TEST(WriteLayerSection, HeaderCountsAtMostFiftyRows) {
  struct Case {
    int count;
    std::string header;
    std::size_t rows;
  } cases[] = {{0, "LAYER        0\r\n", 0}, {12, "LAYER        12\r\n", 12}, {50, "LAYER        50\r\n", 50},
               {51, "LAYER        50\r\n", 50}, {32767, "LAYER        50\r\n", 50}};
  for (const auto& c : cases) {
    SCOPED_TRACE("layer count " + std::to_string(c.count));
    LayerList layers = Layers(std::vector<std::string>(static_cast<std::size_t>(std::min(c.count, 50)), "12.5"), c.count);
    std::string out;
    std::vector<WrittenField> written;
    ASSERT_TRUE(WriteLayerSection(out, layers, written));
    EXPECT_EQ(written.size(), c.rows);
    EXPECT_EQ(out.substr(0, c.header.size()), c.header);
    EXPECT_EQ(out.size(), c.header.size() + c.rows * 22);
    if (c.rows) {
      EXPECT_EQ(out.substr(c.header.size(), 22), "          0000012.50\r\n");
    }
  }
}

TEST(WritePointSection, RowsAreEightyCharacters) {
  const Points points({{"1.5", "10", "1.8", "", "0.25", "3", "0.0125"}, {"", "", "", "", "", "", ""}});
  std::string out;
  std::vector<WrittenPoint> written;
  ASSERT_TRUE(WritePointSection(out, points.list, written));
  EXPECT_EQ(out,
            "POINT        2\r\n"
            "          0000001.500000010.000000001.80          0000000.250000003.00000000.012\r\n" +
                std::string(80, ' ') + "\r\n");
  // Each row handed over as written, column by column.
  ASSERT_EQ(written.size(), 2u);
  EXPECT_EQ(written[0].field(PointColumn::kX100Value2), "          ");
  EXPECT_EQ(written[0].field(PointColumn::kX100Value5), "000000.012");
  EXPECT_EQ(written[1].row, 2);
  // What writing found: a blank, a value cut to zeros.
  EXPECT_TRUE(written[0].at(PointColumn::kX100Value2).blank);
  EXPECT_FALSE(written[0].at(PointColumn::kX100Value3).cut_to_zero);
  EXPECT_TRUE(written[1].at(PointColumn::kDepth).blank);
}

TEST(WritePointSection, ReportsTheValueThatDoesNotFit) {
  const Points points({{"1", "1", "1", "1", "1", "1", "1"}, {"2", "2", "2", "-12345678", "2", "2", "2"}});
  std::string out;
  std::vector<WrittenPoint> written;
  auto result = WritePointSection(out, points.list, written);
  ASSERT_FALSE(result);
  EXPECT_EQ(result.error().row, 2);
  EXPECT_EQ(result.error().column, PointColumn::kX100Value2);
  EXPECT_EQ(result.error().value, "-12345678");
}

TEST(BuildLiquefactionFile, TheWholeFileOrTheValueThatDoesNotFit) {
  auto built = BuildLiquefactionFile("T", Layers({}), Points({}).list);
  ASSERT_TRUE(built);
  EXPECT_EQ(built->bytes, "TITLE     T" + std::string(39, ' ') + "\r\nLAYER        0\r\nPOINT        0\r\n");
  auto too_wide = BuildLiquefactionFile("U", Layers({"99999999"}), Points({}).list);
  ASSERT_FALSE(too_wide);
  EXPECT_EQ(too_wide.error().section, FieldOverflow::Section::kLayer);
}

}  // namespace
}  // namespace pel
