// Finding and answering message boxes (#32770 dialogs) of a process, for the Windows
// tests and the end-to-end driver. Every wait is on a condition, with a time limit.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>
#include <thread>

namespace pel::testing {

// Polls `condition` until it holds or `timeout` passes; true when it held.
template <class Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// A window's text; asked of the window itself, so that it works for another process's
// edit controls too.
inline std::wstring WindowText(HWND window) {
  wchar_t text[1024] = {};
  DWORD_PTR length = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &length);
  return text;
}

// A visible message box of process `pid` (any, when 0).
inline HWND FindMessageBox(DWORD pid = 0) {
  struct Search {
    DWORD pid;
    HWND found;
  } search{pid, nullptr};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        wchar_t cls[16] = {};
        GetClassNameW(window, cls, 16);
        DWORD owner_pid = 0;
        GetWindowThreadProcessId(window, &owner_pid);
        if (std::wstring(cls) == L"#32770" && IsWindowVisible(window) && (s->pid == 0 || s->pid == owner_pid)) {
          s->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

inline HWND WaitForMessageBox(DWORD pid = 0) {
  HWND box = nullptr;
  WaitFor([&] { return (box = FindMessageBox(pid)) != nullptr; });
  return box;
}

// The message of a box: the text of its Static child that has one.
inline std::wstring MessageBoxText(HWND box) {
  std::wstring text;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t cls[16] = {};
    GetClassNameW(child, cls, 16);
    if (std::wstring(cls) == L"Static" && GetWindowTextLengthW(child) > 0) text = WindowText(child);
  }
  return text;
}

// Presses the box's button `id` (IDOK, IDYES, IDNO) and waits until the box is gone.
inline bool AnswerMessageBox(HWND box, int id) {
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
  return WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); });
}

}  // namespace pel::testing
