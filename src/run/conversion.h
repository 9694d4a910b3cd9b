// The conversion phase of a run: a borehole export folder in, the liquefaction file out.
#pragma once

#include <string>
#include <string_view>

#include "check/findings.h"
#include "platform/file_system.h"
#include "platform/text_codec.h"
#include "util/expected.h"

namespace pel {

struct ConversionError {
  enum class Kind {
    kUnreadable,      // a source file exists but cannot be read; `path`, `reason`
    kTooManyRecords,  // a source file holds more than 32767 records; `path`
    kTooManyPoints,   // X5.txt and X100.txt hold more than 32767 records together; `path` is X5.txt
    kValueTooWide,    // a value does not fit its field; `path`, `record`, `field`, `value`, `int_places`
    kWriteFailed,     // the destination cannot be written; `path`, `reason`
    kFolderUnreadable,  // the source folder cannot be listed, where it must be; `path`, `reason`
  };
  Kind kind = Kind::kUnreadable;
  std::wstring path;
  std::wstring reason;
  int record = 0;
  int field = 0;
  int int_places = 0;
  std::string value;  // the value's bytes as the source file holds them
};

// The liquefaction file of a borehole folder, built in memory, and what the check found.
struct PreparedFile {
  std::string bytes;
  ConversionReport report;
};

// What a source folder that cannot be listed means: the window takes each file as
// missing (an empty file is written), the command line refuses the folder.
enum class FolderRule { kMissingIsEmpty, kMustBeReadable };

// Reads titl01.txt, X1.txt, X5.txt and X100.txt from `source_folder` (missing files
// leave their tables empty; their names are found whatever their letter case), merges
// the depths, builds the liquefaction file and checks it against the source. Writes
// nothing.
Expected<PreparedFile, ConversionError> PrepareBorehole(const FileSystem& fs, const std::wstring& source_folder,
                                                        FolderRule rule = FolderRule::kMissingIsEmpty);

// Replaces `destination_file` with the prepared file; an existing file keeps its content
// when that fails.
Expected<void, ConversionError> WritePreparedFile(FileSystem& fs, const PreparedFile& prepared,
                                                  const std::wstring& destination_file);

// PrepareBorehole, then replaces `destination_file` with the file. On any error nothing
// is written and an existing destination file keeps its content.
Expected<ConversionReport, ConversionError> ConvertBorehole(FileSystem& fs, const std::wstring& source_folder,
                                                            const std::wstring& destination_file);

// The error as a message for the user; the value shown as code page 932 text.
std::wstring DescribeConversionError(const ConversionError& error);

}  // namespace pel
