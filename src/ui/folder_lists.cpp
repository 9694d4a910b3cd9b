#include "ui/folder_lists.h"

#include <algorithm>
#include <cwctype>

namespace pel::ui {
namespace {

bool IsRoot(const std::wstring& folder) { return folder.size() <= 3; }

std::wstring WithBackslash(const std::wstring& folder) {
  return !folder.empty() && folder.back() == L'\\' ? folder : folder + L'\\';
}

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

std::wstring ParentFolder(const std::wstring& folder) {
  if (IsRoot(folder)) return folder;
  const std::size_t cut = folder.find_last_of(L'\\');
  if (cut == std::wstring::npos) return folder;
  return cut <= 2 ? folder.substr(0, 3) : folder.substr(0, cut);
}

std::wstring JoinFolder(const std::wstring& folder, const std::wstring& name) { return WithBackslash(folder) + name; }

Expected<std::vector<FolderItem>, FsError> FolderListItems(const FileSystem& fs, const std::wstring& path) {
  auto subfolders = Names(fs, path, true);
  if (!subfolders) return Fail(std::move(subfolders.error()));

  std::vector<std::wstring> levels;  // from the folder up to the root
  for (std::wstring level = path;; level = ParentFolder(level)) {
    levels.push_back(level);
    if (IsRoot(level)) break;
  }
  std::vector<FolderItem> items;
  int indent = 0;
  for (auto it = levels.rbegin(); it != levels.rend(); ++it, ++indent) {
    const std::wstring& level = *it;
    std::wstring label = IsRoot(level) ? WithBackslash(level) : level.substr(level.find_last_of(L'\\') + 1);
    if (IsRoot(level) && !label.empty()) label[0] = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(label[0])));
    items.push_back({label, level, indent, true});
  }
  for (auto& name : *subfolders) items.push_back({name, JoinFolder(path, name), indent, false});
  return items;
}

Expected<std::vector<std::wstring>, FsError> FileListItems(const FileSystem& fs, const std::wstring& path) {
  return Names(fs, path, false);
}

}  // namespace pel::ui
