// The file and wait helpers of the Windows tests, in one place: scratch folders on the
// test drive, files written and read whole, directory links, copies of sample folders.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/win32_handles.h"

namespace pel::testing {

inline bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Creates or replaces `path` with exactly `bytes`.
inline bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  const win32::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

// The whole file, or "<missing>".
inline std::string ReadBytes(const std::wstring& path) {
  const win32::UniqueHandle file(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return "<missing>";
  std::string bytes(static_cast<std::size_t>(GetFileSize(file.get(), nullptr)), '\0');
  DWORD read = 0;
  ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  bytes.resize(read);
  return bytes;
}

// Calls `visit(name, data)` for each entry of `folder` but "." and "..".
template <class Visit>
void ForEachEntry(const std::wstring& folder, Visit visit) {
  WIN32_FIND_DATAW data;
  const win32::UniqueFind find(FindFirstFileW((folder + L"\\*").c_str(), &data));
  if (!find) return;
  do {
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") visit(name, data);
  } while (FindNextFileW(find.get(), &data));
}

// How many entries of `folder` match `pattern` (such as our temporary files, "~pel*.tmp").
inline int CountMatches(const std::wstring& folder, const wchar_t* pattern) {
  WIN32_FIND_DATAW data;
  const win32::UniqueFind find(FindFirstFileW((folder + L"\\" + pattern).c_str(), &data));
  if (!find) return 0;
  int count = 0;
  do ++count;
  while (FindNextFileW(find.get(), &data));
  return count;
}

// Deletes a folder and everything in it; links are removed, never followed.
inline void RemoveTree(const std::wstring& folder) {
  ForEachEntry(folder, [&](const std::wstring& name, const WIN32_FIND_DATAW& data) {
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
  });
  RemoveDirectoryW(folder.c_str());
}

// Copies the folder `from` to `to` (made anew), files and subfolders.
inline void CopyTree(const std::wstring& from, const std::wstring& to) {
  RemoveTree(to);
  CreateDirectoryW(to.c_str(), nullptr);
  ForEachEntry(from, [&](const std::wstring& name, const WIN32_FIND_DATAW& data) {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      CopyTree(from + L"\\" + name, to + L"\\" + name);
    } else {
      CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE);
    }
  });
}

// A fresh, empty folder T:\<purpose>-<process>-<n> on the test drive. Process ids repeat
// under Wine, and an earlier run may have left a folder it could not remove: the name
// taken is one that is not there yet.
inline std::wstring FreshTestFolder(const wchar_t* purpose) {
  static int serial = 0;
  for (;;) {
    wchar_t name[96];
    wsprintfW(name, L"T:\\%s-%lu-%d", purpose, GetCurrentProcessId(), ++serial);
    RemoveTree(name);
    if (CreateDirectoryW(name, nullptr)) return name;
  }
}

// Waits until `path` exists (or no longer does); false after 20 seconds.
inline bool WaitForAttributes(const std::wstring& path, bool present) {
  for (int i = 0; i < 2000; ++i) {
    if (Exists(path) == present) return true;
    Sleep(10);
  }
  return false;
}

// Wine's name of a path on the Unix side; empty when not running under Wine.
inline std::string UnixName(const std::wstring& path) {
  using Convert = char* (*)(const wchar_t*);
  const auto convert = reinterpret_cast<Convert>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!convert) return {};
  char* name = convert(path.c_str());
  if (!name) return {};
  std::string result = name;
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

// Runs a Unix program from under Wine; its arguments are split as Windows splits a
// command line (double quotes). Wine does not wait for it through its handle, so callers
// wait for its effect.
inline bool RunUnix(const char* program, std::string command) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(program, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  const win32::UniqueHandle thread(process.hThread), owned(process.hProcess);
  return true;
}

// Makes `link` a directory link to `target`: under Wine a Unix symbolic link, which
// Wine reports as a reparse point; on Windows CreateSymbolicLinkW.
inline bool MakeDirectoryLink(const std::wstring& link, const std::wstring& target) {
  const std::size_t cut = link.find_last_of(L'\\');
  const std::string folder = UnixName(link.substr(0, cut));
  if (folder.empty()) return CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) != 0;
  const std::string name(link.begin() + static_cast<std::ptrdiff_t>(cut) + 1, link.end());
  return RunUnix("Z:\\bin\\ln", "/bin/ln -s \"" + UnixName(target) + "\" \"" + folder + "/" + name + "\"") &&
         WaitForAttributes(link, true);
}

inline void RemoveDirectoryLink(const std::wstring& link) {
  const std::string name = UnixName(link);
  if (name.empty()) {
    RemoveDirectoryW(link.c_str());
  } else if (RunUnix("Z:\\bin\\rm", "/bin/rm \"" + name + "\"")) {
    WaitForAttributes(link, false);
  }
}

}  // namespace pel::testing
