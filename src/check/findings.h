// The conversion check's findings: every place where the written file does not carry
// the source as it stands, named by file, line, record and field.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "output/liquefaction_writer.h"
#include "source/field_map.h"

namespace pel {

// Stable kinds, in the order findings on the same field are listed.
enum class FindingKind {
  kX5ValueReplaced,   // an X5 value written as 0: empty, not a number, negative or 0 in single precision
  kNotANumber,        // a written value whose text is not one decimal number
  kValueCutToZero,    // a value that is not zero written with every digit 0
  kBlankWritten,      // a layer value or point depth written as 10 blanks
  kDepthOutOfOrder,   // a depth less than the record's before it in the same file
  kDepthRepeated,     // a depth equal to the record's before it
  kLayersNotWritten,  // X1.txt records past the 50th
  kPointsNotWritten,  // merged rows past the 50th
  kShortLastRecord,   // a file's last record with fewer fields than its record size
  kUnclosedQuote,     // a quote never closed: the field took the rest of the file
  kDataAfterEndMark,  // bytes after the first 0x1A, ignored
  kTitleCut,          // the title longer than the 40 characters written
  kFileMissing,       // one of the four files absent: what it would give is not written
};

enum class Severity { kWarning, kInfo };

// Which output section a finding's row is in.
enum class Section { kNone, kLayer, kPoint };

struct FindingKindInfo {
  FindingKind kind;
  const char* code;  // stable, for JSON and scripts
  Severity severity;
};

inline constexpr FindingKindInfo kFindingKinds[] = {
    {FindingKind::kX5ValueReplaced, "x5-value-replaced", Severity::kWarning},
    {FindingKind::kNotANumber, "not-a-number", Severity::kWarning},
    {FindingKind::kValueCutToZero, "value-cut-to-zero", Severity::kWarning},
    {FindingKind::kBlankWritten, "blank-written", Severity::kWarning},
    {FindingKind::kDepthOutOfOrder, "depth-out-of-order", Severity::kWarning},
    {FindingKind::kDepthRepeated, "depth-repeated", Severity::kWarning},
    {FindingKind::kLayersNotWritten, "layers-not-written", Severity::kWarning},
    {FindingKind::kPointsNotWritten, "points-not-written", Severity::kWarning},
    {FindingKind::kShortLastRecord, "short-last-record", Severity::kWarning},
    {FindingKind::kUnclosedQuote, "unclosed-quote", Severity::kWarning},
    {FindingKind::kDataAfterEndMark, "data-after-end-mark", Severity::kWarning},
    {FindingKind::kTitleCut, "title-cut", Severity::kInfo},
    // A warning but for X100.txt, which a borehole without laboratory tests does not have.
    {FindingKind::kFileMissing, "file-missing", Severity::kWarning},
};

constexpr const FindingKindInfo& InfoOf(FindingKind kind) { return kFindingKinds[static_cast<int>(kind)]; }

struct Finding {
  FindingKind kind = FindingKind::kNotANumber;
  Severity severity = Severity::kWarning;
  SourceFile source = SourceFile::kTitle;
  std::wstring file;    // the source file's name as found on disk
  int line = 0;         // from 1; the line of the field's first byte; 0 for a finding on a missing file
  int record = 0;       // from 1; 0 for a finding on the whole file
  int field = 0;        // from 1; 0 for a finding on the whole file
  Section section = Section::kNone;
  int row = 0;          // from 1, in `section`, where the finding is on a written row; else 0
  std::string text;     // the source bytes as the file holds them: the first line, at most 60 characters
  bool text_cut = false;  // `text` leaves something out
  std::string output;   // the 10 characters written in its place; empty where none
  // The source line the finding is on, as the file holds it: at most its first 200
  // characters; and where in it (bytes) the field's text lies, as far as the line holds it.
  std::string line_text;
  bool line_cut = false;
  std::size_t text_begin = 0, text_end = 0;
  int count = -1;       // records, rows or fields, where the kind counts; else -1
  std::wstring message;
  bool operator==(const Finding&) const = default;
};

// What was read, merged and written.
struct ConversionCounts {
  int layers = 0, layers_written = 0;
  int x5 = 0, x100 = 0;
  int points = 0, points_written = 0;
};

struct ConversionReport {
  ConversionCounts counts;
  std::vector<Finding> findings;      // in file order, then line, field and kind
  std::vector<WrittenPoint> points;  // the point rows as written
  int warnings() const {
    int n = 0;
    for (const auto& f : findings) n += f.severity == Severity::kWarning;
    return n;
  }
  int infos() const { return static_cast<int>(findings.size()) - warnings(); }
};

}  // namespace pel
