// Scratch folders for the Windows tests.
#pragma once

#include <windows.h>

#include <string>

namespace pel::testing {

// Deletes a folder and everything in it; links are removed, never followed.
inline void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      const bool is_folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      const bool is_link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
      if (is_folder && !is_link) {
        RemoveTree(path);
      } else if (is_folder) {
        RemoveDirectoryW(path.c_str());
      } else {
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

// A fresh, empty folder T:\<purpose>-<process>-<n> on the test drive.
inline std::wstring FreshTestFolder(const wchar_t* purpose) {
  static int serial = 0;
  wchar_t name[96];
  wsprintfW(name, L"T:\\%s-%lu-%d", purpose, GetCurrentProcessId(), ++serial);
  RemoveTree(name);
  CreateDirectoryW(name, nullptr);
  return name;
}

}  // namespace pel::testing
