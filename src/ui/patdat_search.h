// The search for PATDAT over the drives at start-up, when it is not beside the program.
// The walk runs on a worker thread while this thread keeps its windows alive; once it has
// run for half a second, a small window shows the folder it has reached and a button that
// stops it.
#pragma once

#include <string>

#include "platform/process.h"
#include "platform/qpro/qpro.h"

namespace pel::ui {

inline constexpr wchar_t kPatdatSearchClass[] = L"PelmoraPatdatSearch";

// Child ids of the search window.
enum PatdatSearchControlId : int { kSearchText = 300, kSearchFolder, kSearchStop };

// SearchDrivesForPatdat, with the window: the first PATDAT on the drives, or empty text
// when there is none or the user stopped the search. Only the walk touches `library` and
// `process` until it returns.
std::wstring SearchDrivesShowingProgress(qpro::Library& library, ProcessEnvironment& process);

}  // namespace pel::ui
