// The help file "Vadelqix.HLP": looked up in the program folder, then in the folders
// of "PATH", and shown through the platform's help viewer.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file_system.h"
#include "platform/process.h"

namespace pel {

inline constexpr wchar_t kHelpFileName[] = L"Vadelqix.HLP";

// Looks for an ordinary (not hidden, not system) copy of the help file in the program
// folder, then in each "PATH" entry from left to right, taken exactly as it stands (an
// empty entry is the root of the current drive). On a find sets `help_file_path` to the
// folder, "\" and the name, and returns true; otherwise leaves it alone.
bool FindHelpFile(const FileSystem& fs, const ProcessEnvironment& process, std::wstring& help_file_path);

// Topic 4: the viewer's help on itself (no file, command 4, data 0); any other topic:
// that topic of `help_file_path` (command 1, data = topic).
void ShowHelp(HelpViewer& viewer, const std::wstring& help_file_path, std::int16_t topic);

}  // namespace pel
