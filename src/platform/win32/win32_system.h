// Process-wide Win32 set-up, the system's error texts and text in its code pages.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace pel::win32 {

// No system dialog for a drive without a medium or a missing file; DLLs loaded at run
// time only from the system folder (System32), never from the current folder or PATH.
void UseQuietErrorModeAndSafeDllSearch();

// The system's text for an error code, without its line end.
std::wstring SystemErrorText(DWORD code);

// Text as bytes of a code page, for a pipe or a file: what the code page cannot show
// becomes "?", never a look-alike (no backslash for the yen sign U+00A5 in code page 932).
// CP_UTF8, and a code page that takes no default character (ISO-2022, GB18030, ...), give
// UTF-8.
std::string TextInCodePage(std::wstring_view text, UINT code_page);

}  // namespace pel::win32
