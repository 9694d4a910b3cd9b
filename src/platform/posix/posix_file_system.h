// The file-system port on the C++ standard library and POSIX, for the command line on
// Linux. "/" alone separates the pieces of a path; a backslash is an ordinary character
// of a name. Names are UTF-8 on disk; a byte that is not UTF-8 travels as U+DC80+byte, so
// that such a name can be reported and still be opened.
#pragma once

#include <dirent.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <string>

#include "platform/file_system.h"

namespace pel::posix {

// The system calls the adapter makes, through a table that a test may replace to make
// one of them fail as the system would.
struct SystemCalls {
  int (*open)(const char* path, int flags, mode_t mode);
  ssize_t (*read)(int fd, void* buffer, std::size_t size);
  ssize_t (*write)(int fd, const void* buffer, std::size_t size);
  int (*fsync)(int fd);
  int (*close)(int fd);
  int (*rename)(const char* from, const char* to);
  int (*unlink)(const char* path);
  int (*mkdir)(const char* path, mode_t mode);
  DIR* (*opendir)(const char* path);
  dirent* (*readdir)(DIR* dir);
  int (*stat)(const char* path, struct stat* info);
  int (*lstat)(const char* path, struct stat* info);
  int (*fstat)(int fd, struct stat* info);
  int (*fstatat)(int folder_fd, const char* name, struct stat* info, int flags);  // a listed entry
};
// The table in use: the system's own calls unless a test has put others in.
SystemCalls& Calls();

// The path as the system takes it: UTF-8, escaped bytes restored.
std::string SystemPath(const std::wstring& path);
// A name from the system as text: UTF-8 decoded, other bytes as U+DC80+byte.
std::wstring TextName(const std::string& name);

// The temporary file AtomicReplace is writing now, or nothing; safe in a signal handler.
const char* TemporaryFileBeingWritten();

class PosixFileSystem : public FileSystem {
 public:
  wchar_t Separator() const override { return L'/'; }
  // Entries are found whatever the letter case of their last piece, as on Windows (the
  // conversion itself refuses two source files whose names differ only in case). Names
  // starting with "." count as hidden.
  bool IsOrdinaryFile(const std::wstring& path) const override;
  Expected<std::string, FsError> ReadWholeFile(const std::wstring& path) const override;
  bool EntryExists(const std::wstring& path) const override;
  Expected<void, FsError> CreateFolder(const std::wstring& path) override;
  std::optional<std::int64_t> FileSize(const std::wstring& path) const override;
  Expected<std::vector<FolderEntry>, FsError> ListFolder(const std::wstring& folder) const override;
  // A flushed temporary file in the same folder, renamed over the target. A file without
  // any write permission is refused here, since root could rename over it.
  Expected<void, FsError> AtomicReplace(const std::wstring& path, std::string_view bytes) override;
  Expected<void, FsError> ProbeWritableFolder(const std::wstring& folder) override;
};

}  // namespace pel::posix
