#include "check/conversion_check.h"

#include <algorithm>
#include <climits>
#include <numeric>

#include "source/field_reader.h"
#include "util/shown_text.h"
#include "util/user_texts.h"

namespace pel {
namespace {

// A source value as a message quotes it.
std::wstring Shown(std::string_view bytes) {
  const BoundedValue bounded = BoundValue(bytes);
  return ShownValue(bounded.bytes, bounded.cut);
}

class Checker {
 public:
  explicit Checker(const CheckInput& input) : input_(input) {}

  std::vector<Finding> Run();

 private:
  // Where a finding stands: its file, the byte its line is counted to, record and field.
  struct Place {
    SourceFile file;
    std::size_t at;
    int record, field;
    Section section = Section::kNone;
    int row = 0;
  };

  Finding& Add(FindingKind kind, const Place& place, std::string_view text, std::wstring message) {
    Finding& f = findings_.emplace_back();
    f.kind = kind;
    f.severity = InfoOf(kind).severity;
    f.source = place.file;
    f.file = input_.files[static_cast<std::size_t>(place.file)].name;
    f.record = place.record;
    f.field = place.field;
    f.section = place.section;
    f.row = place.section == Section::kNone ? 0 : place.row;
    BoundedValue bounded = BoundValue(text);
    f.text = std::move(bounded.bytes);
    f.text_cut = bounded.cut;
    f.message = std::move(message);
    at_.push_back(place.at);
    length_.push_back(text.size());
    return f;
  }

  void CheckFile(SourceFile file, const FileFacts& facts, int fields_per_record);
  void CheckPresent(SourceFile file);
  void CheckWritten(Place place, const WrittenField& written, NumberFormat format, bool blank_is_finding);
  void CheckDepthOrder(SourceFile file, const std::vector<DepthBreak>& breaks, int field,
                       const std::vector<int>& point_rows);
  void CountLines();

