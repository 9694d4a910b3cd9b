// The file-system port on Win32.
#pragma once

#include <windows.h>

#include "platform/file_system.h"

namespace pel::win32 {

// The system calls the adapter makes, through a table that a test may replace to make
// one of them fail as the system would.
struct SystemCalls {
  decltype(&::CreateFileW) create_file;
  decltype(&::ReadFile) read_file;
  decltype(&::WriteFile) write_file;
  decltype(&::FlushFileBuffers) flush_file_buffers;
  decltype(&::MoveFileExW) move_file;
  decltype(&::DeleteFileW) delete_file;
  decltype(&::CreateDirectoryW) create_directory;
  decltype(&::FindFirstFileExW) find_first_file;
  decltype(&::FindNextFileW) find_next_file;
  decltype(&::GetFileAttributesW) get_file_attributes;
  decltype(&::GetFileAttributesExW) get_file_attributes_ex;
  decltype(&::GetFileSizeEx) get_file_size;
};
// The table in use: the system's own calls unless a test has put others in.
SystemCalls& Calls();

// Marks the temporary file AtomicReplace is writing now for removal when the process
// ends, for a second Ctrl+C that ends the program at once; false where there is none.
bool RemoveTemporaryFileAtExit();

class Win32FileSystem : public FileSystem {
 public:
  wchar_t Separator() const override { return L'\\'; }
  bool IsOrdinaryFile(const std::wstring& path) const override;
  Expected<std::string, FsError> ReadWholeFile(const std::wstring& path) const override;
  bool EntryExists(const std::wstring& path) const override;
  Expected<void, FsError> CreateFolder(const std::wstring& path) override;
  std::optional<std::int64_t> FileSize(const std::wstring& path) const override;
  // One FindFirstFileExW enumeration (basic information, large fetch).
  Expected<std::vector<FolderEntry>, FsError> ListFolder(const std::wstring& folder) const override;
  // Writes a temporary file in the destination's folder, flushes it, then renames it
  // over the destination (MoveFileExW, write-through).
  Expected<void, FsError> AtomicReplace(const std::wstring& path, std::string_view bytes) override;
  Expected<void, FsError> ProbeWritableFolder(const std::wstring& folder) override;
};

}  // namespace pel::win32
