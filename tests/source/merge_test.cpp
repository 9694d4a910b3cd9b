#include "source/merge.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/text_lists.h"

namespace pel {
namespace {

X5Table X5Of(const std::vector<std::string>& depths) {
  std::vector<std::pair<std::string, std::string>> rows;
  for (const auto& d : depths) rows.emplace_back(d, "v" + d);
  return testing::MakeX5(rows);
}

X100Table X100Of(const std::vector<std::string>& depths) {
  std::vector<std::array<std::string, 6>> rows;
  for (const auto& d : depths) rows.push_back({d, "a" + d, "b" + d, "c" + d, "d" + d, "e" + d});
  return testing::MakeX100(rows);
}

// Each merged row as "depth|value0|value1" (value1 stands for the X100 side).
std::vector<std::string> Rows(const PointList& p) {
  std::vector<std::string> rows;
  for (int r = 1; r <= std::min<int>(p.count, kKeptRows); ++r) {
    const auto i = static_cast<std::size_t>(r);
    rows.push_back(std::string(p.cell(i, PointColumn::kDepth).text) + "|" +
                   std::string(p.cell(i, PointColumn::kX5Value).text) + "|" +
                   std::string(p.cell(i, PointColumn::kX100Value1).text));
  }
  return rows;
}

TEST(DepthValue, ReadsTheLeadingNumber) {
  struct Case {
    const char* text;
    double value;
  } cases[] = {{"1.5", 1.5}, {"  2", 2}, {"5.00", 5}, {"3m", 3}, {"", 0}, {"abc", 0}, {"-1", -1},
               {"1e2", 100}, {"1e", 1}, {"1 2", 1}, {".5", 0.5}, {"+.5e1", 5}, {"\t7", 7}};
  for (const auto& c : cases) EXPECT_EQ(DepthValue(c.text), c.value) << c.text;
}

TEST(MergePoints, MergesInDepthOrder) {
  struct Case {
    const char* name;
    std::vector<std::string> x5, x100;
    std::vector<std::string> rows;
  } cases[] = {
      {"interleaved", {"1", "2", "3"}, {"1.5", "2", "4"},
       {"1|v1|", "1.5||a1.5", "2|v2|a2", "3|v3|", "4||a4"}},
      {"identical", {"1", "2"}, {"1", "2"}, {"1|v1|a1", "2|v2|a2"}},
      {"duplicate_x5", {"2", "2"}, {"2"}, {"2|v2|a2", "2|v2|"}},
      {"x5_text_wins", {"5"}, {"5.00"}, {"5|v5|a5.00"}},
      {"x5_empty", {}, {"1", "2"}, {"1||a1", "2||a2"}},
      {"x100_empty", {"1", "2"}, {}, {"1|v1|", "2|v2|"}},
      {"both_empty", {}, {}, {}},
      {"non_numeric_is_zero", {"abc", "1"}, {"0"}, {"abc|vabc|a0", "1|v1|"}},
      {"out_of_order_not_sorted", {"3", "1"}, {"2"}, {"2||a2", "3|v3|", "1|v1|"}},
  };
  for (const auto& c : cases) {
    const X5Table x5 = X5Of(c.x5);
    const X100Table x100 = X100Of(c.x100);
    const PointList points = MergePoints(x5, x100);
    EXPECT_EQ(Rows(points), c.rows) << c.name;
    EXPECT_LE(points.count, x5.count + x100.count) << c.name;
  }
}

TEST(MergePoints, MatchedRowCarriesAllSixValuesAndItsSources) {
  const X5Table x5 = X5Of({"1", "2"});
  const X100Table x100 = X100Of({"2"});
  const PointList points = MergePoints(x5, x100);
  ASSERT_EQ(points.count, 2);
  std::vector<std::string> values;
  for (std::size_t c = 1; c < kPointColumnCount; ++c) values.emplace_back(points.cell(2, PointColumn(c)).text);
  EXPECT_EQ(values, (std::vector<std::string>{"v2", "a2", "b2", "c2", "d2", "e2"}));
  EXPECT_EQ(points.x5_row[2], 2);
  EXPECT_EQ(points.x100_row[2], 1);
  EXPECT_EQ(points.x100_row[1], 0);
}

TEST(MergePoints, CountsEveryRowAndKeepsFiftyOne) {
  std::vector<std::string> x5_depths, x100_depths;
  for (int i = 0; i < 40; ++i) {
    x5_depths.push_back(std::to_string(2 * i));
    x100_depths.push_back(std::to_string(2 * i + 1));
  }
  const X5Table x5 = X5Of(x5_depths);
  const X100Table x100 = X100Of(x100_depths);
  const PointList points = MergePoints(x5, x100);
  EXPECT_EQ(points.count, 80);
  ASSERT_EQ(points.x5_row.size(), 52u);
  EXPECT_EQ(points.cell(51, PointColumn::kDepth).text, "50");
}

}  // namespace
}  // namespace pel
