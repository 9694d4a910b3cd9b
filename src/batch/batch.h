// A whole site converted: every borehole folder below a site folder into one output
// folder, written one folder at a time and in order, while the next folders are read and
// converted on a second thread and between writes. The command line and the batch window
// present it; any caller can, since results come through a listener and a stop request is
// honoured between folders.
#pragma once

#include <array>
#include <atomic>
#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/findings.h"
#include "platform/file_system.h"
#include "source/source_files.h"
#include "util/outcomes.h"

namespace pel {

// What one folder came to: written (or, for a check, read), or failed with nothing written.
struct FolderResult {
  std::wstring source;
  std::optional<std::wstring> destination;
  bool written = false;
  std::optional<Outcome> error;
  std::optional<ConversionReport> report;  // where the folder was read and checked
  bool has_warnings() const { return report && report->warnings() > 0; }
};

// Reads and checks `source`, and writes the file to `destination` where one is given,
// making the folders above it that are missing once the source has been read. The
// folder must be readable; nothing is written on any failure.
FolderResult ConvertFolder(FileSystem& fs, const std::wstring& source, const std::optional<std::wstring>& destination);

// The borehole folders of a site, in ordinal order of their paths below the site folder,
// and the folders that could not be listed. Kept compact, since a site may hold tens of
// thousands of folders: the paths share one buffer, and a folder's files are only what
// each is (present, missing, ...) unless their names on disk differ from the editor's.
class SiteScan {
 public:
  std::size_t size() const { return folders_.size(); }
  std::wstring_view relative(std::size_t i) const { return std::wstring_view(names_).substr(folders_[i].name_at, folders_[i].name_size); }
  SourceFileSet files(std::size_t i) const;
  // Two of its files differ only in letter case: the folder cannot be converted.
  const Outcome* clash(std::size_t i) const;

  std::vector<Outcome> unreadable;

 private:
  friend SiteScan ScanSite(const FileSystem& fs, const std::wstring& parent, bool recursive);
  static constexpr std::uint32_t kNone = UINT32_MAX;
  struct Folder {
    std::uint32_t name_at, name_size;
    std::array<Absence, 4> absence;
    std::uint32_t unusual = kNone;  // into unusual_: names that are not the editor's, or a clash
  };
  struct Unusual {
    SourceFileSet files;
    std::optional<Outcome> clash;
  };
  void Add(std::wstring_view relative, const SourceFileSet& files, std::optional<Outcome> clash);
  void Reserve(std::size_t folders, std::size_t name_chars) {
    folders_.reserve(folders);
    names_.reserve(name_chars);
  }
  std::wstring names_;
  std::vector<Folder> folders_;
  std::vector<Unusual> unusual_;
};

// The folders directly inside `parent` (with `recursive`, at any depth below it) that
// hold at least one of the four borehole files, by the conversion's own rule. Links and
// junctions are never followed.
SiteScan ScanSite(const FileSystem& fs, const std::wstring& parent, bool recursive);

class BatchListener {
 public:
  virtual ~BatchListener() = default;
  // Asked before each folder: true ends the batch there, as a stop does (its output has
  // gone away, say).
  virtual bool WantsToStop() const { return false; }
  // Before folder `index` (from 0) of `total` is converted.
  virtual void Starting(std::size_t /*index*/, std::size_t /*total*/, const std::wstring& /*relative*/) {}
  // Every folder's result, in order: unreadable folders of the site first.
  virtual void Finished(const FolderResult& result) = 0;
};

struct BatchSummary {
  int folders = 0, converted = 0, with_warnings = 0, failed = 0;
  bool stopped = false;
  // The batch as a whole could not start (no borehole folder, an output folder that
  // cannot be written): no folder was converted and nothing made.
  std::optional<Outcome> error;
};

// Converts every borehole folder of `parent` into `output`/<folder name>.txt. Two folders
// that would write the same output name (without regard to letter case) fail both;
// nothing is overwritten by another folder of the batch. One folder's failure does not
// end the batch. When `stop` is set, the batch ends before the next folder: every output
// is then complete or absent. Where `parent` holds no borehole folder, or the output
// folder cannot be made or written, the batch fails before any folder is read.
BatchSummary RunBatch(FileSystem& fs, const std::wstring& parent, const std::wstring& output, bool recursive,
                      const std::atomic<bool>& stop, BatchListener& listener);

}  // namespace pel
