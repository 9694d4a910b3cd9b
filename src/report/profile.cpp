#include "report/profile.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "output/number_field.h"

namespace pel {
namespace {

bool IsBlank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

// A finding on the depth of a point: X5 field 2 or X100 field 3.
bool IsDepthField(const Finding& f) {
  const PointColumnSource& depth = PointColumnOf(PointColumn::kDepth);
  return f.field == (f.source == SourceFile::kX5 ? depth.x5_field : f.source == SourceFile::kX100 ? depth.x100_field : -1);
}

// A tick label: as many decimals as the step needs, no more.
std::wstring TickLabel(double value, double step) {
  int decimals = 0;
  while (decimals < 6 && std::fabs(step * std::pow(10.0, decimals) - std::round(step * std::pow(10.0, decimals))) > 1e-9) {
    ++decimals;
  }
  wchar_t text[64];
  std::swprintf(text, 64, L"%.*f", decimals, std::fabs(value) < step * 1e-9 ? 0.0 : value);
  return text;
}

int Lerp(int from, int to, double t) { return from + static_cast<int>(std::lround((to - from) * t)); }

std::vector<Tick> Ticks(double low, double high, int from_px, int to_px, int max_ticks) {
  std::vector<Tick> ticks;
  const double step = NiceStep(high - low, max_ticks);
  for (double v = std::ceil(low / step - 1e-9) * step; v <= high + step * 1e-9; v += step) {
    ticks.push_back({v, Lerp(from_px, to_px, (v - low) / (high - low)), TickLabel(v, step)});
    if (ticks.size() > 1000) break;  // never, with a step from NiceStep
  }
  return ticks;
}

}  // namespace

std::vector<ProfilePoint> ProfilePointsOf(const std::vector<WrittenPoint>& points, const std::vector<Finding>& findings) {
  std::vector<ProfilePoint> profile;
  for (const WrittenPoint& w : points) {
    ProfilePoint p;
    p.row = w.row;
    const std::string_view depth = w.field(PointColumn::kDepth);
    p.depth_marked = IsBlank(depth);
    p.depth = p.depth_marked ? 0.0 : NumberFieldValue(depth);
    const std::string_view x5 = w.field(PointColumn::kX5Value);
    p.x5_blank = IsBlank(x5);
    p.x5 = p.x5_blank ? 0.0 : NumberFieldValue(x5);
    p.has_x100 = w.x100_record > 0;
    for (const Finding& f : findings) {
      if (f.section != Section::kPoint || f.row != w.row) continue;
      p.flagged = true;
      p.x5_replaced = p.x5_replaced || f.kind == FindingKind::kX5ValueReplaced;
      if (f.kind == FindingKind::kNotANumber && IsDepthField(f)) {
        p.depth_marked = true;  // drawn at 0, whatever number its leading part gave
        p.depth = 0.0;
      }
    }
    profile.push_back(p);
  }
  return profile;
}

double NiceStep(double range, int max_ticks) {
  if (!(range > 0) || !std::isfinite(range)) return 1.0;
  max_ticks = std::max(max_ticks, 1);
  const double rough = range / max_ticks;
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  for (double factor : {1.0, 2.0, 5.0, 10.0}) {
    if (factor * power >= rough * (1 - 1e-12)) return factor * power;
  }
  return 10.0 * power;
}

ProfileScale ScaleOf(const std::vector<ProfilePoint>& points) {
  double low = 0, high = 0, value_max = 0;
  for (const auto& p : points) {
    if (!std::isfinite(p.depth)) continue;
    low = std::min(low, p.depth);
    high = std::max(high, p.depth);
    if (!p.x5_blank && std::isfinite(p.x5)) value_max = std::max(value_max, p.x5);
  }
  if (high <= low) high = low + 1;
  const double value_step = NiceStep(value_max > 0 ? value_max : 1, 5);
  value_max = value_max > 0 ? std::ceil(value_max / value_step - 1e-9) * value_step : 1.0;
  return {low, high, value_max};
}

ProfileScale Widened(const ProfileScale& a, const ProfileScale& b) {
  return {std::min(a.depth_top, b.depth_top), std::max(a.depth_bottom, b.depth_bottom), std::max(a.value_max, b.value_max)};
}

ProfileLayout LayOutProfile(const std::vector<ProfilePoint>& points, PixelRect area, const ProfileMetrics& m,
                            const std::optional<ProfileScale>& scale) {
  ProfileLayout layout;
  // Room for the depth labels and the X100 marks on the left, the value labels on top,
  // the scale titles above them.
  const int x100_column = 3 * m.text_height / 4;
  layout.plot = {area.left + m.label_width + x100_column + 4 * m.unit, area.top + 2 * m.text_height + 4 * m.unit,
                 area.right - m.text_height, area.bottom - m.text_height / 2};
  if (layout.plot.right <= layout.plot.left) layout.plot.right = layout.plot.left + 1;
  if (layout.plot.bottom <= layout.plot.top) layout.plot.bottom = layout.plot.top + 1;
  const PixelRect& plot = layout.plot;

  const ProfileScale s = scale ? *scale : ScaleOf(points);
  const double low = s.depth_top, high = s.depth_bottom > s.depth_top ? s.depth_bottom : s.depth_top + 1;
  const double value_max = s.value_max > 0 ? s.value_max : 1.0;
  layout.depth_top = low;
  layout.depth_bottom = high;
  layout.value_max = value_max;
  const int rows_of_labels = std::max(2, (plot.bottom - plot.top) / (2 * m.text_height));
  layout.depth_ticks = Ticks(low, high, plot.top, plot.bottom, rows_of_labels);
  // A value label is two or three digits wide: a narrow plot takes fewer, lest they run
  // together, but never less than the scale's start and a step.
  const int columns_of_labels = std::clamp((plot.right - plot.left) / (2 * m.text_height), 2, 5);
  layout.value_ticks = Ticks(0, value_max, plot.left, plot.right, columns_of_labels);

  const int half_bar = std::max(m.unit, std::min(m.text_height / 4, (plot.bottom - plot.top) / (2 * 50)));
  const int marker = std::max(3 * m.unit, m.text_height / 3);
  for (const auto& p : points) {
    DrawnPoint d;
    const double depth = std::isfinite(p.depth) ? p.depth : 0.0;
    d.y = Lerp(plot.top, plot.bottom, std::clamp((depth - low) / (high - low), 0.0, 1.0));
    if (!p.x5_blank) {
      const double t = std::clamp(std::isfinite(p.x5) ? p.x5 / value_max : 1.0, 0.0, 1.0);
      d.bar = {plot.left, d.y - half_bar, std::max(plot.left + m.unit, Lerp(plot.left, plot.right, t)), d.y + half_bar + 1};
    }
    if (p.x5_replaced || p.depth_marked || p.flagged) {
      // A replaced 0 has no bar to speak of: its marker stands at the value 0.
      const int x = p.x5_blank || p.x5_replaced ? plot.left : d.bar.right;
      d.marker = {x - marker, d.y - marker, x + marker + 1, d.y + marker + 1};
    }
    if (p.has_x100) {
      const int x = plot.left - 2 * m.unit - x100_column / 2;
      const int r = std::max(2 * m.unit, x100_column / 4);
      d.x100_mark = {x - r, d.y - r, x + r + 1, d.y + r + 1};
    }
    const int reach = std::max(half_bar, marker) + m.unit;
    d.hit = {area.left, d.y - reach, area.right, d.y + reach + 1};
    layout.points.push_back(d);
  }
  return layout;
}

int HitTestProfile(const ProfileLayout& layout, int x, int y) {
  int best = -1;
  int best_distance = std::numeric_limits<int>::max();
  for (std::size_t i = 0; i < layout.points.size(); ++i) {
    const DrawnPoint& d = layout.points[i];
    if (!d.hit.Contains(x, y)) continue;
    const int distance = std::abs(d.y - y);
    if (distance < best_distance) {
      best = static_cast<int>(i);
      best_distance = distance;
    }
  }
  return best;
}

}  // namespace pel
