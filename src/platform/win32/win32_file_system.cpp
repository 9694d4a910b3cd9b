#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <iterator>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_system.h"

namespace pel::win32 {

SystemCalls& Calls() {
  static SystemCalls calls{::CreateFileW,      ::ReadFile,         ::WriteFile,     ::FlushFileBuffers,
                           ::MoveFileExW,      ::DeleteFileW,      ::CreateDirectoryW, ::FindFirstFileExW,
                           ::FindNextFileW,    ::GetFileAttributesW, ::GetFileAttributesExW, ::GetFileSizeEx};
  return calls;
}

namespace {

// The temporary file being written, for a console's Ctrl+C handler on its own thread: a
// fixed buffer behind an atomic flag.
wchar_t g_temporary[32768];
std::atomic<bool> g_temporary_set{false};

struct TemporaryFileMark {
  explicit TemporaryFileMark(const std::wstring& path) {
    if (path.size() >= std::size(g_temporary)) return;
    std::copy(path.c_str(), path.c_str() + path.size() + 1, g_temporary);
    g_temporary_set.store(true);
  }
  ~TemporaryFileMark() { g_temporary_set.store(false); }
  TemporaryFileMark(const TemporaryFileMark&) = delete;
  TemporaryFileMark& operator=(const TemporaryFileMark&) = delete;
};

FsErrorKind KindOf(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_NOT_READY:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME: return FsErrorKind::kMissing;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return FsErrorKind::kAccessDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE: return FsErrorKind::kInUse;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case 1295:  // ERROR_DISK_QUOTA_EXCEEDED, which mingw-w64 does not name
      return FsErrorKind::kDiskFull;
    default: return FsErrorKind::kOther;
  }
}

Unexpected<FsError> ErrorOf(DWORD code, FsOperation operation) {
  return Fail(FsError{KindOf(code), operation, SystemErrorText(code)});
}
Unexpected<FsError> LastError(FsOperation operation) { return ErrorOf(GetLastError(), operation); }

// The absolute form of `path`; "C:out.txt" resolves against drive C's current folder.
std::wstring FullPath(const std::wstring& path) {
  const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::wstring full(needed, L'\0');
  const DWORD written = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
  full.resize(written < needed ? written : 0);
  return full.empty() ? path : full;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!Calls().write_file(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

bool Win32FileSystem::IsOrdinaryFile(const std::wstring& path) const {
  const DWORD attributes = Calls().get_file_attributes(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

Expected<std::string, FsError> Win32FileSystem::ReadWholeFile(const std::wstring& path) const {
  UniqueHandle file(Calls().create_file(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return LastError(FsOperation::kRead);
  // A device under a file's name (CON, a pipe) is never read.
  if (GetFileType(file.get()) != FILE_TYPE_DISK) return Fail(FsError{FsErrorKind::kNotARegularFile, FsOperation::kRead, {}});
  LARGE_INTEGER size{};
  if (!Calls().get_file_size(file.get(), &size)) return LastError(FsOperation::kRead);
  if (size.QuadPart > static_cast<LONGLONG>(kMaxReadFileBytes)) {
    return Fail(FsError{FsErrorKind::kTooLarge, FsOperation::kRead, {}});
  }
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD read = 0;
    if (!Calls().read_file(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &read, nullptr)) {
      return LastError(FsOperation::kRead);
    }
    if (read == 0) break;  // the file shrank while it was read
    done += read;
  }
  bytes.resize(done);
  return bytes;
}

bool Win32FileSystem::EntryExists(const std::wstring& path) const {
  return Calls().get_file_attributes(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

Expected<void, FsError> Win32FileSystem::CreateFolder(const std::wstring& path) {
  if (!Calls().create_directory(path.c_str(), nullptr)) return LastError(FsOperation::kCreateFolder);
  return {};
}

std::optional<std::int64_t> Win32FileSystem::FileSize(const std::wstring& path) const {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!Calls().get_file_attributes_ex(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

Expected<std::vector<FolderEntry>, FsError> Win32FileSystem::ListFolder(const std::wstring& folder) const {
  std::wstring pattern = folder;
  if (pattern.empty() || (pattern.back() != L'\\' && pattern.back() != L':')) pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW data;
  const UniqueFind find(Calls().find_first_file(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                         FIND_FIRST_EX_LARGE_FETCH));
  if (!find) return LastError(FsOperation::kList);
  std::vector<FolderEntry> entries;
  do {
    FolderEntry entry;
    entry.name = data.cFileName;
    entry.is_folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.is_reparse_point = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    entry.is_hidden = (data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
    entry.size = static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    entries.push_back(std::move(entry));
  } while (Calls().find_next_file(find.get(), &data));
  if (const DWORD error = GetLastError(); error != ERROR_NO_MORE_FILES) return ErrorOf(error, FsOperation::kList);
  return entries;
}

// The file is open with FILE_SHARE_DELETE: deleted while open, the system removes it
// once its last handle closes, at the latest when the process ends.
bool RemoveTemporaryFileAtExit() { return g_temporary_set.load() && DeleteFileW(g_temporary); }

Expected<void, FsError> Win32FileSystem::ProbeWritableFolder(const std::wstring& folder) {
  std::wstring path = FullPath(folder);
  if (!path.empty() && path.back() != L'\\') path += L'\\';
  wchar_t name[64];
  wsprintfW(name, L"~pel%08lx.tmp", GetCurrentProcessId() ^ GetTickCount());
  // Removed by the system when it is closed.
  const UniqueHandle file(Calls().create_file((path + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  if (!file) return LastError(FsOperation::kWrite);
  return {};
}

Expected<void, FsError> Win32FileSystem::AtomicReplace(const std::wstring& path, std::string_view bytes) {
  const std::wstring target = FullPath(path);
  // A read-only file or a folder of that name is never replaced.
  const DWORD attributes = Calls().get_file_attributes(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) {
      return ErrorOf(ERROR_ACCESS_DENIED, FsOperation::kWrite);
    }
  }
  const std::size_t slash = target.find_last_of(L'\\');
  const std::wstring folder = slash == std::wstring::npos ? std::wstring() : target.substr(0, slash + 1);

  // A fresh temporary name in the same folder, so that the rename stays on one volume.
  std::wstring temp;
  UniqueHandle file;
  for (unsigned attempt = 0; attempt < 100 && !file; ++attempt) {
    wchar_t name[64];
    wsprintfW(name, L"~pel%08lx%02x.tmp", GetCurrentProcessId() ^ GetTickCount(), attempt);
    temp = folder + name;
    // Shared for deletion only, so that a second Ctrl+C can have it removed while it is open.
    file.reset(Calls().create_file(temp.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file && GetLastError() != ERROR_FILE_EXISTS) return LastError(FsOperation::kWrite);
  }
  if (!file) return LastError(FsOperation::kWrite);
  const TemporaryFileMark mark(temp);

  DWORD error = ERROR_SUCCESS;
  if (!WriteAll(file.get(), bytes) || !Calls().flush_file_buffers(file.get())) error = GetLastError();
  file.reset();
  if (error == ERROR_SUCCESS &&
      !Calls().move_file(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = GetLastError();
  }
  if (error != ERROR_SUCCESS) {
    // A temporary file is never left behind; a second try where the first is refused.
    if (!Calls().delete_file(temp.c_str())) Calls().delete_file(temp.c_str());
    return ErrorOf(error, FsOperation::kWrite);
  }
  return {};
}

}  // namespace pel::win32
