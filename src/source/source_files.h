// The four files of a borehole folder, found in one listing of it. One rule decides
// which entries count, for the conversion and for a batch's search alike: a file is
// found whatever the letter case of its name, as Windows finds it, and a hidden or
// system file, or a folder of that name, counts as absent.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "source/field_map.h"
#include "util/expected.h"
#include "util/outcomes.h"

namespace pel {

// Why a file counts as absent.
enum class Absence { kNone, kMissing, kHiddenOrSystem, kFolder };

struct SourceFileEntry {
  std::wstring name;     // as found on disk; the editor's own name when there is none
  bool present = false;  // an ordinary file that the conversion reads
  Absence absence = Absence::kMissing;
  std::int64_t listed_size = 0;  // its size in the folder's listing (0 without one)
};

struct SourceFileSet {
  std::array<SourceFileEntry, 4> files;  // by SourceFile
  const SourceFileEntry& operator[](SourceFile which) const { return files[static_cast<std::size_t>(which)]; }
  bool any() const {
    for (const auto& f : files) {
      if (f.present) return true;
    }
    return false;
  }
};

// The four files as the listing of `folder` shows them. Two files whose names differ
// only in letter case (possible on other systems than Windows) cannot both be the file:
// the name-case-clash outcome, naming both.
Expected<SourceFileSet, Outcome> MatchSourceFiles(const FileSystem& fs, const std::wstring& folder,
                                                  const std::vector<FolderEntry>& listing);

}  // namespace pel
