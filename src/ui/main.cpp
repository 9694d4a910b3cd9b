// pelmora2liq.exe: wires the ports to the Win32 adapters and runs the window.
#include <windows.h>

#include <string>

#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_ports.h"
#include "platform/win32/win32_system.h"
#include "ui/form1.h"
#include "util/user_texts.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  pel::win32::UseQuietErrorModeAndSafeDllSearch();
  pel::win32::Win32FileSystem fs;
  pel::win32::Win32Drives drives;
  pel::win32::Win32TextCodec codec;
  pel::win32::Win32Process process;
  pel::win32::Win32MessageBoxes boxes;
  pel::win32::Win32HelpViewer help;
  pel::ui::ProgramState state;
  pel::ui::Form1 form({fs, drives, codec, process, boxes, help}, state);
  if (auto created = form.Create(instance); !created) {
    // The one report of a window that could not be made: the system's reason, then out.
    boxes.Show(pel::texts::FillText(pel::texts::kCannotStart, {created.error()}), pel::texts::kApplicationTitle,
               pel::MessageButtons::kOk, pel::MessageIcon::kExclamation);
    return 1;
  }
  boxes.set_owner(form.hwnd());
  help.set_owner(form.hwnd());
  if (!form.Form_Load()) return 0;  // no PATDAT folder: the window is never shown
  ShowWindow(form.hwnd(), show);
  UpdateWindow(form.hwnd());
  // A folder (or a file, for its folder) given on the command line or dropped on the
  // program's icon becomes the source folder, as if chosen in Drive2 and Dir2.
  // The C runtime's words of the command line: the shell is not loaded for them.
  if (__argc > 1 && __wargv) {
    std::wstring folder = __wargv[1];
    // "D:" quoted on a command line arrives as D:" (the backslash escapes the quote).
    if (!folder.empty() && folder.back() == L'"') folder.back() = L'\\';
    form.ChooseFolder(pel::ui::Side::kSource, folder);
  }

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (form.PreTranslate(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
