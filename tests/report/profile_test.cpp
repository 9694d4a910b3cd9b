// The depth profile's geometry: scales, ticks, bars and markers in pixels, hit-testing.
#include "report/profile.h"

#include <gtest/gtest.h>

#include <string>

#include "run/conversion.h"
#include "support/fake_file_system.h"

namespace pel {
namespace {

constexpr PixelRect kArea{0, 0, 300, 600};
const ProfileMetrics kMetrics{16, 40, 1};

ProfilePoint Point(double depth, double x5, bool x100 = false) {
  ProfilePoint p;
  p.depth = depth;
  p.x5 = x5;
  p.has_x100 = x100;
  return p;
}

TEST(NiceStep, OneTwoOrFiveTimesAPowerOfTen) {
  const struct {
    double range;
    int ticks;
    double step;
  } cases[] = {{10, 5, 2}, {10, 10, 1}, {1, 4, 0.5}, {0.03, 3, 0.01}, {12345, 5, 5000}, {7, 1, 10}, {0, 5, 1},
               {1e300, 5, 2e299}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(NiceStep(c.range, c.ticks), c.step) << c.range << " in " << c.ticks;
}

TEST(LayOutProfile, ScalesRunFromZeroToTheLargestValues) {
  const ProfileLayout empty = LayOutProfile({}, kArea, kMetrics);
  EXPECT_TRUE(empty.points.empty());
  EXPECT_EQ(empty.depth_top, 0);
  EXPECT_EQ(empty.depth_bottom, 1);  // an empty profile still has a scale to draw

  const ProfileLayout one = LayOutProfile({Point(7.3, 12)}, kArea, kMetrics);
  ASSERT_EQ(one.points.size(), 1u);
  EXPECT_EQ(one.depth_bottom, 7.3);
  EXPECT_EQ(one.points[0].y, one.plot.bottom);        // the deepest point at the bottom
  // 12 of a scale to 15.
  EXPECT_NEAR(one.points[0].bar.right, one.plot.left + (one.plot.right - one.plot.left) * 12.0 / 15.0, 1.0);
  EXPECT_EQ(one.value_max, 15);
  EXPECT_EQ(one.depth_ticks.front().label, L"0.0");  // every label of a scale with the step's decimals
  EXPECT_EQ(one.depth_ticks.front().pixel, one.plot.top);
  EXPECT_EQ(one.value_ticks.back().label, L"15");

  // A negative depth moves the top of the scale; huge values keep every pixel inside.
  const ProfileLayout wide = LayOutProfile({Point(-2.5, 1), Point(1e6, 1e7, true)}, kArea, kMetrics);
  EXPECT_EQ(wide.depth_top, -2.5);
  EXPECT_EQ(wide.points[0].y, wide.plot.top);
  for (const auto& d : wide.points) {
    EXPECT_GE(d.bar.left, wide.plot.left);
    EXPECT_LE(d.bar.right, wide.plot.right);
  }
  EXPECT_FALSE(wide.points[1].x100_mark == PixelRect{});
  EXPECT_TRUE(wide.points[0].x100_mark == PixelRect{});
}

TEST(LayOutProfile, FiftyPointsInDepthOrderWithMarkers) {
  std::vector<ProfilePoint> points;
  for (int i = 1; i <= 50; ++i) points.push_back(Point(i * 0.5, i % 7));
  points[9].x5_replaced = true;
  points[9].flagged = true;
  points[9].x5 = 0;
  points[19].x5_blank = true;
  points[29].depth_marked = true;
  points[29].depth = 0;
  const ProfileLayout layout = LayOutProfile(points, kArea, kMetrics);
  ASSERT_EQ(layout.points.size(), 50u);
  for (std::size_t i = 1; i < 50; ++i) {
    if (i == 29 || i == 30) continue;  // point 29 stands at depth 0
    EXPECT_GT(layout.points[i].y, layout.points[i - 1].y) << i;
  }
  EXPECT_FALSE(layout.points[9].marker == PixelRect{});   // a replaced 0 is seen
  EXPECT_EQ(layout.points[9].marker.left + layout.points[9].marker.right, 2 * layout.plot.left + 1);
  EXPECT_TRUE(layout.points[19].bar == PixelRect{});      // a blank X5 value: no bar
  EXPECT_EQ(layout.points[29].y, layout.plot.top);         // a depth that is no number: at 0, marked
  EXPECT_FALSE(layout.points[29].marker == PixelRect{});
  EXPECT_TRUE(layout.points[0].marker == PixelRect{});
  EXPECT_GE(layout.depth_ticks.size(), 3u);
}

TEST(LayOutProfile, AGivenScaleIsSharedWithOtherProfiles) {
  const std::vector<ProfilePoint> points = {Point(1, 5), Point(4, 12, true)};
  const ProfileScale own = ScaleOf(points);
  EXPECT_EQ(own.depth_top, 0);
  EXPECT_EQ(own.depth_bottom, 4);
  EXPECT_EQ(own.value_max, 15);
  // Its own scale given is the same as none.
  const ProfileLayout plain = LayOutProfile(points, kArea, kMetrics);
  const ProfileLayout given = LayOutProfile(points, kArea, kMetrics, own);
  for (std::size_t i = 0; i < points.size(); ++i) {
    EXPECT_EQ(plain.points[i].bar, given.points[i].bar);
    EXPECT_EQ(plain.points[i].marker, given.points[i].marker);
  }
  // Beside a deeper borehole with larger values: higher up and shorter.
  const ProfileScale shared = Widened(own, ScaleOf({Point(8, 30)}));
  EXPECT_EQ(shared.depth_bottom, 8);
  EXPECT_EQ(shared.value_max, 30);
  const ProfileLayout beside = LayOutProfile(points, kArea, kMetrics, shared);
  EXPECT_EQ(beside.depth_bottom, 8);
  EXPECT_LT(beside.points[1].y, plain.points[1].y);
  EXPECT_LT(beside.points[1].bar.right, plain.points[1].bar.right);
  EXPECT_EQ(beside.depth_ticks.back().label, L"8.0");
}

TEST(HitTestProfile, TheNearestPointByDepth) {
  const ProfileLayout layout = LayOutProfile({Point(1, 5), Point(1.05, 5), Point(20, 5)}, kArea, kMetrics);
  EXPECT_EQ(HitTestProfile(layout, 100, layout.points[2].y), 2);
  EXPECT_EQ(HitTestProfile(layout, 100, layout.points[0].y), 0);
  EXPECT_EQ(HitTestProfile(layout, 100, layout.points[1].y), 1);
  EXPECT_EQ(HitTestProfile(layout, 100, (layout.points[1].y + layout.points[2].y) / 2), -1);
}

TEST(ProfilePointsOf, WrittenRowsFlaggedByTheirFindings) {
  testing::FakeFileSystem fs;
  fs.AddFile(L"C:\\b\\X5.txt", "1,1.0,abc,4,5,6,7,8,9,10,11\r\n1,,5,4,5,6,7,8,9,10,11\r\n");
  fs.AddFile(L"C:\\b\\X100.txt", "1,2,0.5" + std::string(41 * 2, ',').substr(0, 41) + "\r\n");
  auto prepared = PrepareBorehole(fs, L"C:\\b");
  ASSERT_TRUE(prepared);
  const auto profile = ProfilePointsOf(prepared->report.points, prepared->report.findings);
  ASSERT_EQ(profile.size(), 3u);  // 0.5 from X100, then 1.0, then the blank depth
  EXPECT_TRUE(profile[0].has_x100);
  EXPECT_TRUE(profile[0].x5_blank);
  EXPECT_EQ(profile[1].depth, 1.0);
  EXPECT_TRUE(profile[1].x5_replaced);
  EXPECT_TRUE(profile[1].flagged);
  EXPECT_TRUE(profile[2].depth_marked);
  EXPECT_EQ(profile[2].x5, 5.0);
}

}  // namespace
}  // namespace pel
