#include "ui/patdat_search.h"

#include <windows.h>
#include <windowsx.h>

#include <optional>
#include <system_error>
#include <thread>

#include "discovery/patdat.h"
#include "platform/win32/win32_handles.h"
#include "ui/window_util.h"
#include "util/user_texts.h"

namespace pel::ui {
namespace {

// The worker's word that the walk has ended.
constexpr UINT kSearchDone = WM_APP + 1;
constexpr UINT_PTR kShowTimer = 1;
constexpr UINT_PTR kFolderTimer = 2;
constexpr UINT kShowAfterMs = 500;
constexpr UINT kFolderEveryMs = 100;

// The window's design sizes, in twips.
constexpr int kMarginTwips = 180;
constexpr int kWidthTwips = 6600;
constexpr int kButtonWidthTwips = 1500;
constexpr int kButtonHeightTwips = 450;

class PatdatSearch {
 public:
  std::wstring Run(qpro::Library& library, ProcessEnvironment& process);

 private:
  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Search_Timer(HWND window, UINT id);
  void Search_Command(HWND, int id, HWND, UINT) {
    if (id == kSearchStop || id == IDCANCEL) Stop();
  }
  void Search_Close(HWND) { Stop(); }
  void Search_DpiChanged(HWND, UINT dpi, const RECT*) { ApplyDpi(dpi); }
  bool Create();
  void ApplyDpi(UINT dpi);
  void ShowFolder();
  // Ends the walk before its next folder; the window waits for it with its button off.
  void Stop() {
    watch_.Stop();
    EnableWindow(GetDlgItem(window_, kSearchStop), FALSE);
  }

  HWND window_ = nullptr;
  win32::UniqueFont font_;
  PatdatWalkWatch watch_;
  bool done_ = false;
};

bool PatdatSearch::Create() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!RegisterWindowClass(instance, kPatdatSearchClass,
                           &WindowThunk<PatdatSearch, &PatdatSearch::OnMessage, &PatdatSearch::window_>, true,
                           SystemColourBrush(COLOR_BTNFACE))) {
    return false;
  }
  // Hidden until the walk has run for a while; the program's one window meanwhile.
  if (!CreateWindowExW(0, kPatdatSearchClass, texts::kForm1Caption, WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 10, 10,
                       nullptr, nullptr, instance, this)) {
    return false;
  }
  const DWORD child = WS_CHILD | WS_VISIBLE;
  CreateWindowExW(0, L"STATIC", texts::kPatdatSearching, child | SS_LEFT | SS_NOPREFIX, 0, 0, 10, 10, window_,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSearchText)), instance, nullptr);
  // A long folder keeps its drive and its end; "..." stands for the middle.
  CreateWindowExW(0, L"STATIC", L"", child | SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, 0, 0, 10, 10, window_,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSearchFolder)), instance, nullptr);
  CreateWindowExW(0, L"BUTTON", texts::kPatdatStop, child | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 10, 10, window_,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSearchStop)), instance, nullptr);
  ApplyDpi(GetDpiForWindow(window_));
  return true;
}

// Two lines of text and the button under them, in the middle of the work area.
void PatdatSearch::ApplyDpi(UINT dpi) {
  if (!dpi) dpi = 96;
  SetChildrenUiFont(window_, dpi, font_);  // where none can be made, the old font stays
  const int margin = DpiScale(kMarginTwips, dpi);
  const int line = MulDiv(UiFontHeight(dpi), 3, 2);
  const int width = DpiScale(kWidthTwips, dpi);
  const int button_w = DpiScale(kButtonWidthTwips, dpi), button_h = DpiScale(kButtonHeightTwips, dpi);
  MoveWindow(GetDlgItem(window_, kSearchText), margin, margin, width - 2 * margin, line, TRUE);
  MoveWindow(GetDlgItem(window_, kSearchFolder), margin, margin + line, width - 2 * margin, line, TRUE);
  const int button_y = 2 * margin + 2 * line;
  MoveWindow(GetDlgItem(window_, kSearchStop), width - margin - button_w, button_y, button_w, button_h, TRUE);

  RECT frame{0, 0, width, button_y + button_h + margin};
  AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE)), FALSE, 0, dpi);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& work = monitor.rcWork;
  const int w = frame.right - frame.left, h = frame.bottom - frame.top;
  SetWindowPos(window_, nullptr, (work.left + work.right - w) / 2, (work.top + work.bottom - h) / 2, w, h,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// Changed text only: a repainted static flickers.
void PatdatSearch::ShowFolder() {
  HWND folder = GetDlgItem(window_, kSearchFolder);
  const std::wstring reached = watch_.Folder();
  if (reached != WindowText(folder)) SetWindowTextW(folder, reached.c_str());
}

void PatdatSearch::Search_Timer(HWND window, UINT id) {
  if (id == kShowTimer) {
    KillTimer(window, kShowTimer);
    ShowFolder();
    ShowWindow(window, SW_SHOW);
    SetTimer(window, kFolderTimer, kFolderEveryMs, nullptr);
  } else if (id == kFolderTimer) {
    ShowFolder();
  }
}

LRESULT PatdatSearch::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    HANDLE_MSG(window, WM_TIMER, Member(this, &PatdatSearch::Search_Timer));
    HANDLE_MSG(window, WM_COMMAND, Member(this, &PatdatSearch::Search_Command));
    HANDLE_MSG(window, WM_CLOSE, Member(this, &PatdatSearch::Search_Close));
    HANDLE_MSG(window, WM_DPICHANGED, Member(this, &PatdatSearch::Search_DpiChanged));
    case kSearchDone: done_ = true; return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

// The walk on a worker, this thread in a message loop until the worker says it is done. A
// WM_QUIT meanwhile stops the walk and is posted again afterwards.
std::wstring PatdatSearch::Run(qpro::Library& library, ProcessEnvironment& process) {
  if (!Create()) return SearchDrivesForPatdat(library, process);  // no window: the walk alone
  std::wstring found;
  std::thread worker;
  try {
    worker = std::thread([&] {
      WalkerProcess walker(process);
      found = SearchDrivesForPatdat(library, walker, &watch_);
      PostMessageW(window_, kSearchDone, 0, 0);
    });
  } catch (const std::system_error&) {
    DestroyWindow(window_);
    return SearchDrivesForPatdat(library, process);
  }
  SetTimer(window_, kShowTimer, kShowAfterMs, nullptr);
  std::optional<int> quit;
  MSG message;
  while (!done_) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      quit = static_cast<int>(message.wParam);
      Stop();
      continue;
    }
    if (IsDialogMessageW(window_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  worker.join();
  DestroyWindow(window_);
  if (quit) PostQuitMessage(*quit);
  return watch_.Stopped() ? std::wstring() : found;
}

}  // namespace

std::wstring SearchDrivesShowingProgress(qpro::Library& library, ProcessEnvironment& process) {
  return PatdatSearch().Run(library, process);
}

}  // namespace pel::ui
