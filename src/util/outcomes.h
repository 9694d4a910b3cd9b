// Why a conversion, a run or a batch ended without doing what was asked: one table of
// outcome kinds, each with its stable code (for JSON and scripts) and its message, and
// the failure value that carries the details a message names. The window, the command
// line and the tests all read this table; the sentence is made where it is shown.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "util/user_texts.h"

namespace pel {

// How a call to the file system failed, as the system said it.
enum class FsErrorKind {
  kMissing,           // no such file or folder, or a folder of the path is missing
  kAccessDenied,      // no permission, read-only, a folder where a file was meant
  kInUse,             // another program holds it
  kDiskFull,          // no room left to write
  kNotARegularFile,   // a device, a pipe or a folder where a file was meant
  kTooLarge,          // a source file beyond any borehole export (kMaxReadFileBytes)
  kOther,
};

enum class FsOperation { kRead, kList, kCreateFolder, kWrite };

// A failed file-system call: its kind, what was being done, and the system's own words
// for it (on Windows its message text), which are shown as the reason.
struct FsError {
  FsErrorKind kind = FsErrorKind::kOther;
  FsOperation operation = FsOperation::kRead;
  std::wstring system_text;
};

// The reason a message gives for `error`: the system's words, or ours where the system
// has none.
inline std::wstring ReasonText(const FsError& error) {
  if (error.kind == FsErrorKind::kTooLarge) return texts::kFileTooLarge;
  if (error.kind == FsErrorKind::kNotARegularFile && error.system_text.empty()) return texts::kNotARegularFileReason;
  return error.system_text;
}

enum class OutcomeKind {
  kBadPath,             // the window's path rules reject a path
  kDriveForm,           // a path whose drive part is not one letter and a colon
  kNoFileName,          // the destination names a folder, not a file
  kPathTooDeep,         // more folder levels than the window's component list holds
  kFolderNotCreated,    // a destination folder level could not be made
  kFolderUnreadable,    // the source folder, or a folder of a batch's site, cannot be listed
  kUnreadable,          // a source file exists but cannot be read
  kNameCaseClash,       // two source files whose names differ only in letter case
  kTooManyRecords,      // a source file beyond 32767 records
  kTooManyPoints,       // X5.txt and X100.txt beyond 32767 records together
  kValueTooWide,        // a value that does not fit its field
  kWriteFailed,         // the destination file cannot be written
  kOutputNameClash,     // two folders of a batch would write one output file
  kNoSourceFiles,       // a folder with none of the four files
  kNoBoreholeFolders,   // a batch's site holds no folder with any of the four files
  kNoBoreholeFoldersButDeeper,  // the same, but folders further down hold them
  kOutputFolderUnusable,  // a batch's output folder cannot be made or written
  kNotARegularFile,     // one of the four names is a device, a pipe or the like
  kReportWriteFailed,   // the site report cannot be written
};

// What fills the holes ("{}") of a message, in order.
enum class Hole { kPath, kOther, kReason, kLine, kRecord, kField, kIntPlaces, kValue, kLimit };

struct OutcomeKindInfo {
  OutcomeKind kind;
  const char* code;  // stable, for JSON and scripts
  const wchar_t* message;
  std::array<Hole, 6> holes;
  int hole_count;
};

inline constexpr OutcomeKindInfo kOutcomeKinds[] = {
    {OutcomeKind::kBadPath, "bad-path", texts::kBadPath, {}, 0},
    {OutcomeKind::kDriveForm, "bad-path", texts::kDriveForm, {}, 0},
    {OutcomeKind::kNoFileName, "no-file-name", texts::kNoFileName, {}, 0},
    {OutcomeKind::kPathTooDeep, "path-too-deep", texts::kPathTooDeep, {Hole::kLimit, Hole::kPath}, 2},
    // The command line has always called a folder it could not make a failed write.
    {OutcomeKind::kFolderNotCreated, "write-failed", texts::kCannotCreateFolder, {Hole::kPath, Hole::kReason}, 2},
    {OutcomeKind::kFolderUnreadable, "folder-unreadable", texts::kCannotOpenFolder, {Hole::kPath, Hole::kReason}, 2},
    {OutcomeKind::kUnreadable, "unreadable", texts::kUnreadable, {Hole::kPath, Hole::kReason}, 2},
    {OutcomeKind::kNameCaseClash, "name-case-clash", texts::kNamesDifferOnlyInCase, {Hole::kPath, Hole::kOther}, 2},
    {OutcomeKind::kTooManyRecords, "too-many-records", texts::kTooManyRecords, {Hole::kLimit, Hole::kPath}, 2},
    {OutcomeKind::kTooManyPoints, "too-many-points", texts::kTooManyPoints, {Hole::kLimit, Hole::kPath}, 2},
    {OutcomeKind::kValueTooWide, "value-too-wide", texts::kValueTooWide,
     {Hole::kIntPlaces, Hole::kPath, Hole::kLine, Hole::kRecord, Hole::kField, Hole::kValue}, 6},
    {OutcomeKind::kWriteFailed, "write-failed", texts::kWriteFailed, {Hole::kPath, Hole::kReason}, 2},
    {OutcomeKind::kOutputNameClash, "output-name-clash", texts::kCliOutputNameClash, {Hole::kOther, Hole::kPath}, 2},
    {OutcomeKind::kNoSourceFiles, "no-source-files", texts::kNoSourceFiles, {Hole::kPath}, 1},
    {OutcomeKind::kNoBoreholeFolders, "no-borehole-folders", texts::kCliNoBoreholeFolders, {Hole::kPath}, 1},
    {OutcomeKind::kNoBoreholeFoldersButDeeper, "no-borehole-folders", texts::kCliNoBoreholeFoldersButDeeper,
     {Hole::kPath}, 1},
    {OutcomeKind::kOutputFolderUnusable, "output-folder-unusable", texts::kCliOutputFolderUnusable,
     {Hole::kPath, Hole::kReason}, 2},
    {OutcomeKind::kNotARegularFile, "not-a-regular-file", texts::kNotARegularFile, {Hole::kPath}, 1},
    {OutcomeKind::kReportWriteFailed, "report-write-failed", texts::kSiteReportWriteFailed, {Hole::kPath, Hole::kReason}, 2},
};

constexpr const OutcomeKindInfo& InfoOf(OutcomeKind kind) { return kOutcomeKinds[static_cast<int>(kind)]; }

constexpr bool OutcomeTableIsInKindOrder() {
  for (std::size_t i = 0; i < std::size(kOutcomeKinds); ++i) {
    if (static_cast<std::size_t>(kOutcomeKinds[i].kind) != i) return false;
  }
  return true;
}
static_assert(OutcomeTableIsInKindOrder());

// One failure and what its message names.
struct Outcome {
  OutcomeKind kind = OutcomeKind::kUnreadable;
  std::wstring path;   // the file or folder it is about
  std::wstring other;  // a second file or folder, where two are concerned
  FsError system;      // the system's part, where a file-system call failed
  int line = 0, record = 0, field = 0, int_places = 0;
  int limit = 0;
  std::string value;  // a source value as the file holds it (code page 932): its first line, at most 60 characters
  bool value_cut = false;  // `value` leaves something out
};

inline Outcome MakeOutcome(OutcomeKind kind, std::wstring path = {}, FsError system = {}) {
  Outcome o;
  o.kind = kind;
  o.path = std::move(path);
  o.system = std::move(system);
  return o;
}

// The outcome's message, its holes filled from `outcome` (names and values as shown:
// control characters and undecodable bytes as \xHH), in lines for a message box.
std::wstring DescribeOutcome(const Outcome& outcome);
// The same in another wording of the kind's message, with the same holes in the same order.
std::wstring DescribeOutcomeAs(const Outcome& outcome, std::wstring_view message);
// The same on one line, for the console and JSON: the sentence, then what it is about,
// each after a blank, and the system's reason after ": ".
std::wstring DescribeOutcomeOnOneLine(const Outcome& outcome);

}  // namespace pel
