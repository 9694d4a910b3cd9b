#include "util/folder_paths.h"

namespace pel {

std::wstring WithBackslash(std::wstring folder) {
  if (folder.empty() || folder.back() != L'\\') folder += L'\\';
  return folder;
}

std::wstring WithoutBackslash(std::wstring folder) {
  if (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
  return folder;
}

std::wstring JoinPath(const std::wstring& folder, std::wstring_view name, wchar_t separator) {
  std::wstring path = folder;
  if (path.empty() || path.back() != separator) path += separator;
  path += name;
  return path;
}

std::vector<std::wstring> FolderLevels(const std::wstring& folder, wchar_t separator) {
  const std::wstring_view separators = SeparatorsFor(separator);
  std::vector<std::wstring> levels;
  // A network path's \\server\share is where the levels start.
  std::size_t from = 0;
  if (separator == L'\\' && folder.rfind(L"\\\\", 0) == 0) {
    from = folder.find_first_of(separators, folder.find_first_of(separators, 2) + 1);
    if (from == std::wstring::npos) return levels;
  }
  for (std::size_t cut = folder.find_first_of(separators, from + 1);; cut = folder.find_first_of(separators, cut + 1)) {
    std::wstring level = folder.substr(0, cut);
    const bool is_drive = level.size() == 2 && level[1] == L':';
    if (!level.empty() && !is_drive) levels.push_back(std::move(level));
    if (cut == std::wstring::npos) break;
  }
  return levels;
}

bool SameNameIgnoringCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

std::wstring PathParent(const std::wstring& path) {
  const std::size_t cut = path.find_last_of(L":\\");
  return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

std::wstring FolderAbove(const std::wstring& folder) {
  if (IsDriveRoot(folder)) return folder;
  const std::size_t cut = folder.find_last_of(L'\\');
  if (cut == std::wstring::npos) return folder;
  return cut <= 2 ? folder.substr(0, 3) : folder.substr(0, cut);
}

std::wstring AbsolutePath(const std::wstring& base, const std::wstring& path, wchar_t separator) {
  if (base.empty() || path.empty()) return path;
  const std::wstring_view separators = SeparatorsFor(separator);
  const bool rooted = separators.find(path[0]) != std::wstring_view::npos;
  if (separator != L'\\') return rooted ? path : JoinPath(base, path, separator);
  if (path.size() >= 2 && path[1] == L':') {
    if (path.size() >= 3 && separators.find(path[2]) != std::wstring_view::npos) return path;
    // C:name: relative to that drive's current folder, which is known only for the base's drive.
    if (base.size() >= 2 && SameNameIgnoringCase(base.substr(0, 2), path.substr(0, 2))) return JoinPath(base, path.substr(2), separator);
    return path.substr(0, 2) + L"\\" + path.substr(2);
  }
  if (rooted) return path.size() >= 2 && separators.find(path[1]) != std::wstring_view::npos ? path : base.substr(0, 2) + path;
  return JoinPath(base, path, separator);
}

}  // namespace pel
