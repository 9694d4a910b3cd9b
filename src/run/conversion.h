// The conversion phase of a run: a borehole export folder in, the liquefaction file out.
#pragma once

#include <string>
#include <string_view>

#include "check/findings.h"
#include "platform/file_system.h"
#include "source/source_files.h"
#include "util/expected.h"
#include "util/outcomes.h"

namespace pel {

// The liquefaction file of a borehole folder, built in memory, and what the check found.
struct PreparedFile {
  std::string bytes;
  ConversionReport report;
};

// What a source folder that cannot be listed means: the window takes each file as
// missing (an empty file is written), the command line refuses the folder.
enum class FolderRule { kMissingIsEmpty, kMustBeReadable };

// The four files of `source_folder`, found by one listing whatever the letter case of
// their names (or each looked up, where the rule allows a folder that cannot be listed).
// A folder with none of them is the no-source-files outcome.
Expected<SourceFileSet, Outcome> FindSourceFiles(const FileSystem& fs, const std::wstring& source_folder,
                                                 FolderRule rule);

// Reads titl01.txt, X1.txt, X5.txt and X100.txt from `source_folder` as FindSourceFiles
// finds them (missing files leave their tables empty), merges the depths, builds the
// liquefaction file and checks it against the source. Writes nothing.
Expected<PreparedFile, Outcome> PrepareBorehole(const FileSystem& fs, const std::wstring& source_folder,
                                                FolderRule rule = FolderRule::kMissingIsEmpty);
// The same for the files that a listing of the folder already found.
Expected<PreparedFile, Outcome> PrepareBorehole(const FileSystem& fs, const std::wstring& source_folder,
                                                const SourceFileSet& files);

// Replaces `destination_file` with the prepared file; an existing file keeps its content
// when that fails.
Expected<void, Outcome> WritePreparedFile(FileSystem& fs, const PreparedFile& prepared,
                                          const std::wstring& destination_file);

// PrepareBorehole, then replaces `destination_file` with the file. On any error nothing
// is written and an existing destination file keeps its content.
Expected<ConversionReport, Outcome> ConvertBorehole(FileSystem& fs, const std::wstring& source_folder,
                                                    const std::wstring& destination_file);

}  // namespace pel
