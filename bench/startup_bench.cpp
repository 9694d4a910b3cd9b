// Start-up time: from process start to the converter's window shown with its lists
// filled and waiting for input (PATDAT beside the program), against a bare Win32 window
// started the same way in the same run.
// Windows program; on Linux run it under Wine from the build folder:
//   cmake/wine-run.sh build/win64/wineprefix build/win64/bench/pel_startup_bench.exe
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/win32_handles.h"

namespace {

constexpr wchar_t kBareClass[] = L"PelBareWindow";

double Seconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int BareWindow(HINSTANCE instance) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(w, m, wp, lp);
  };
  window_class.hInstance = instance;
  window_class.lpszClassName = kBareClass;
  RegisterClassW(&window_class);
  HWND window = CreateWindowW(kBareClass, L"bare", WS_OVERLAPPEDWINDOW, 100, 100, 606, 433, nullptr, nullptr,
                              instance, nullptr);
  ShowWindow(window, SW_SHOW);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}

struct Search {
  DWORD pid;
  const wchar_t* cls;
  HWND found;
};

// Seconds from CreateProcess to a visible window of class `cls` whose process waits for
// input.
double TimeToWindow(const std::wstring& program, const std::wstring& arguments, const wchar_t* cls) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring command = L"\"" + program + L"\" " + arguments;
  const double start = Seconds();
  if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return -1;
  }
  const pel::win32::UniqueHandle thread(process.hThread), owned(process.hProcess);
  Search search{process.dwProcessId, cls, nullptr};
  double elapsed = -1;
  while (Seconds() - start < 60) {
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
          auto* s = reinterpret_cast<Search*>(p);
          DWORD pid = 0;
          GetWindowThreadProcessId(w, &pid);
          wchar_t name[64] = {};
          GetClassNameW(w, name, 64);
          if (pid == s->pid && IsWindowVisible(w) && lstrcmpW(name, s->cls) == 0) {
            s->found = w;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.found) {
      WaitForInputIdle(process.hProcess, 60000);
      elapsed = Seconds() - start;
      break;
    }
    Sleep(1);
  }
  if (search.found) PostMessageW(search.found, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 10000) == WAIT_TIMEOUT) TerminateProcess(process.hProcess, 1);
  return elapsed;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc > 1 && std::wstring(argv[1]) == L"--bare") return BareWindow(GetModuleHandleW(nullptr));
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring folder = self;
  folder = folder.substr(0, folder.find_last_of(L'\\'));
  const std::wstring program = folder.substr(0, folder.find_last_of(L'\\')) + L"\\pelmora2liq.exe";

  std::vector<double> converter, bare;
  for (int round = 0; round < 7; ++round) {
    converter.push_back(TimeToWindow(program, L"", L"PelmoraForm1"));
    bare.push_back(TimeToWindow(self, L"--bare", kBareClass));
  }
  const double c = Median(converter), b = Median(bare);
  std::printf("converter window shown and waiting for input: median of 7: %.1f ms\n", c * 1000);
  std::printf("bare Win32 window shown and waiting for input: median of 7: %.1f ms\n", b * 1000);
  std::printf("converter / bare: %.2f\n", c / b);
  return 0;
}
