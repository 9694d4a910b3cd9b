// Finding the reference-data folder PATDAT (a folder named PATDAT holding a non-empty
// kishitu.txt): beside the program, then anywhere on the program's drive, then on each
// drive from A to Z.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "util/folder_paths.h"
#include "platform/process.h"
#include "platform/qpro/qpro.h"

namespace pel {

inline constexpr wchar_t kPatdatMarker[] = L"\\kishitu.txt";

// Walks the tree beside `candidate` (a path whose last component is PATDAT, such as
// D:\PATDAT): every folder F below the candidate's parent, the parent included, is
// visited once in depth-first pre-order, and F\PATDAT is examined; a candidate that
// holds files and a non-empty marker is appended to `hits` as "F\PATDAT\". The walk
// stops at the first hit, never follows a reparse point and does not recurse, so no
// depth overflows the stack. Pending window events run once per folder.
void SearchPatdatTree(qpro::Library& library, ProcessEnvironment& process, const std::wstring& candidate,
                      std::int16_t& hit_count, std::vector<std::wstring>& hits, const std::wstring& marker);

// The PATDAT folder path ending in "\", or empty text when no drive holds one.
std::wstring FindPatdatFolder(qpro::Library& library, ProcessEnvironment& process);

}  // namespace pel