  const CheckInput& input_;
  std::vector<Finding> findings_;
  std::vector<std::size_t> at_;  // each finding's byte, for its line
  std::vector<std::size_t> length_;  // the bytes of its source text
  std::vector<std::size_t> no_line_;  // the findings on a missing file, which have none
};

// A file the conversion took as absent, and what the output lacks for it.
void Checker::CheckPresent(SourceFile file) {
  const CheckedFile& checked = input_.files[static_cast<std::size_t>(file)];
  if (checked.absence == Absence::kNone) return;
  const wchar_t* why = checked.absence == Absence::kFolder           ? texts::kFindingFileIsFolder
                       : checked.absence == Absence::kHiddenOrSystem ? texts::kFindingFileHidden
                                                                     : texts::kFindingFileMissing;
  Finding& f = Add(FindingKind::kFileMissing, {file, 0, 0, 0}, {},
                   texts::FillText(why, {checked.name}) + texts::kFindingFileMissingLacks[static_cast<std::size_t>(file)]);
  if (file == SourceFile::kX100) f.severity = Severity::kInfo;
  f.count = 1;
  no_line_.push_back(findings_.size() - 1);
}

void Checker::CheckFile(SourceFile file, const FileFacts& facts, int fields_per_record) {
  if (facts.end_mark && facts.data_after_end_mark) {
    Add(FindingKind::kDataAfterEndMark, {file, *facts.end_mark, 0, 0}, {}, texts::kFindingDataAfterEndMark);
  }
  if (facts.unclosed) {
    Add(FindingKind::kUnclosedQuote, {file, facts.unclosed->at, facts.unclosed_record, facts.unclosed_field},
        facts.unclosed->text, texts::kFindingUnclosedQuote);
  }
  if (fields_per_record != INT_MAX && facts.records > 0 && facts.last_fields < fields_per_record) {
    Finding& f = Add(FindingKind::kShortLastRecord, {file, facts.last_record_at, facts.records, 1}, {},
                     texts::FillText(texts::kFindingShortLastRecord,
                                     {std::to_wstring(facts.last_fields), std::to_wstring(fields_per_record)}));
    f.count = facts.last_fields;
  }
}

// What the writer found writing a value: a blank (a finding where `blank_is_finding`),
// a text that is not one number, a number whose digits were all cut.
void Checker::CheckWritten(Place place, const WrittenField& written, NumberFormat format, bool blank_is_finding) {
  place.at = written.source.at;
  const std::string_view text = written.source.text;
  const std::string output(written.text());
  if (written.blank) {
    if (blank_is_finding) Add(FindingKind::kBlankWritten, place, text, texts::kFindingBlankWritten).output = output;
    return;
  }
  if (written.not_a_number) {
    Add(FindingKind::kNotANumber, place, text, texts::FillText(texts::kFindingNotANumber, {Shown(text), Shown(output)}))
        .output = output;
  }
  if (written.cut_to_zero) {
    Add(FindingKind::kValueCutToZero, place, text,
        texts::FillText(texts::kFindingValueCutToZero, {Shown(text), std::to_wstring(format.decimals), Shown(output)}))
        .output = output;
  }
}

void Checker::CheckDepthOrder(SourceFile file, const std::vector<DepthBreak>& breaks, int field,
                              const std::vector<int>& point_rows) {
  for (const DepthBreak& b : breaks) {
    const int row = b.record < static_cast<int>(point_rows.size()) ? point_rows[static_cast<std::size_t>(b.record)] : 0;
    const Place place{file, b.depth.at, b.record, field, row > 0 ? Section::kPoint : Section::kNone, row};
    if (b.repeated) {
      Add(FindingKind::kDepthRepeated, place, b.depth.text,
          texts::FillText(texts::kFindingDepthRepeated, {Shown(b.depth.text)}));
    } else {
      Add(FindingKind::kDepthOutOfOrder, place, b.depth.text,
          texts::FillText(texts::kFindingDepthOutOfOrder, {Shown(b.depth.text), Shown(b.before.text)}));
    }
  }
}

std::vector<Finding> Checker::Run() {
  const CheckInput& in = input_;
  const WrittenFile& written = in.written;
  for (SourceFile file : {SourceFile::kTitle, SourceFile::kX1, SourceFile::kX5, SourceFile::kX100}) CheckPresent(file);
  CheckFile(SourceFile::kTitle, in.titles.file, INT_MAX);
  CheckFile(SourceFile::kX1, in.layers.file, kX1FieldsPerRecord);
  CheckFile(SourceFile::kX5, in.x5.file, kX5FieldsPerRecord);
  CheckFile(SourceFile::kX100, in.x100.file, kX100FieldsPerRecord);

  // The title: what the 40 characters leave out, where it is more than blanks.
  const Cell& title = in.titles.slots[1];
  const std::string_view cut = title.text.substr(written.title_bytes);
  if (cut.find_first_not_of(" \t\r\n") != std::string_view::npos) {
    Add(FindingKind::kTitleCut, {SourceFile::kTitle, title.at, 1, 1}, title.text,
        texts::FillText(texts::kFindingTitleCut, {std::to_wstring(kTitleChars), Shown(cut)}));
  }

  // The layer section.
  for (std::size_t i = 0; i < written.layers.size(); ++i) {
    const int r = static_cast<int>(i) + 1;
    CheckWritten({SourceFile::kX1, 0, r, kX1LayerField, Section::kLayer, r}, written.layers[i], kLayerFormat, true);
  }
  if (in.layers.count > kMaxWrittenRows) {
    const Cell& first = in.layers.items.cell(kKeptRows);
    const int left_out = in.layers.count - kMaxWrittenRows;
    Add(FindingKind::kLayersNotWritten, {SourceFile::kX1, first.at, kKeptRows, kX1LayerField}, first.text,
        texts::FillText(texts::kFindingLayersNotWritten, {std::to_wstring(kMaxWrittenRows),
                                                          std::to_wstring(kKeptRows), std::to_wstring(left_out)}))
        .count = left_out;
  }

  // The point section: each written row, from the records it came from.
  const PointColumnSource& depth = PointColumnOf(PointColumn::kDepth);
  std::vector<int> x5_point_row(kKeptRows + 1), x100_point_row(kKeptRows + 1);
  for (const WrittenPoint& p : written.points) {
    const int j = p.row;
    if (p.x5_record > 0) x5_point_row[static_cast<std::size_t>(p.x5_record)] = j;
    if (p.x100_record > 0) x100_point_row[static_cast<std::size_t>(p.x100_record)] = j;
    if (p.x5_record > 0) {
      const int k = p.x5_record;
      CheckWritten({SourceFile::kX5, 0, k, depth.x5_field, Section::kPoint, j}, p.at(PointColumn::kDepth), depth.format,
                   true);
      const WrittenField& value = p.at(PointColumn::kX5Value);
      const Place place{SourceFile::kX5, value.source.at, k, PointColumnOf(PointColumn::kX5Value).x5_field,
                        Section::kPoint, j};
      // The value check wrote "0" for a value that is not a positive number.
      if (in.x5.rule[static_cast<std::size_t>(k)] == X5Rule::kReplaced) {
        const std::string_view text = in.x5.value[static_cast<std::size_t>(k)];
        Add(FindingKind::kX5ValueReplaced, place, text,
            text.empty() ? std::wstring(texts::kFindingX5ValueEmpty)
                         : texts::FillText(texts::kFindingX5ValueReplaced, {Shown(text)}))
            .output = std::string(value.text());
      } else {
        CheckWritten(place, value, PointColumnOf(PointColumn::kX5Value).format, false);
      }
    } else {
      CheckWritten({SourceFile::kX100, 0, p.x100_record, depth.x100_field, Section::kPoint, j},
                   p.at(PointColumn::kDepth), depth.format, true);
    }
    if (p.x100_record > 0) {
      for (std::size_t c = static_cast<std::size_t>(PointColumn::kX100Value1); c < kPointColumnCount; ++c) {
        CheckWritten({SourceFile::kX100, 0, p.x100_record, kPointColumns[c].x100_field, Section::kPoint, j},
                     p.fields[c], kPointColumns[c].format, false);
      }
    }
  }
  const PointList& points = in.points;
  if (points.count > kMaxWrittenRows) {
    const int k = points.x5_row[kKeptRows];
    const bool from_x5 = k > 0;
    const int record = from_x5 ? k : points.x100_row[kKeptRows];
    const Cell& first = points.cell(kKeptRows, PointColumn::kDepth);
    const int left_out = points.count - kMaxWrittenRows;
    Add(FindingKind::kPointsNotWritten,
        {from_x5 ? SourceFile::kX5 : SourceFile::kX100, first.at, record, from_x5 ? depth.x5_field : depth.x100_field},
        first.text,
        texts::FillText(texts::kFindingPointsNotWritten, {std::to_wstring(kMaxWrittenRows),
                                                          std::to_wstring(kKeptRows), std::to_wstring(left_out)}))
        .count = left_out;
  }
  CheckDepthOrder(SourceFile::kX5, in.x5.breaks, depth.x5_field, x5_point_row);
  CheckDepthOrder(SourceFile::kX100, in.x100.breaks, depth.x100_field, x100_point_row);

  CountLines();
  // File order, then line, field and kind.
  std::stable_sort(findings_.begin(), findings_.end(), [](const Finding& a, const Finding& b) {
    if (a.source != b.source) return a.source < b.source;
    if (a.line != b.line) return a.line < b.line;
    if (a.field != b.field) return a.field < b.field;
    return a.kind < b.kind;
  });
  return std::move(findings_);
}

// Each finding's line, counted once per file up to the furthest finding in it.
void Checker::CountLines() {
  std::vector<std::size_t> order(findings_.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return findings_[a].source != findings_[b].source ? findings_[a].source < findings_[b].source : at_[a] < at_[b];
  });
  for (std::size_t from = 0; from < order.size();) {
    const SourceFile file = findings_[order[from]].source;
    std::size_t to = from;
    std::vector<std::size_t> offsets;
    while (to < order.size() && findings_[order[to]].source == file) offsets.push_back(at_[order[to++]]);
    const std::string_view bytes = input_.files[static_cast<std::size_t>(file)].bytes;
    const std::vector<LinePlace> places = LinePlacesOf(bytes, offsets);
    for (std::size_t i = from; i < to; ++i) {
      Finding& f = findings_[order[i]];
      const LinePlace& place = places[i - from];
      f.line = place.line;
      // The line's first characters, and the field's text within them.
      const std::string_view rest = bytes.substr(std::min(place.start, bytes.size()));
      const std::size_t line_end = rest.substr(0, 2 * kLineTextChars + 1).find_first_of("\r\n");
      BoundedValue line = BoundValue(rest.substr(0, line_end), kLineTextChars);
      const std::size_t at = at_[order[i]] - std::min(at_[order[i]], place.start);
      f.text_begin = std::min(at, line.bytes.size());
      f.text_end = std::min(at + length_[order[i]], line.bytes.size());
      f.line_text = std::move(line.bytes);
      f.line_cut = line.cut;
    }
    from = to;
  }
  for (std::size_t i : no_line_) findings_[i].line = 0;
}

}  // namespace

