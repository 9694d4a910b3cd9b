// Where the report window goes when it is first made: beside Form1 on the side of the
// work area with more room, as wide as that room allows; over Form1 only where neither
// side has room for its least width. Portable: screen rectangles in pixels.
#pragma once

#include <algorithm>

namespace pel::ui {

// The report window's sizes, in twips: the size it asks for, and the least it takes. The
// least width lets it stand beside the centred Form1 on a 1920-pixel screen at 96 dpi and
// on a 2880-pixel one at 144 dpi.
inline constexpr int kReportWidthTwips = 13500;
inline constexpr int kReportHeightTwips = 7200;
inline constexpr int kReportMinWidthTwips = 7500;
inline constexpr int kReportMinHeightTwips = 4800;

// Twips (1/1440 inch) in pixels at `dpi`, rounded as MulDiv rounds.
constexpr int TwipsToPixels(int twips, int dpi) { return (twips * dpi + 720) / 1440; }

struct ScreenRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  constexpr int width() const { return right - left; }
  constexpr int height() const { return bottom - top; }
  friend constexpr bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// The report's rectangle in `work` (the work area of `owner`'s monitor) beside `owner`:
// on the side with more room (the right on a tie), `width` wide where the room allows,
// never narrower than `min_width` nor wider than the work area, `height` high (at most
// the work area's), its top level with the owner's as far as the work area allows. A side
// with less room than `min_width` gets the report over the owner, against the work
// area's edge.
constexpr ScreenRect PlaceBeside(const ScreenRect& work, const ScreenRect& owner, int width, int height,
                                 int min_width) {
  const int room_right = work.right - owner.right;
  const int room_left = owner.left - work.left;
  const bool right = room_right >= room_left;
  const int room = right ? room_right : room_left;
  const int w = std::min(std::clamp(room, min_width, std::max(width, min_width)), work.width());
  const int h = std::min(height, work.height());
  const int x = std::clamp(right ? owner.right : owner.left - w, work.left, work.right - w);
  const int y = std::clamp(owner.top, work.top, work.bottom - h);
  return {x, y, x + w, y + h};
}

}  // namespace pel::ui
