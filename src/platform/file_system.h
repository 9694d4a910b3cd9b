// The file-system port: everything the portable code asks of the disk goes through
// here. The program wires it to the Win32 adapter; tests wire it to an in-memory fake.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "util/expected.h"
#include "util/folder_paths.h"
#include "util/outcomes.h"

namespace pel {

// Files beyond this size are refused unread: no borehole export comes near it (32767
// records of 44 fields are a few megabytes), and it keeps every offset within 32 bits.
inline constexpr std::size_t kMaxReadFileBytes = std::size_t{1} << 30;

// One entry of a folder listing.
struct FolderEntry {
  std::wstring name;
  bool is_folder = false;
  bool is_reparse_point = false;  // junction, symbolic link, mount point
  bool is_hidden = false;         // hidden or system
  std::int64_t size = 0;
  bool is_special = false;        // neither a file nor a folder: a pipe, a device (or a link to one)
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // True when `path` names an ordinary file. Folders, hidden files and system
  // files count as absent.
  virtual bool IsOrdinaryFile(const std::wstring& path) const = 0;

  // What separates the pieces of a path: "\" on Windows, "/" on POSIX systems (where a
  // backslash is an ordinary character of a name).
  virtual wchar_t Separator() const = 0;
  // `folder`, one separator, then `name`.
  std::wstring Join(const std::wstring& folder, std::wstring_view name) const {
    return JoinPath(folder, name, Separator());
  }

  // The whole content of the file, byte for byte. A file over kMaxReadFileBytes fails
  // with FsErrorKind::kTooLarge.
  virtual Expected<std::string, FsError> ReadWholeFile(const std::wstring& path) const = 0;

  // True when anything of that name exists, folders included.
  virtual bool EntryExists(const std::wstring& path) const = 0;

  // Creates one folder; its parent must exist.
  virtual Expected<void, FsError> CreateFolder(const std::wstring& path) = 0;

  // The size of the file `path` (hidden and system files too); nothing when there is
  // no such file.
  virtual std::optional<std::int64_t> FileSize(const std::wstring& path) const = 0;

  // Every entry of the folder `folder` (with or without a separator at its end), "." and
  // ".." included where the file system has them, in the file system's own order.
  virtual Expected<std::vector<FolderEntry>, FsError> ListFolder(const std::wstring& folder) const = 0;

  // Replaces (or creates) `path` with exactly `bytes`. Atomic: on failure an existing
  // file keeps its old content and no temporary file is left behind.
  virtual Expected<void, FsError> AtomicReplace(const std::wstring& path, std::string_view bytes) = 0;

  // Whether files can be written in the folder `folder`: an empty temporary file is made
  // there and removed again.
  virtual Expected<void, FsError> ProbeWritableFolder(const std::wstring& folder) = 0;
};

}  // namespace pel
