#include "ui/profile_view.h"

#include <algorithm>

#include "platform/win32/win32_handles.h"
#include "ui/window_util.h"
#include "util/user_texts.h"

namespace pel::ui {
namespace {

using win32::ScopedSelectObject;
using win32::UniqueBrush;
using win32::UniquePen;

constexpr COLORREF kBarColour = RGB(70, 110, 160);
constexpr COLORREF kWarningColour = RGB(214, 80, 20);
constexpr COLORREF kHighlightColour = RGB(255, 236, 150);
constexpr COLORREF kScaleColour = RGB(120, 120, 120);

void FillSolid(HDC dc, const PixelRect& r, COLORREF colour) {
  const RECT rect{r.left, r.top, r.right, r.bottom};
  SetBkColor(dc, colour);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

bool IsEmpty(const PixelRect& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace

bool ProfileView::Register(HINSTANCE instance) {
  return RegisterWindowClass(instance, kProfileClass,
                             &WindowThunk<ProfileView, &ProfileView::OnMessage, &ProfileView::window_>, false, nullptr);
}

void ProfileView::Create(HWND parent, int id) {
  CreateWindowExW(WS_EX_CLIENTEDGE, kProfileClass, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 10, 10, parent,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), this);
}

void ProfileView::ClickPoint(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= points_.size()) return;
  current_point_ = index;
  const int row = points_[static_cast<std::size_t>(index)].row;
  clicked_(row);
  highlighted_.insert(row);
  InvalidateRect(window_, nullptr, FALSE);
}

LRESULT ProfileView::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    HANDLE_MSG(window, WM_PAINT, Member(this, &ProfileView::Profile_Paint));
    HANDLE_MSG(window, WM_ERASEBKGND, Member(this, &ProfileView::Profile_EraseBackground));
    HANDLE_MSG(window, WM_SIZE, Member(this, &ProfileView::Profile_Size));
    HANDLE_MSG(window, WM_GETDLGCODE, Member(this, &ProfileView::Profile_GetDlgCode));
    HANDLE_MSG(window, WM_SETFOCUS, Member(this, &ProfileView::Profile_Focus));
    HANDLE_MSG(window, WM_KILLFOCUS, Member(this, &ProfileView::Profile_Focus));
    HANDLE_MSG(window, WM_LBUTTONDOWN, Member(this, &ProfileView::Profile_MouseDown));
    HANDLE_MSG(window, WM_KEYDOWN, Member(this, &ProfileView::Profile_KeyDown));
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

// Drawn off screen, then copied: no flicker while the list's selection moves.
void ProfileView::Profile_Paint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  const RECT client = ClientRect(window);
  const win32::UniqueMemoryDC memory(CreateCompatibleDC(dc));
  const win32::UniqueBitmap bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
  {
    const ScopedSelectObject use_bitmap(memory.get(), bitmap.get());
    Paint(memory.get(), client);
    BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
  }
  EndPaint(window, &paint);
}

void ProfileView::Profile_KeyDown(HWND window, UINT key, BOOL, int repeat, UINT flags) {
  const int count = static_cast<int>(points_.size());
  if (count == 0) {
    FORWARD_WM_KEYDOWN(window, key, repeat, flags, DefWindowProcW);
    return;
  }
  int next = current_point_;
  if (key == VK_DOWN || key == VK_RIGHT) next = std::min(count - 1, current_point_ + 1);
  if (key == VK_UP || key == VK_LEFT) next = std::max(0, current_point_ - 1);
  if (key == VK_HOME) next = 0;
  if (key == VK_END) next = count - 1;
  if (next != current_point_) ClickPoint(next);
}

// Depth downward on the left scale, the X5 value across the top scale; flagged points in
// the warning colour and with a diamond, so that colour is not their only sign.
void ProfileView::Paint(HDC dc, const RECT& client) {
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
  const ScopedSelectObject use_font(dc, font_);
  TEXTMETRICW metrics;
  GetTextMetricsW(dc, &metrics);
  SIZE label{};
  GetTextExtentPoint32W(dc, L"-0000.00", 8, &label);
  const int unit = std::max(1, DpiScale(15, dpi_));
  layout_ = LayOutProfile(points_, {client.left + unit * 4, client.top + unit * 2, client.right, client.bottom},
                          {static_cast<int>(metrics.tmHeight), static_cast<int>(label.cx), unit});
  const PixelRect& plot = layout_.plot;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));

  // Highlighted rows first, under everything else.
  for (std::size_t i = 0; i < layout_.points.size(); ++i) {
    if (!highlighted_.count(points_[i].row)) continue;
    const DrawnPoint& d = layout_.points[i];
    FillSolid(dc, {client.left, d.hit.top, client.right, d.hit.bottom}, kHighlightColour);
  }
  {
    const UniquePen scale(CreatePen(PS_SOLID, unit, kScaleColour));
    const ScopedSelectObject use_pen(dc, scale.get());
    MoveToEx(dc, plot.left, plot.top, nullptr);
    LineTo(dc, plot.left, plot.bottom);
    MoveToEx(dc, plot.left, plot.top, nullptr);
    LineTo(dc, plot.right, plot.top);
    for (const Tick& t : layout_.depth_ticks) {
      MoveToEx(dc, plot.left - 3 * unit, t.pixel, nullptr);
      LineTo(dc, plot.left, t.pixel);
      RECT r{client.left, t.pixel - metrics.tmHeight / 2, plot.left - 4 * unit - metrics.tmHeight * 3 / 4,
             t.pixel + metrics.tmHeight / 2 + 1};
      DrawTextW(dc, t.label.c_str(), -1, &r, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    }
    for (const Tick& t : layout_.value_ticks) {
      MoveToEx(dc, t.pixel, plot.top - 3 * unit, nullptr);
      LineTo(dc, t.pixel, plot.top);
      RECT r{t.pixel - label.cx, plot.top - metrics.tmHeight - 3 * unit, t.pixel + label.cx, plot.top - 3 * unit};
      DrawTextW(dc, t.label.c_str(), -1, &r, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    }
  }
  RECT title{client.left + unit, client.top + unit, plot.left, client.top + unit + metrics.tmHeight};
  DrawTextW(dc, texts::kReportDepthScale, -1, &title, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
  title = {plot.left, client.top + unit, plot.right, client.top + unit + metrics.tmHeight};
  DrawTextW(dc, texts::kReportValueScale, -1, &title, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);

  const UniqueBrush warning(CreateSolidBrush(kWarningColour));
  const UniquePen outline(CreatePen(PS_SOLID, unit, RGB(0, 0, 0)));
  for (std::size_t i = 0; i < layout_.points.size(); ++i) {
    const ProfilePoint& p = points_[i];
    const DrawnPoint& d = layout_.points[i];
    if (!IsEmpty(d.bar)) FillSolid(dc, d.bar, p.flagged ? kWarningColour : kBarColour);
    if (!IsEmpty(d.x100_mark)) {
      const ScopedSelectObject use_brush(dc, GetStockObject(BLACK_BRUSH));
      Ellipse(dc, d.x100_mark.left, d.x100_mark.top, d.x100_mark.right, d.x100_mark.bottom);
    }
    if (!IsEmpty(d.marker)) {
      const POINT diamond[] = {{(d.marker.left + d.marker.right) / 2, d.marker.top},
                               {d.marker.right, (d.marker.top + d.marker.bottom) / 2},
                               {(d.marker.left + d.marker.right) / 2, d.marker.bottom},
                               {d.marker.left, (d.marker.top + d.marker.bottom) / 2}};
      const ScopedSelectObject use_brush(dc, warning.get());
      const ScopedSelectObject use_pen(dc, outline.get());
      Polygon(dc, diamond, 4);
    }
    if (static_cast<int>(i) == current_point_ && GetFocus() == window_) {
      const RECT focus{client.left + unit, d.hit.top, client.right - unit, d.hit.bottom};
      DrawFocusRect(dc, &focus);
    }
  }
}

}  // namespace pel::ui