std::vector<int> LinesOf(std::string_view bytes, const std::vector<std::size_t>& offsets) {
  std::vector<int> lines;
  for (const LinePlace& place : LinePlacesOf(bytes, offsets)) lines.push_back(place.line);
  return lines;
}

std::vector<LinePlace> LinePlacesOf(std::string_view bytes, const std::vector<std::size_t>& offsets) {
  std::vector<LinePlace> places;
  places.reserve(offsets.size());
  int line = 1;
  std::size_t start = 0;    // where the line starts
  std::size_t scanned = 0;  // no line end starts in [start, scanned)
  for (const std::size_t offset : offsets) {
    const std::string_view before = bytes.substr(0, std::min(offset, bytes.size()));
    for (;;) {
      const std::size_t at = FindAny(before, scanned, '\r', '\n', '\n', '\n');
      if (at >= before.size()) {
        scanned = before.size();
        break;
      }
      std::size_t next = at + 1;
      if (bytes[at] == '\r' && next < bytes.size() && bytes[next] == '\n') ++next;  // CR LF: one line end
      if (next > offset) {
        scanned = at;  // a CR LF around `offset`: its line has not ended there
        break;
      }
      scanned = start = next;
      ++line;
    }
    places.push_back({line, start});
  }
  return places;
}

std::vector<Finding> CheckConversion(const CheckInput& input) { return Checker(input).Run(); }

}  // namespace pel
