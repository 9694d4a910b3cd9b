// What the folder list and the file list show, apart from the window: the levels of a
// path and its subfolders; the files of a folder. Portable, so that it is tested natively.
#pragma once

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "util/expected.h"

namespace pel::ui {

struct FolderItem {
  std::wstring label;  // "C:\" for the root, else the folder's name
  std::wstring path;   // the folder this item opens: C:\ or C:\work\sub
  int indent = 0;      // levels below the root
  bool open = false;   // a level of the current path (shown as an open folder)
};

// The levels of `path` (a drive-qualified folder without trailing "\" unless a root),
// from the root down, then its subfolders (not hidden, sorted without regard to case).
// Fails when the folder cannot be listed.
Expected<std::vector<FolderItem>, FsError> FolderListItems(const FileSystem& fs, const std::wstring& path);

// The files of a folder that are neither hidden nor system, sorted without regard to case.
Expected<std::vector<std::wstring>, FsError> FileListItems(const FileSystem& fs, const std::wstring& path);

}  // namespace pel::ui
