// The report's depth profile: a child window of the report that draws the written
// points (depth downward, X5 across), lights up the point rows of the selected findings
// and lets the user choose a point by click or arrow keys; the report hears of the row.
#pragma once

#include <windows.h>

#include <functional>
#include <set>
#include <vector>

#include "report/profile.h"

namespace pel::ui {

inline constexpr wchar_t kProfileClass[] = L"PelmoraProfile";

class ProfileView {
 public:
  // `clicked` gets the row of the point the user chose.
  explicit ProfileView(std::function<void(int row)> clicked) : clicked_(std::move(clicked)) {}

  // The view's window class; false with the system's error set when it fails.
  static bool Register(HINSTANCE instance);
  // Makes the view as child `id` of `parent` (it goes with its parent).
  void Create(HWND parent, int id);
  HWND hwnd() const { return window_; }

  // The points to draw, none lit and none chosen yet.
  void Show(std::vector<ProfilePoint> points) {
    points_ = std::move(points);
    highlighted_.clear();
    current_point_ = -1;
    InvalidateRect(window_, nullptr, TRUE);
  }
  // The font of the scales, and the DPI its sizes are drawn at.
  void SetFont(HFONT font, UINT dpi) {
    font_ = font;
    dpi_ = dpi;
  }
  // Lights up `rows`, the point rows of the selected findings.
  void Highlight(std::set<int> rows) {
    highlighted_ = std::move(rows);
    InvalidateRect(window_, nullptr, FALSE);
  }
  // A click on point `index` (nothing outside the points): it becomes the keyboard's
  // point, the report selects the findings of its row, and the row lights up even
  // without any.
  void ClickPoint(int index);
  const std::set<int>& highlighted_rows() const { return highlighted_; }

 private:
  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Profile_Paint(HWND window);
  BOOL Profile_EraseBackground(HWND, HDC) { return TRUE; }  // Profile_Paint covers all
  void Profile_Size(HWND window, UINT, int, int) { InvalidateRect(window, nullptr, FALSE); }
  UINT Profile_GetDlgCode(HWND, LPMSG) { return DLGC_WANTARROWS; }
  // The keyboard's point shows a focus rectangle only while the view has the focus.
  void Profile_Focus(HWND window, HWND) { InvalidateRect(window, nullptr, FALSE); }
  void Profile_MouseDown(HWND window, BOOL, int x, int y, UINT) {
    SetFocus(window);
    ClickPoint(HitTestProfile(layout_, x, y));
  }
  void Profile_KeyDown(HWND window, UINT key, BOOL down, int repeat, UINT flags);
  void Paint(HDC dc, const RECT& client);

  std::function<void(int row)> clicked_;
  HWND window_ = nullptr;
  HFONT font_ = nullptr;  // the report's; we don't own it
  UINT dpi_ = 96;
  std::vector<ProfilePoint> points_;
  ProfileLayout layout_;       // where the last paint put the points
  std::set<int> highlighted_;  // point rows lit up
  int current_point_ = -1;     // the keyboard's point
};

}  // namespace pel::ui
