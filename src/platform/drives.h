// Drives and the process's current folder.
#pragma once

#include <string>

namespace pel {

class Drives {
 public:
  virtual ~Drives() = default;
  // Makes the drive named by `letter` current (the drive's own current folder becomes
  // the process's). False when no such drive exists or it is not ready.
  virtual bool MakeDriveCurrent(wchar_t letter) = 0;

  // True when the drive exists and can be read now (a medium is in it).
  virtual bool IsDriveReady(wchar_t letter) const = 0;

  // The letters of the drives that exist, A to Z (upper case), ready or not.
  virtual std::wstring DriveLetters() const = 0;

  // The volume label of a drive; empty when it has none or is not ready.
  virtual std::wstring VolumeLabel(wchar_t letter) const = 0;

  // The drive's own current folder (its root when it has none yet), without a trailing
  // "\" unless it is the root: D:\GEO or D:\ .
  virtual std::wstring CurrentFolderOf(wchar_t letter) const = 0;

  // The process's current folder, in the same form.
  virtual std::wstring CurrentFolder() const = 0;

  // Makes `folder` the current folder (and its drive current). False when it fails.
  virtual bool MakeFolderCurrent(const std::wstring& folder) = 0;
};

}  // namespace pel
