// pelmora2liq-cli.exe: the Win32 file system; WriteConsoleW on a console, UTF-8 through
// a pipe or a file; Ctrl+C stops a batch between folders. No message box or system
// dialog ever appears. Started by a double-click, it shows its help and waits for a key.
#include <windows.h>

#include <atomic>

#include "cli/cli.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_system.h"
#include "util/cp932.h"
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
  bool Write(pel::cli::Stream stream, std::wstring_view text) override {
    HANDLE handle = Handle(stream);
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
      DWORD written = 0;
      return WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != 0;
    }
    const std::string bytes = pel::Utf8(text);
    DWORD written = 0;
    return WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0;
  }
  bool IsTerminal(pel::cli::Stream stream) const override {
    DWORD mode = 0;
    return GetConsoleMode(Handle(stream), &mode) != 0;
  }

 private:
  static HANDLE Handle(pel::cli::Stream stream) {
    return GetStdHandle(stream == pel::cli::Stream::kOut ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  }
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
  pel::cli::CliPorts ports{fs, console, g_stop};
  return pel::cli::RunCli(args, ports);
}
