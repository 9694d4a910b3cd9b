// Process-wide Win32 set-up and the system's error texts.
#pragma once

#include <windows.h>

#include <string>

namespace pel::win32 {

// No system dialog for a drive without a medium or a missing file; DLLs loaded at run
// time only from the system folder (System32), never from the current folder or PATH.
void UseQuietErrorModeAndSafeDllSearch();

// The system's text for an error code, without its line end.
std::wstring SystemErrorText(DWORD code);

}  // namespace pel::win32
