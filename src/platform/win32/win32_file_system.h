// The file-system port on Win32.
#pragma once

#include "platform/file_system.h"

namespace pel::win32 {

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
};

}  // namespace pel::win32
