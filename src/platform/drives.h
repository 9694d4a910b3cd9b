// Drives and the process's current folder.
#pragma once

namespace pel {

class Drives {
 public:
  virtual ~Drives() = default;
  // Makes the drive named by `letter` current (on Windows the drive's own current
  // folder becomes the process's). False when no such drive exists or it is not ready.
  virtual bool MakeDriveCurrent(wchar_t letter) = 0;

  // True when the drive exists and can be read now (a medium is in it).
  virtual bool IsDriveReady(wchar_t letter) const = 0;
};

}  // namespace pel
