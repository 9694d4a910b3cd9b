// The depth profile of a written file: depth downward from the top as a boring log is
// drawn, each point's written X5 value as a bar from the value scale, the rows with X100
// values marked beside the depth scale. Portable geometry: the window only draws what
// this computes, in pixels.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "check/findings.h"

namespace pel {

// One written point row of the depth profile, as the file holds it.
struct ProfilePoint {
  int row = 0;                // 1 to 50
  double depth = 0.0;         // as written; 0 where it is blank or not a number
  bool depth_marked = false;  // blank or not a number: drawn at 0 and marked
  double x5 = 0.0;            // as written
  bool x5_blank = false;      // drawn as nothing
  bool x5_replaced = false;   // the X5 value check wrote 0 for it: a marker shows it
  bool has_x100 = false;
  bool flagged = false;       // carries a finding
};

// The profile of the written points, flagged by the findings on them.
std::vector<ProfilePoint> ProfilePointsOf(const std::vector<WrittenPoint>& points, const std::vector<Finding>& findings);

struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  bool operator==(const PixelRect&) const = default;
};

struct Tick {
  double value;
  int pixel;          // y on the depth scale, x on the value scale
  std::wstring label;
};

struct DrawnPoint {
  int y = 0;              // the depth's line
  PixelRect bar;          // empty for a blank X5 value
  PixelRect marker;       // a replaced 0, a marked depth or a finding; else empty
  PixelRect x100_mark;    // beside the depth scale; else empty
  PixelRect hit;          // where a click selects this point
};

struct ProfileLayout {
  PixelRect plot;  // the bars' area: depth runs down it, the X5 value across it
  double depth_top = 0, depth_bottom = 1, value_max = 1;
  std::vector<Tick> depth_ticks, value_ticks;
  std::vector<DrawnPoint> points;
};

// Sizes in pixels the layout needs: the height of a line of text, the width of the
// widest depth label, and one pixel at the window's DPI.
struct ProfileMetrics {
  int text_height = 16;
  int label_width = 40;
  int unit = 1;
};

// The scales a profile is drawn on: depth from `depth_top` down to `depth_bottom`, the
// X5 value from 0 to `value_max`.
struct ProfileScale {
  double depth_top = 0, depth_bottom = 1, value_max = 1;
};

// The profile's own scales: depth from 0 (or the smallest written depth, when negative)
// to the largest; the value from 0 to the largest X5 value, rounded up to a tick.
ProfileScale ScaleOf(const std::vector<ProfilePoint>& points);
// Scales that take in both (profiles side by side on one scale).
ProfileScale Widened(const ProfileScale& a, const ProfileScale& b);

// Lays the profile out in `area`, on its own scales unless `scale` is given (values
// beyond a given scale are drawn at its edge).
ProfileLayout LayOutProfile(const std::vector<ProfilePoint>& points, PixelRect area, const ProfileMetrics& metrics,
                            const std::optional<ProfileScale>& scale = std::nullopt);

// The point under (x, y), the nearest by depth where hit areas overlap; -1 for none.
int HitTestProfile(const ProfileLayout& layout, int x, int y);

// A step of 1, 2 or 5 times a power of ten that cuts `range` into at most `max_ticks`
// intervals.
double NiceStep(double range, int max_ticks);

}  // namespace pel
