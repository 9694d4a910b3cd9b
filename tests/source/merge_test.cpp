#include "source/merge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
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

// `n` depths as text: from, from + step, ...
std::vector<std::string> Depths(int from, int step, int n) {
  std::vector<std::string> depths;
  for (int i = 0; i < n; ++i) depths.push_back(std::to_string(from + i * step));
  return depths;
}

// The lists one after the other.
std::vector<std::string> Joined(std::initializer_list<std::vector<std::string>> lists) {
  std::vector<std::string> joined;
  for (const auto& list : lists) joined.insert(joined.end(), list.begin(), list.end());
  return joined;
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
               {"1e2", 100}, {"1e", 1}, {"1 2", 1}, {".5", 0.5}, {"+.5e1", 5}, {"\t7", 7},
               {"1e999", HUGE_VAL}, {"-1e999", -HUGE_VAL}, {"-0", 0}};
  for (const auto& c : cases) EXPECT_EQ(DepthValue(c.text), c.value) << c.text;
  // -0 stays negative, for the merge's cases of -0 against 0.
  EXPECT_TRUE(std::signbit(DepthValue("-0")));
}

TEST(MergePoints, MergesInDepthOrder) {
  // Past the first 51 rows the rows are only counted; the long runs have more than 64
  // values each left there, and where both left strictly increase they are counted in
  // parts (the bounds of the parts fall on values both hold where every value is in both).
  const auto to_399 = Depths(0, 1, 400);
  struct Case {
    const char* name;
    std::vector<std::string> x5, x100;
    std::vector<std::string> rows;  // the first rows kept: all of them up to 51 rows
    int count;
  } cases[] = {
      {"interleaved", {"1", "2", "3"}, {"1.5", "2", "4"},
       {"1|v1|", "1.5||a1.5", "2|v2|a2", "3|v3|", "4||a4"}, 5},
      {"identical", {"1", "2"}, {"1", "2"}, {"1|v1|a1", "2|v2|a2"}, 2},
      {"duplicate_x5", {"2", "2"}, {"2"}, {"2|v2|a2", "2|v2|"}, 2},
      {"x5_text_wins", {"5"}, {"5.00"}, {"5|v5|a5.00"}, 1},
      {"x5_empty", {}, {"1", "2"}, {"1||a1", "2||a2"}, 2},
      {"x100_empty", {"1", "2"}, {}, {"1|v1|", "2|v2|"}, 2},
      {"both_empty", {}, {}, {}, 0},
      {"non_numeric_is_zero", {"abc", "1"}, {"0"}, {"abc|vabc|a0", "1|v1|"}, 2},
      {"out_of_order_not_sorted", {"3", "1"}, {"2"}, {"2||a2", "3|v3|", "1|v1|"}, 3},
      // 300 + 200 values, 100 in both (the multiples of 6).
      {"long_runs_some_shared", Depths(0, 2, 300), Depths(0, 3, 200), {"0|v0|a0", "2|v2|", "3||a3", "4|v4|"}, 400},
      {"long_runs_identical", to_399, to_399, {"0|v0|a0", "1|v1|a1"}, 400},
      // 70 + 4000 values, 40 in both.
      {"lengths_far_apart", Depths(0, 100, 70), Depths(0, 1, 4000), {"0|v0|a0", "1||a1"}, 4030},
      {"x5_runs_out_within_kept", Depths(0, 1, 30), Depths(100, 1, 300), {"0|v0|"}, 330},
      {"x100_runs_out_within_kept", Depths(100, 1, 300), Depths(0, 1, 30), {"0||a0"}, 330},
      // X100 0 to 99 alone, 100 to 199 in both, then X5's 0 to 99 after X100 has run out.
      {"x5_drops_past_kept", Joined({Depths(100, 1, 100), Depths(0, 1, 100)}), Depths(0, 1, 200), {"0||a0"}, 300},
      {"x100_drops_past_kept", Depths(0, 1, 200), Joined({Depths(100, 1, 100), Depths(0, 1, 100)}), {"0|v0|"}, 300},
      // Past the 51 kept rows, X5 0 to 94 then 0 again and X100 0 to 150 by twos: 95 rows
      // to 94, 1 for X5's last 0, 28 for X100's 96 to 150.
      {"x5_drops_at_its_end_past_kept", Joined({Depths(-51, 1, 51), Depths(0, 1, 95), {"0"}}),
       Joined({Depths(-51, 1, 51), Depths(0, 2, 76)}), {"-51|v-51|a-51"}, 175},
      // 200 in both, then X100's last 50 and X5's 200 alone.
      {"x100_drops_at_its_end", Depths(0, 1, 201), Joined({Depths(0, 1, 200), {"50"}}), {"0|v0|a0"}, 202},
      // 150 is two rows of each run, and each pair of them one merged row.
      {"repeated_in_both", Joined({Depths(0, 1, 151), Depths(150, 1, 50)}),
       Joined({Depths(0, 1, 151), Depths(150, 1, 50)}), {"0|v0|a0"}, 201},
      {"minus_zero_is_zero", Joined({Depths(-100, 1, 100), {"-0"}, Depths(1, 1, 99)}), Depths(-100, 1, 200),
       {"-100|v-100|a-100"}, 200},
      {"minus_zero_then_zero", Joined({Depths(-100, 1, 100), {"-0", "0"}, Depths(1, 1, 99)}), Depths(-100, 1, 200),
       {"-100|v-100|a-100"}, 201},
      // Both: -inf, ..., +inf; of the numbers between, 75 in both (the even ones to 148).
      {"infinities", Joined({{"-1e999"}, Depths(0, 1, 150), {"1e999"}}),
       Joined({{"-1e999"}, Depths(0, 2, 150), {"1e999"}}), {"-1e999|v-1e999|a-1e999", "0|v0|a0", "1|v1|"}, 227},
      {"infinities_repeated", Joined({Depths(0, 1, 150), {"1e999", "2e999"}}), Joined({Depths(0, 1, 150), {"1e999"}}),
       {"0|v0|a0"}, 152},
  };
  for (const auto& c : cases) {
    const X5Table x5 = X5Of(c.x5);
    const X100Table x100 = X100Of(c.x100);
    const PointList points = MergePoints(x5, x100);
    const auto rows = Rows(points);
    EXPECT_EQ(std::vector<std::string>(rows.begin(), rows.begin() + std::min(rows.size(), c.rows.size())), c.rows)
        << c.name;
    EXPECT_EQ(points.count, c.count) << c.name;
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

// The count against the plain walk on runs of many lengths and shapes, the same runs
// every time (a fixed seed): values on a grid of halves, so that the two runs share
// many; one run's steps up to 50 times the other's; ranges apart, overlapping or nested;
// and in some runs a value repeated, a drop (at the end too), -0 for 0, -0 before 0, or
// infinities at the ends.
TEST(CountMergedRows, CountsAsThePlainWalk) {
  std::mt19937 random(20240611);
  auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
  auto length = [&] {
    switch (below(4)) {
      case 0: return below(8);
      case 1: return 56 + below(16);  // about where the walk is split
      case 2: return below(3000);
      default: return below(20) == 0 ? 4000 + below(12000) : 100 + below(900);
    }
  };
  auto run = [&](int steps_times) {
    std::vector<double> values(static_cast<std::size_t>(length()));
    double value = 0.5 * (below(2001) - 1000);
    for (double& v : values) v = value += 0.5 * steps_times * (1 + below(3));
    if (values.size() < 2) return values;
    const auto at = static_cast<std::size_t>(below(static_cast<int>(values.size()) - 1)) + 1;
    switch (below(10)) {
      case 0: values.insert(values.begin() + static_cast<std::ptrdiff_t>(at), values[at]); break;
      case 1: values[at] -= 0.5 * below(200); break;
      case 2: std::replace(values.begin(), values.end(), 0.0, -0.0); break;
      case 3: {
        const auto zero = std::find(values.begin(), values.end(), 0.0);
        if (zero != values.end()) values.insert(zero, -0.0);
        break;
      }
      case 4:
        values.front() = -HUGE_VAL;
        values.back() = HUGE_VAL;
        break;
      case 5: values.push_back(HUGE_VAL); break;
      case 6: values.back() = values[at - 1]; break;  // less than the one before, or equal
      default: break;  // strictly increasing
    }
    return values;
  };
  for (int round = 0; round < 4000; ++round) {
    const int times = below(3) == 0 ? 1 + below(50) : 1;
    const bool swap = below(2) == 0;
    const std::vector<double> x5 = run(swap ? 1 : times);
    const std::vector<double> x100 = run(swap ? times : 1);
    ASSERT_EQ(CountMergedRows(x5, x100), CountMergedRowsPlain(x5, x100))
        << "round " << round << ": " << x5.size() << " and " << x100.size() << " values";
  }
}

}  // namespace
}  // namespace pel
