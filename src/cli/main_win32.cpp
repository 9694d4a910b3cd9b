// pelmora2liq-cli.exe: the Win32 file system; WriteConsoleW on a console; through a pipe
// or into a file the console's output code page, or the ANSI code page when there is no
// console, UTF-8 with --utf8; Ctrl+C stops a batch between folders, a second one ends the
// program at once. No message box or system dialog ever appears. Started by a
// double-click, it shows its help and waits for a key.
#include <windows.h>

#include <atomic>
#include <ctime>
#include <string>

#include "cli/cli.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_system.h"
#include "util/user_texts.h"

namespace {

std::atomic<bool> g_stop{false};

// The first Ctrl+C stops a batch between folders; a second ends the program at once, the
// temporary file it was writing removed.
BOOL WINAPI OnControl(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  if (g_stop.exchange(true)) {
    pel::win32::RemoveTemporaryFileAtExit();
    ExitProcess(pel::cli::kExitFailed);
  }
  return TRUE;
}

class Win32Console : public pel::cli::Console {
 public:
  // Text for a pipe or a file is in the code page that cmd's "type" and "more" and
  // PowerShell 5.1 read it in: the console's (chcp) if we have one, else the system's.
  Win32Console() : code_page_(GetConsoleOutputCP() ? GetConsoleOutputCP() : GetACP()) {}

  // False where the handle is closed or missing (a pipe whose reader has gone).
  bool Write(pel::cli::Stream stream, std::wstring_view text) override {
    HANDLE handle = Handle(stream);
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
      for (std::size_t done = 0; done < text.size();) {
        DWORD written = 0;
        if (!WriteConsoleW(handle, text.data() + done, static_cast<DWORD>(text.size() - done), &written, nullptr) ||
            written == 0) {
          return false;
        }
        done += written;
      }
      return true;
    }
    const std::string bytes = pel::win32::TextInCodePage(text, code_page_);
    for (std::size_t done = 0; done < bytes.size();) {
      DWORD written = 0;
      if (!WriteFile(handle, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written, nullptr) ||
          written == 0) {
        return false;
      }
      done += written;
    }
    return true;
  }
  bool IsTerminal(pel::cli::Stream stream) const override {
    DWORD mode = 0;
    return GetConsoleMode(Handle(stream), &mode) != 0;
  }
  void UseUtf8() override { code_page_ = CP_UTF8; }

 private:
  static HANDLE Handle(pel::cli::Stream stream) {
    return GetStdHandle(stream == pel::cli::Stream::kOut ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  }

  UINT code_page_;
};

// True when this process is alone on its console: Explorer made it for the double-click.
bool HasOwnConsole() {
  DWORD processes[2];
  return GetConsoleProcessList(processes, 2) == 1;
}

void WaitForKey() {
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  FlushConsoleInputBuffer(input);
  for (;;) {
    INPUT_RECORD record;
    DWORD read = 0;
    if (!ReadConsoleInputW(input, &record, 1, &read) || read == 0) return;
    if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown) return;
  }
}

std::wstring CurrentFolder() {
  std::wstring folder(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
    if (n == 0) return {};
    if (n < folder.size()) return folder.substr(0, n);
    folder.resize(n);
  }
}

// Now, and the local time's offset from UTC (daylight saving time included).
pel::ReportTime LocalTime() {
  const __time64_t now = _time64(nullptr);
  struct tm local {};
  _localtime64_s(&local, &now);
  return {static_cast<std::int64_t>(now), static_cast<int>((_mkgmtime64(&local) - now) / 60)};
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  pel::win32::UseQuietErrorModeAndSafeDllSearch();
  Win32Console console;
  if (argc <= 1 && HasOwnConsole()) {
    console.Write(pel::cli::Stream::kOut, pel::cli::HelpText() + L"\n" + pel::texts::kCliPressAKey);
    WaitForKey();
    return pel::cli::kExitUsage;
  }
  SetConsoleCtrlHandler(OnControl, TRUE);
  std::vector<std::wstring> args(argv + 1, argv + argc);
  pel::win32::Win32FileSystem fs;
  pel::cli::CliPorts ports{fs, console, g_stop, CurrentFolder(), LocalTime};
  return pel::cli::RunCli(args, ports);
}
