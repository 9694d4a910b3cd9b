#include "source/merge.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/text_lists.h"

namespace pel {
namespace {

X5Table MakeX5(const std::vector<std::string>& depths) {
  X5Table t;
  t.count = static_cast<std::int16_t>(depths.size());
  t.depth.Append("");
  t.value.Append("");
  for (const auto& d : depths) {
    t.depth.Append(d);
    t.value.Append("v" + d);
  }
  return t;
}

X100Table MakeX100(const std::vector<std::string>& depths) {
  X100Table t;
  t.count = static_cast<std::int16_t>(depths.size());
  t.depth.Append("");
  t.values.PadTo(5);
  for (const auto& d : depths) {
    t.depth.Append(d);
    for (const char* prefix : {"a", "b", "c", "d", "e"}) t.values.Append(prefix + d);
  }
  return t;
}

// Each merged row as "depth|value0|value1" (value1 stands for the X100 side).
std::vector<std::string> Rows(const PointList& p) {
  std::vector<std::string> rows;
  for (int r = 1; r <= p.count; ++r) {
    const auto i = static_cast<std::size_t>(r);
    rows.push_back(std::string(p.depth[i]) + "|" + std::string(p.value(i, 0)) + "|" + std::string(p.value(i, 1)));
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
    const X5Table x5 = MakeX5(c.x5);
    const X100Table x100 = MakeX100(c.x100);
    const PointList points = MergePoints(x5, x100);
    EXPECT_EQ(Rows(points), c.rows) << c.name;
    EXPECT_LE(points.count, x5.count + x100.count) << c.name;
  }
}

TEST(MergePoints, MatchedRowCarriesAllSixValuesAndItsSources) {
  const PointList points = MergePoints(MakeX5({"1", "2"}), MakeX100({"2"}));
  ASSERT_EQ(points.count, 2);
  EXPECT_EQ(testing::Row(points.values, 2, 6), (std::vector<std::string>{"v2", "a2", "b2", "c2", "d2", "e2"}));
  EXPECT_EQ(points.x5_row[2], 2);
  EXPECT_EQ(points.x100_row[2], 1);
  EXPECT_EQ(points.x100_row[1], 0);
}

TEST(MergePoints, BuildsEveryRowBeyondFifty) {
  std::vector<std::string> x5, x100;
  for (int i = 0; i < 40; ++i) {
    x5.push_back(std::to_string(2 * i));
    x100.push_back(std::to_string(2 * i + 1));
  }
  const PointList points = MergePoints(MakeX5(x5), MakeX100(x100));
  EXPECT_EQ(points.count, 80);
  EXPECT_EQ(points.depth[80], "79");
}

}  // namespace
}  // namespace pel
