#include "ui/folder_lists.h"

#include <algorithm>
#include <cwctype>

#include "util/folder_paths.h"

namespace pel::ui {
namespace {

bool LessIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
    return std::towupper(static_cast<wint_t>(x)) < std::towupper(static_cast<wint_t>(y));
  });
}

// The names of the entries of `path` that are (or are not) folders, hidden ones left out.
Expected<std::vector<std::wstring>, FsError> Names(const FileSystem& fs, const std::wstring& path, bool folders) {
  auto entries = fs.ListFolder(WithBackslash(path));
  if (!entries) return Fail(std::move(entries.error()));
  std::vector<std::wstring> names;
  for (auto& entry : *entries) {
    if (entry.is_folder != folders || entry.is_hidden || entry.name == L"." || entry.name == L"..") continue;
    names.push_back(std::move(entry.name));
  }
  std::sort(names.begin(), names.end(), LessIgnoringCase);
  return names;
}

}  // namespace

Expected<std::vector<FolderItem>, FsError> FolderListItems(const FileSystem& fs, const std::wstring& path) {
  auto subfolders = Names(fs, path, true);
  if (!subfolders) return Fail(std::move(subfolders.error()));

  std::vector<std::wstring> levels;  // from the folder up to the root
  for (std::wstring level = path;; level = FolderAbove(level)) {
    levels.push_back(level);
    if (IsDriveRoot(level)) break;
  }
  std::vector<FolderItem> items;
  int indent = 0;
  for (auto it = levels.rbegin(); it != levels.rend(); ++it, ++indent) {
    const std::wstring& level = *it;
    std::wstring label = IsDriveRoot(level) ? WithBackslash(level) : level.substr(level.find_last_of(L'\\') + 1);
    if (IsDriveRoot(level) && !label.empty()) label[0] = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(label[0])));
    items.push_back({label, level, indent, true});
  }
  for (auto& name : *subfolders) items.push_back({name, JoinPath(path, name), indent, false});
  return items;
}

Expected<std::vector<std::wstring>, FsError> FileListItems(const FileSystem& fs, const std::wstring& path) {
  return Names(fs, path, false);
}

}  // namespace pel::ui
