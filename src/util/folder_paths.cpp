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

std::wstring JoinPath(const std::wstring& folder, std::wstring_view name) {
  std::wstring path = WithBackslash(folder);
  path += name;
  return path;
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

}  // namespace pel
