#include "check/conversion_check.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <deque>

#include "output/liquefaction_writer.h"
#include "output/number_field.h"
#include "source/decimal.h"
#include "source/field_reader.h"
#include "source/merge.h"
#include "source/readers.h"
#include "util/cp932.h"
#include "util/user_texts.h"

namespace pel {
namespace {

constexpr char kEndOfFileMarker = '\x1A';

struct FieldAt {
  std::string_view text;  // into the file's bytes, or into Walk::joined
  int line = 0;
};

// A file walked as the readers walk it: the wanted fields of every record with their
// lines, and what the file as a whole holds.
struct Walk {
  std::size_t width = 1;        // wanted fields per record
  std::vector<FieldAt> fields;  // record r's k-th wanted field at r * width + k
  std::deque<std::string> joined;  // values joined from a quoted part and the text after it
  std::size_t count() const { return fields.size() / width; }
  const FieldAt* record(std::size_t r) const { return &fields[r * width]; }
  int last_fields = 0;      // the fields the last record has
  int last_first_line = 0;  // the line of the last record's field 1
  bool unclosed = false;
  FieldAt unclosed_at;
  int unclosed_record = 0, unclosed_field = 0;
};

Walk WalkRecords(std::string_view bytes, const LineIndex& lines, int fields_per_record, const int* wanted,
                 std::size_t wanted_count) {
  Walk walk;
  walk.width = wanted_count;
  LineIndex::Cursor line_of(lines);
  FieldReader reader(bytes);
  std::string scratch;
  FieldSpan span;
  while (!reader.AtEnd()) {
    const std::size_t first = walk.fields.size();
    walk.fields.resize(first + wanted_count);
    FieldAt* record = &walk.fields[first];
    std::size_t next = 0;
    int k = 0;
    char last_separator = 0;
    std::size_t last_end = 0;
    while (k < fields_per_record && !reader.AtEnd()) {
      ++k;
      const bool wanted_here = next < wanted_count && wanted[next] == k;
      std::string_view value;
      if (wanted_here) {
        value = reader.ReadField(scratch, span);
        if (!value.empty() && value.data() == scratch.data()) value = walk.joined.emplace_back(value);
        record[next++] = {value, line_of.LineOf(span.start)};
      } else {
        reader.SkipField(span);
      }
      if (k == 1) walk.last_first_line = line_of.LineOf(span.start);
      if (span.unclosed && !walk.unclosed) {
        // The field's text up to its first line end names it well enough.
        const std::string_view taken = reader.data().substr(span.start + 1);
        walk.unclosed = true;
        walk.unclosed_at = {taken.substr(0, taken.find_first_of("\r\n")), line_of.LineOf(span.start)};
        walk.unclosed_record = static_cast<int>(walk.count());
        walk.unclosed_field = k;
      }
      last_separator = span.separator;
      last_end = span.end;
    }
    // "...,5.2," at the very end: the empty field after the comma is the record's too.
    walk.last_fields = k < fields_per_record && last_separator == ',' ? k + 1 : k;
    // Fields the record lacks read as empty, on the line where the record ends.
    const int end_line = line_of.LineOf(last_end);
    for (; next < wanted_count; ++next) record[next] = {std::string_view(), end_line};
  }
  return walk;
}

bool IsBlankText(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

std::string Padded(std::string field, NumberFormat format) {
  field.resize(static_cast<std::size_t>(format.width()), ' ');
  return field;
}

// What the writer put in a column for `text`: 10 characters.
std::string WrittenField(std::string_view text, NumberFormat format) {
  return Padded(FormatNumberField(text, format.int_places, format.decimals).value_or(std::string()), format);
}

std::wstring Shown(std::string_view bytes) { return Cp932ToWide(bytes); }

class Checker {
 public:
  explicit Checker(const CheckInput& input) : input_(input) {}

  std::vector<Finding> Run();

 private:
  // Where a finding stands.
  struct Place {
    SourceFile file;
    int line, record, field;
    Section section = Section::kNone;
    int row = 0;
  };

  Finding& Add(FindingKind kind, const Place& at, std::string_view text, std::wstring message) {
    Finding& f = findings_.emplace_back();
    f.kind = kind;
    f.severity = InfoOf(kind).severity;
    f.source = at.file;
    f.file = input_.files[static_cast<std::size_t>(at.file)].name;
    f.line = at.line;
    f.record = at.record;
    f.field = at.field;
    f.section = at.section;
    f.row = at.section == Section::kNone ? 0 : at.row;
    f.text = std::string(text);
    f.message = std::move(message);
    return f;
  }

  void CheckFile(SourceFile file, const Walk& walk, const LineIndex& lines, int fields_per_record);
  void CheckWritten(const Place& at, std::string_view text, NumberFormat format, bool blank_is_finding);
  void CheckX5Value(const Place& at, std::string_view text);
  void CheckDepthOrder(SourceFile file, const Walk& walk, const std::vector<int>& point_rows);

  const CheckInput& input_;
  std::vector<Finding> findings_;
};

void Checker::CheckFile(SourceFile file, const Walk& walk, const LineIndex& lines, int fields_per_record) {
  const std::string_view bytes = input_.files[static_cast<std::size_t>(file)].bytes;
  if (const void* mark = std::memchr(bytes.data(), kEndOfFileMarker, bytes.size())) {
    const auto at = static_cast<std::size_t>(static_cast<const char*>(mark) - bytes.data());
    const std::string_view rest = bytes.substr(at + 1);
    if (rest.find_first_not_of(" \t\r\n") != std::string_view::npos) {
      Add(FindingKind::kDataAfterEndMark, {file, lines.LineOf(at), 0, 0}, std::string(), texts::kFindingDataAfterEndMark);
    }
  }
  if (walk.unclosed) {
    Add(FindingKind::kUnclosedQuote, {file, walk.unclosed_at.line, walk.unclosed_record, walk.unclosed_field},
        walk.unclosed_at.text, texts::kFindingUnclosedQuote);
  }
  if (fields_per_record != INT_MAX && walk.count() > 0 && walk.last_fields < fields_per_record) {
    Finding& f = Add(FindingKind::kShortLastRecord,
                     {file, walk.last_first_line, static_cast<int>(walk.count()), 1}, std::string(),
                     texts::FillText(texts::kFindingShortLastRecord,
                                     {std::to_wstring(walk.last_fields), std::to_wstring(fields_per_record)}));
    f.count = walk.last_fields;
  }
}

void Checker::CheckWritten(const Place& at, std::string_view text, NumberFormat format, bool blank_is_finding) {
  if (IsBlankText(text)) {
    if (blank_is_finding) {
      Add(FindingKind::kBlankWritten, at, std::string(text), texts::kFindingBlankWritten).output =
          std::string(static_cast<std::size_t>(format.width()), ' ');
    }
    return;
  }
  // Most values are numbers that their field shows: nothing to format twice.
  const bool number = IsDecimalNumber(text);
  const double value = NumberFieldValue(text);
  if (number && (value == 0.0 || std::fabs(value) >= 1.0)) return;
  const std::string written = WrittenField(text, format);
  if (!number) {
    Add(FindingKind::kNotANumber, at, std::string(text),
        texts::FillText(texts::kFindingNotANumber, {Shown(text), Shown(written)}))
        .output = written;
  }
  const bool all_zero = written.find_first_of("123456789") == std::string::npos;
  if (value != 0.0 && all_zero) {
    Add(FindingKind::kValueCutToZero, at, std::string(text),
        texts::FillText(texts::kFindingValueCutToZero,
                        {Shown(text), std::to_wstring(format.decimals), Shown(written)}))
        .output = written;
  }
}

// The X5 value check writes "0" for a value that is not a positive number; a text that
// is wholly a number of value zero was zero already.
void Checker::CheckX5Value(const Place& at, std::string_view text) {
  const NumberFormat format = PointColumnOf(PointColumn::kX5Value).format;
  if (IsPositiveX5Value(text)) {
    CheckWritten(at, text, format, false);
    return;
  }
  if (IsDecimalNumber(text) && DepthValue(text) == 0.0) return;
  Add(FindingKind::kX5ValueReplaced, at, std::string(text),
      texts::FillText(texts::kFindingX5ValueReplaced, {Shown(text)}))
      .output = WrittenField("0", format);
}

void Checker::CheckDepthOrder(SourceFile file, const Walk& walk, const std::vector<int>& point_rows) {
  double b = walk.count() > 0 ? DepthValue(walk.record(0)[0].text) : 0.0;
  for (std::size_t r = 1; r < walk.count(); ++r) {
    const FieldAt& before = walk.record(r - 1)[0];
    const FieldAt& here = walk.record(r)[0];
    const double a = b;  // each depth is read once
    b = DepthValue(here.text);
    if (!(b <= a)) continue;
    const int record = static_cast<int>(r) + 1;
    const int field = file == SourceFile::kX5 ? kX5Fields[0] : kX100Fields[0];
    const int row = point_rows[static_cast<std::size_t>(record)];
    const Place at{file, here.line, record, field, row > 0 ? Section::kPoint : Section::kNone, row};
    if (b < a) {
      Add(FindingKind::kDepthOutOfOrder, at, here.text,
          texts::FillText(texts::kFindingDepthOutOfOrder, {Shown(here.text), Shown(before.text)}));
    } else {
      Add(FindingKind::kDepthRepeated, at, here.text, texts::FillText(texts::kFindingDepthRepeated, {Shown(here.text)}));
    }
  }
}

std::vector<Finding> Checker::Run() {
  auto bytes_of = [&](SourceFile file) { return input_.files[static_cast<std::size_t>(file)].bytes; };
  const LineIndex title_lines(bytes_of(SourceFile::kTitle)), x1_lines(bytes_of(SourceFile::kX1)),
      x5_lines(bytes_of(SourceFile::kX5)), x100_lines(bytes_of(SourceFile::kX100));
  static constexpr int kTitleField[] = {1};
  static constexpr int kLayerField[] = {kX1LayerField};
  const Walk title = WalkRecords(bytes_of(SourceFile::kTitle), title_lines, INT_MAX, kTitleField, 1);
  const Walk x1 = WalkRecords(bytes_of(SourceFile::kX1), x1_lines, kX1FieldsPerRecord, kLayerField, 1);
  const Walk x5 = WalkRecords(bytes_of(SourceFile::kX5), x5_lines, kX5FieldsPerRecord, kX5Fields.data(),
                              kX5Fields.size());
  const Walk x100 = WalkRecords(bytes_of(SourceFile::kX100), x100_lines, kX100FieldsPerRecord, kX100Fields.data(),
                                kX100Fields.size());

  CheckFile(SourceFile::kTitle, title, title_lines, INT_MAX);
  CheckFile(SourceFile::kX1, x1, x1_lines, kX1FieldsPerRecord);
  CheckFile(SourceFile::kX5, x5, x5_lines, kX5FieldsPerRecord);
  CheckFile(SourceFile::kX100, x100, x100_lines, kX100FieldsPerRecord);

  // The title: what the 40 characters leave out, where it is more than blanks.
  const std::string_view title_text = input_.title;
  const std::string_view cut = title_text.substr(TitleBytesWritten(title_text));
  if (cut.find_first_not_of(" \t\r\n") != std::string_view::npos && title.count() > 0) {
    Add(FindingKind::kTitleCut, {SourceFile::kTitle, title.record(0)[0].line, 1, 1}, std::string(title_text),
        texts::FillText(texts::kFindingTitleCut, {std::to_wstring(kTitleChars), Shown(cut)}));
  }

  // The layer section.
  const int layers = input_.layers.count;
  for (int r = 1; r <= std::min(layers, kMaxWrittenRows); ++r) {
    const FieldAt& value = x1.record(static_cast<std::size_t>(r - 1))[0];
    CheckWritten({SourceFile::kX1, value.line, r, kX1LayerField, Section::kLayer, r}, value.text, kLayerFormat, true);
  }
  if (layers > kMaxWrittenRows) {
    const FieldAt& first = x1.record(kMaxWrittenRows)[0];
    Add(FindingKind::kLayersNotWritten, {SourceFile::kX1, first.line, kMaxWrittenRows + 1, kX1LayerField}, first.text,
        texts::FillText(texts::kFindingLayersNotWritten, {std::to_wstring(kMaxWrittenRows),
                                                          std::to_wstring(kMaxWrittenRows + 1),
                                                          std::to_wstring(layers - kMaxWrittenRows)}))
        .count = layers - kMaxWrittenRows;
  }

  // The point section: each written row, from the records it came from.
  const PointList& points = input_.points;
  std::vector<int> x5_point_row(x5.count() + 1), x100_point_row(x100.count() + 1);
  for (int j = 1; j <= std::min<int>(points.count, kMaxWrittenRows); ++j) {
    const auto row = static_cast<std::size_t>(j);
    const int k = points.x5_row[row];
    const int m = points.x100_row[row];
    if (k > 0) x5_point_row[static_cast<std::size_t>(k)] = j;
    if (m > 0) x100_point_row[static_cast<std::size_t>(m)] = j;
    const auto* x5_record = k > 0 ? x5.record(static_cast<std::size_t>(k - 1)) : nullptr;
    const auto* x100_record = m > 0 ? x100.record(static_cast<std::size_t>(m - 1)) : nullptr;

    const NumberFormat depth_format = PointColumnOf(PointColumn::kDepth).format;
    if (x5_record) {
      const FieldAt& depth = x5_record[0];
      CheckWritten({SourceFile::kX5, depth.line, k, kX5Fields[0], Section::kPoint, j}, depth.text, depth_format, true);
      const FieldAt& value = x5_record[1];
      CheckX5Value({SourceFile::kX5, value.line, k, kX5Fields[1], Section::kPoint, j}, value.text);
    } else {
      const FieldAt& depth = x100_record[0];
      CheckWritten({SourceFile::kX100, depth.line, m, kX100Fields[0], Section::kPoint, j}, depth.text, depth_format,
                   true);
    }
    if (x100_record) {
      for (std::size_t c = 1; c < kX100Fields.size(); ++c) {
        const FieldAt& value = x100_record[c];
        const NumberFormat format = kPointColumns[static_cast<std::size_t>(PointColumn::kX100Value1) + c - 1].format;
        CheckWritten({SourceFile::kX100, value.line, m, kX100Fields[c], Section::kPoint, j}, value.text, format, false);
      }
    }
  }
  if (points.count > kMaxWrittenRows) {
    const auto row = static_cast<std::size_t>(kMaxWrittenRows + 1);
    const int k = points.x5_row[row];
    const bool from_x5 = k > 0;
    const int record = from_x5 ? k : points.x100_row[row];
    const FieldAt& depth = (from_x5 ? x5 : x100).record(static_cast<std::size_t>(record - 1))[0];
    const int not_written = points.count - kMaxWrittenRows;
    Add(FindingKind::kPointsNotWritten,
        {from_x5 ? SourceFile::kX5 : SourceFile::kX100, depth.line, record, from_x5 ? kX5Fields[0] : kX100Fields[0]},
        depth.text, texts::FillText(texts::kFindingPointsNotWritten, {std::to_wstring(kMaxWrittenRows),
                                                           std::to_wstring(kMaxWrittenRows + 1),
                                                           std::to_wstring(not_written)}))
        .count = not_written;
  }
  CheckDepthOrder(SourceFile::kX5, x5, x5_point_row);
  CheckDepthOrder(SourceFile::kX100, x100, x100_point_row);

  // File order, then line, field and kind.
  std::stable_sort(findings_.begin(), findings_.end(), [](const Finding& a, const Finding& b) {
    if (a.source != b.source) return a.source < b.source;
    if (a.line != b.line) return a.line < b.line;
    if (a.field != b.field) return a.field < b.field;
    return a.kind < b.kind;
  });
  return std::move(findings_);
}

}  // namespace

LineIndex::LineIndex(std::string_view bytes) {
  starts_.push_back(0);
  const char* const base = bytes.data();
  const char* const end = base + bytes.size();
  auto find = [end](const char* from, char c) {
    const void* at = std::memchr(from, c, static_cast<std::size_t>(end - from));
    return at ? static_cast<const char*>(at) : end;
  };
  // The next LF and the next CR, each looked for again only once passed.
  const char* lf = find(base, '\n');
  const char* cr = find(base, '\r');
  for (const char* p = base; p < end;) {
    if (lf < p) lf = find(p, '\n');
    if (cr < p) cr = find(p, '\r');
    const char* at = std::min(cr, lf);
    if (at == end) break;
    if (*at == '\r' && at + 1 < end && at[1] == '\n') ++at;  // CR LF: one line end
    starts_.push_back(static_cast<std::size_t>(at + 1 - base));
    p = at + 1;
  }
}

int LineIndex::LineOf(std::size_t offset) const {
  return static_cast<int>(std::upper_bound(starts_.begin(), starts_.end(), offset) - starts_.begin());
}

std::vector<Finding> CheckConversion(const CheckInput& input) { return Checker(input).Run(); }

}  // namespace pel
