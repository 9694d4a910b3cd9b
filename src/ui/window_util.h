// The window plumbing every window of the program shares: the window-procedure thunk,
// the message crackers' glue, class registration, DPI scaling from twips and a few named
// control calls.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include <string>
#include <utility>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_system.h"
#include "util/user_texts.h"

namespace pel::ui {

// The window procedure of a class whose windows belong to an object of type T: the
// object comes in CreateWindowExW's last parameter, is kept in GWLP_USERDATA from
// WM_NCCREATE on, and gets every message through (object->*Handle); its member `Window`,
// where given, holds the window until WM_NCDESTROY. Messages before WM_NCCREATE and
// after WM_NCDESTROY get the default handling.
template <class T, LRESULT (T::*Handle)(HWND, UINT, WPARAM, LPARAM), HWND T::*Window = nullptr>
LRESULT CALLBACK WindowThunk(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  T* self = reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCDESTROY) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  if (!self) return DefWindowProcW(window, message, wparam, lparam);
  if constexpr (Window != nullptr) self->*Window = message == WM_NCDESTROY ? nullptr : window;
  return (self->*Handle)(window, message, wparam, lparam);
}

// A member function of `self` as a windowsx.h cracker's handler, as in
// HANDLE_MSG(window, WM_SIZE, Member(this, &ReportWindow::Report_Size)), which reads the
// window procedure's parameters by the names wParam and lParam.
template <class T, class R, class... Args>
auto Member(T* self, R (T::*handler)(Args...)) {
  return [self, handler](Args... args) { return (self->*handler)(args...); };
}

// WM_DPICHANGED, which windowsx.h does not crack: void fn(HWND, UINT dpi, const RECT* suggested).
#define HANDLE_WM_DPICHANGED(hwnd, wParam, lParam, fn) \
  ((fn)((hwnd), static_cast<UINT>(HIWORD(wParam)), reinterpret_cast<const RECT*>(lParam)), LRESULT{0})

// The frames' subclass procedure (SetWindowSubclass): a group box lets the pointer
// through to what lies under it; a frame takes it over its whole rectangle instead.
inline LRESULT CALLBACK FrameSubclassProc(HWND frame, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR) {
  return message == WM_NCHITTEST ? HTCLIENT : DefSubclassProc(frame, message, wparam, lparam);
}

// A function of a system DLL, loaded at its first use so that start-up does not wait for
// the DLL (the shell's, the common dialogs'); null where the system has no such function.
template <class Function>
Function* SystemFunction(const wchar_t* dll, const char* name) {
  HMODULE module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return module ? reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// Registers the window class `name` with the arrow pointer, the program's icon where
// `with_icon`, and `background` (none: the window paints its own); one that a window of
// this process registered before counts as registered (tests create several windows in
// one process). False with the system's error set when it fails.
inline bool RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, bool with_icon,
                                HBRUSH background) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = instance;
  window_class.hIcon = with_icon ? LoadIconW(instance, MAKEINTRESOURCEW(1)) : nullptr;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = background;
  window_class.lpszClassName = name;
  return RegisterClassExW(&window_class) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// A system colour as a class background brush.
inline HBRUSH SystemColourBrush(int colour) { return reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(colour + 1)); }

// Twips (1/1440 inch) in pixels at `dpi`: the one unit conversion of every window.
inline int DpiScale(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

inline RECT ClientRect(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  return r;
}

// The system's text for the last error of this thread.
inline std::wstring LastErrorText() { return win32::SystemErrorText(GetLastError()); }

inline std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
  return text;
}

// Presses a push button as a click would: it raises BN_CLICKED in its parent.
inline void ClickButton(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }

// The windows' font: the first installed of the Japanese UI faces, at 13.5 point with
// the Shift-JIS character set.
inline constexpr int kUiFontTenthsOfPoint = 135;
inline int UiFontHeight(UINT dpi) { return MulDiv(kUiFontTenthsOfPoint, static_cast<int>(dpi), 720); }

inline const wchar_t* ChooseFontFace() {
  static constexpr const wchar_t* kFaces[] = {L"MS UI Gothic", L"Yu Gothic UI", L"Meiryo UI", L"IPAGothic",
                                              L"Noto Sans CJK JP"};
  const win32::ScopedGetDC screen(nullptr);
  for (const wchar_t* face : kFaces) {
    LOGFONTW wanted{};
    wanted.lfCharSet = SHIFTJIS_CHARSET;
    lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExW(
        screen.get(), &wanted,
        [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found_flag) -> int {
          *reinterpret_cast<bool*>(found_flag) = true;
          return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    if (found) return face;
  }
  return kFaces[0];
}

inline win32::UniqueFont CreateUiFont(UINT dpi) {
  LOGFONTW font{};
  font.lfHeight = -UiFontHeight(dpi);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = SHIFTJIS_CHARSET;
  font.lfQuality = CLEARTYPE_QUALITY;
  lstrcpynW(font.lfFaceName, ChooseFontFace(), LF_FACESIZE);
  return win32::UniqueFont(CreateFontIndirectW(&font));
}

// The program's font at `dpi` given to every child of `window`, kept in `font` once they
// hold it (the old one can go then); false where none could be made: the old one stays.
inline bool SetChildrenUiFont(HWND window, UINT dpi, win32::UniqueFont& font) {
  win32::UniqueFont made = CreateUiFont(dpi);
  if (!made) return false;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    SetWindowFont(child, made.get(), FALSE);
  }
  font = std::move(made);
  return true;
}

// A list view's column titles, the sorted column's with its direction: ▲ rising, ▼ falling.
inline void ShowColumnTitles(HWND list, const wchar_t* const* titles, std::size_t count, int sorted_column,
                             bool descending) {
  for (std::size_t c = 0; c < count; ++c) {
    std::wstring title = titles[c];
    if (sorted_column == static_cast<int>(c)) {
      title += descending ? texts::kReportSortedDescending : texts::kReportSortedAscending;
    }
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = title.data();
    ListView_SetColumn(list, static_cast<int>(c), &column);
  }
}

}  // namespace pel::ui
