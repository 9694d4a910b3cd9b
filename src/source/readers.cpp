#include "source/readers.h"

#include <algorithm>
#include <climits>
#include <span>
#include <limits>

#include "source/decimal.h"
#include "source/field_reader.h"
#include "source/merge.h"
#include "source/record_scan.h"

namespace pel {
namespace {

bool IsBlankOrLineEnd(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Which fields a reader keeps: those of `first` (ascending) of the first 51 records, and
// field `each` of every record (0: none).
struct Wanted {
  std::span<const int> first;
  int each = 0;
  // The wanted fields of the first 51 records and of the rest.
  FieldSet FirstSet() const { return Set(first) | Set(std::span<const int>(&each, each ? 1 : 0)); }
  FieldSet EachSet() const { return Set(std::span<const int>(&each, each ? 1 : 0)); }
  static FieldSet Set(std::span<const int> fields) {
    FieldSet set = 0;
    for (int k : fields) set |= FieldSet{1} << (k - 1);
    return set;
  }
  // The first wanted field from `k` on of record `r`; past the record when none.
  int From(int r, int k) const {
    if (r <= kKeptRows) {
      for (int f : first) {
        if (f >= k) return f;
      }
    } else if (each >= k) {
      return each;
    }
    return INT_MAX;
  }
};

// A wanted field of a scanned record, as the field reader reads an unquoted field.
[[gnu::always_inline]] inline Cell WantedCell(std::string_view bytes, const ScannedField& field) {
  std::uint32_t begin = field.begin, end = field.end;
  while (begin < end && (bytes[begin] == ' ' || bytes[begin] == '\t')) ++begin;
  std::uint32_t last = end;
  while (last > begin && (bytes[last - 1] == ' ' || bytes[last - 1] == '\t')) --last;
  return Cell{bytes.substr(begin, last - begin), begin};
}

// The part of a file a walk reads: the bytes from `begin` (0, or a line start) to `end`,
// as if a record began at `begin`, its first record numbered records_before + 1.
struct Stretch {
  std::size_t begin = 0;
  std::size_t end = SIZE_MAX;
  int records_before = 0;
};

// What a walk read: the facts of the file as far as the stretch goes, and whether its
// last record had all its fields and ended at a line end (so that the next begins where
// the next line does; where its last field is not wanted, the walk cannot tell an empty
// last field from a missing one, and it need not).
struct Walked {
  FileFacts facts;
  bool ends_at_line = false;
};

// Walks a file record by record. Each wanted field of record r (from 1), field k
// (from 1), is handed to keep(r, k, cell); the others are skipped. Plain records are
// taken by the block (ScanRecords); the rest field by field. Past the kept rows, records
// taken by the block with their one wanted field are handed over as a run instead:
// keep_run(r, records) for records r + 1 on. Records past `max_records` are not read:
// nothing is returned then.
template <class Keep, class KeepRun>
std::optional<Walked> WalkRecords(std::string_view bytes, int fields_per_record, int max_records, Wanted wanted,
                                  Keep keep, KeepRun keep_run, Stretch stretch = {}) {
  std::optional<Walked> walked(std::in_place);
  FileFacts* const facts = &walked->facts;
  FieldReader reader(bytes.substr(0, stretch.end));
  if (stretch.begin > 0) reader.MoveTo(stretch.begin, true);
  std::string scratch;
  FieldSpan span;
  std::array<ScannedRecord, 256> scanned;
  int r = stretch.records_before;
  while (!reader.AtEnd()) {
    if (r == max_records) return std::nullopt;
    if (fields_per_record != INT_MAX) {
      // The first 51 records with all their wanted fields, the rest with one.
      const bool first = r < kKeptRows;
      const FieldSet set = first ? wanted.FirstSet() : wanted.EachSet();
      // Records only counted need no room in `scanned`.
      const std::size_t room = first ? static_cast<std::size_t>(kKeptRows - r) : set ? scanned.size() : SIZE_MAX;
      const std::size_t most = std::min<std::size_t>(room, static_cast<std::size_t>(max_records - r));
      const RecordScan scan = ScanRecords(reader.data(), reader.position(), fields_per_record, set, scanned.data(), most);
      if (set == 0) {
        r += static_cast<int>(scan.records);
      } else if (!first && scan.records > 0) {
        keep_run(r, std::span<const ScannedRecord>(scanned.data(), scan.records));
        r += static_cast<int>(scan.records);
      }
      for (std::size_t i = 0; first && i < scan.records; ++i) {
        ++r;
        std::size_t w = 0;
        for (FieldSet rest = set; rest; rest &= rest - 1) {
          keep(r, __builtin_ctzll(rest) + 1, WantedCell(bytes, scanned[i].fields[w++]));
        }
      }
      if (scan.records > 0) {
        reader.MoveTo(scan.next, scan.line_start);
        continue;
      }
    }
    ++r;
    facts->last_record_at = static_cast<std::uint32_t>(reader.NextFieldStart());
    int k = 0;
    char last_separator = 0;
    std::size_t last_end = 0;
    while (k < fields_per_record && !reader.AtEnd()) {
      ++k;
      if (wanted.From(r, k) == k) {
        std::string_view value = reader.ReadField(scratch, span);
        if (!value.empty() && value.data() == scratch.data()) value = facts->joined.emplace_back(value);
        keep(r, k, Cell{value, static_cast<std::uint32_t>(span.start)});
      } else {
        reader.SkipField(span);
      }
      if (span.unclosed && !facts->unclosed) {
        // The field's text up to its first line end names it well enough.
        const std::string_view taken = bytes.substr(span.start + 1, span.end - span.start - 1);
        facts->unclosed = Cell{taken.substr(0, taken.find_first_of("\r\n")), static_cast<std::uint32_t>(span.start)};
        facts->unclosed_record = r;
        facts->unclosed_field = k;
      }
      last_separator = span.separator;
      last_end = span.end;
    }
    // A record whose last field is empty ends at the comma before it where only line ends
    // follow in the stretch; read on, that field ends at the line end.
    walked->ends_at_line = (k == fields_per_record && (last_separator == '\r' || last_separator == '\n')) ||
                           (k + 1 == fields_per_record && last_separator == ',');
    // "...,5.2," at the very end: the empty field after the comma is the record's too.
    facts->last_fields = k < fields_per_record && last_separator == ',' ? k + 1 : k;
    // Fields the record lacks read as empty, where the record ends.
    while (fields_per_record != INT_MAX && k < fields_per_record) {
      ++k;
      if (wanted.From(r, k) == k) keep(r, k, Cell{{}, static_cast<std::uint32_t>(last_end)});
    }
  }
  facts->records = r - stretch.records_before;
  if (const auto mark = reader.end_mark()) {
    facts->end_mark = static_cast<std::uint32_t>(*mark);
    for (std::size_t i = *mark + 1; i < bytes.size() && !facts->data_after_end_mark; ++i) {
      facts->data_after_end_mark = !IsBlankOrLineEnd(bytes[i]);
    }
  }
  return walked;
}

// For walks that want no field past the kept rows.
constexpr auto kNoRuns = [](int, std::span<const ScannedRecord>) {};

// Keeps each depth's value, notes where the order breaks, and keeps the depth's cell for
// the first rows.
template <class Table>
[[gnu::always_inline]] inline void KeepDepth(Table& table, int r, const Cell& depth, Cell& previous) {
  const double value = DepthValue(depth.text);
  if (r > 1) {
    const double before = table.depth_value.back();
    if (value <= before) table.breaks.push_back({r, value == before, depth, previous});
  }
  table.depth_value.push_back(value);
  previous = depth;
  if (r <= kKeptRows) table.depth.Append(depth);
}

// KeepDepth for records r + 1 on, past the kept rows, whose depths are their only fields
// taken: one loop that keeps the last value and cell at hand.
template <class Table>
void KeepDepths(Table& table, int r, std::span<const ScannedRecord> records, std::string_view bytes, Cell& previous) {
  std::vector<double>& values = table.depth_value;
  const std::size_t size = values.size();
  values.resize(size + records.size());
  double* out = values.data() + size;
  double before = values[size - 1];
  Cell last = previous;
  for (const ScannedRecord& record : records) {
    ++r;
    const Cell depth = WantedCell(bytes, record.fields[0]);
    const double value = ParseDecimalPrefix(depth.text, bytes.size() - depth.at).value;
    if (value <= before) [[unlikely]] table.breaks.push_back({r, value == before, depth, last});
    *out++ = value;
    before = value;
    last = depth;
  }
  previous = last;
}

// Room for the depth of every record the file can hold (each record has a separator per
// field but the last, and there are at most kMaxRecordCount of them), so that the list
// is never copied as it grows.
std::size_t MostDepths(std::string_view bytes, int fields_per_record) {
  return std::min<std::size_t>(bytes.size() / static_cast<std::size_t>(fields_per_record - 1) + 1, kMaxRecordCount) + 1;
}

}  // namespace

bool IsPositiveX5Value(std::string_view text) {
  if (!IsDecimalNumber(text)) return false;
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  const double value = ParseDecimalPrefix(text).value;
  if (!(value > 0.0)) return false;
  // Converting a double beyond float range is undefined; such a value is positive.
  if (value > static_cast<double>(std::numeric_limits<float>::max())) return true;
  return static_cast<float>(value) > 0.0f;
}

std::string_view X5Table::written_value(std::size_t row) const {
  return rule[row] == X5Rule::kKept ? value[row] : kReplacedX5Value;
}

TitleSet ReadTitles(std::string_view bytes) {
  TitleSet titles;
  // One record of every field; a title file has no record size.
  static constexpr auto kSlots = [] {
    std::array<int, kTitleSlotCount> slots{};
    for (int k = 1; k <= kTitleSlotCount; ++k) slots[static_cast<std::size_t>(k - 1)] = k;
    return slots;
  }();
  auto walked = WalkRecords(bytes, INT_MAX, 1, {kSlots, 0},
                            [&](int, int k, const Cell& cell) { titles.slots[static_cast<std::size_t>(k)] = cell; },
                            kNoRuns);
  titles.file = std::move(walked->facts);
  return titles;
}

std::optional<LayerList> ReadLayers(std::string_view bytes) {
  LayerList layers;
  layers.items.PadTo(1);
  static constexpr std::array<int, 1> kLayer{kX1LayerField};
  auto walked = WalkRecords(bytes, kX1FieldsPerRecord, kMaxRecordCount, {kLayer, 0},
                            [&](int, int, const Cell& cell) { layers.items.Append(cell); }, kNoRuns);
  if (!walked) return std::nullopt;
  layers.count = static_cast<std::int16_t>(walked->facts.records);
  layers.file = std::move(walked->facts);
  return layers;
}

namespace {

// What a table keeps of its records besides the depths: the rows' padding at row 0 and
// the wanted fields other than the depth (of the first 51 rows).
template <class Table>
struct Layout;

template <>
struct Layout<X5Table> {
  static constexpr int kFields = kX5FieldsPerRecord;
  static constexpr const auto& kWanted = kX5Fields;
  static_assert(kWanted.back() < kFields);  // see Walked
  static void Pad(X5Table& table) {
    table.value.PadTo(1);
    table.rule.push_back(X5Rule::kKept);
  }
  static void Keep(X5Table& table, const Cell& cell) {
    table.value.Append(cell);
    table.rule.push_back(IsPositiveX5Value(cell.text)                                      ? X5Rule::kKept
                         : IsDecimalNumber(cell.text) && DepthValue(cell.text) == 0.0 ? X5Rule::kZeroAlready
                                                                                        : X5Rule::kReplaced);
  }
};

template <>
struct Layout<X100Table> {
  static constexpr int kFields = kX100FieldsPerRecord;
  static constexpr const auto& kWanted = kX100Fields;
  static_assert(kWanted.back() < kFields);
  static void Pad(X100Table& table) { table.values.PadTo(X100Table::kValues); }
  static void Keep(X100Table& table, const Cell& cell) { table.values.Append(cell); }
};

}  // namespace

std::optional<X5Table> ReadX5(std::string_view bytes) { return X5Pieces(bytes, SIZE_MAX).ReadWhole(); }
std::optional<X100Table> ReadX100(std::string_view bytes) { return X100Pieces(bytes, SIZE_MAX).ReadWhole(); }

template <class Table>
Pieces<Table>::Pieces(std::string_view bytes, std::size_t piece_bytes) : bytes_(bytes) {
  bounds_.push_back(0);
  while (bytes.size() - bounds_.back() > piece_bytes) {
    const std::size_t line_end = bytes.find('\n', bounds_.back() + piece_bytes);
    if (line_end == std::string_view::npos || line_end + 1 == bytes.size()) break;
    bounds_.push_back(line_end + 1);
  }
  bounds_.push_back(bytes.size());
  pieces_.resize(bounds_.size() - 1);
}

template <class Table>
void Pieces<Table>::Read(std::size_t i) {
  using L = Layout<Table>;
  // Records after the first piece are numbered past the rows whose cells are kept, until
  // the join knows the records before them. Their first depth has none before it to be
  // compared with (NaN compares false), but the join compares it.
  Piece& piece = pieces_[i];
  const Stretch stretch{bounds_[i], bounds_[i + 1], i == 0 ? 0 : kKeptRows};
  Table table;
  table.depth_value.reserve(MostDepths(bytes_.substr(stretch.begin, stretch.end - stretch.begin), L::kFields));
  if (i == 0) {
    table.depth_value.push_back(0.0);
    table.depth.PadTo(1);
    L::Pad(table);
  } else {
    table.depth_value.push_back(std::numeric_limits<double>::quiet_NaN());
  }
  Cell previous;
  auto walked = WalkRecords(
      bytes_, L::kFields, stretch.records_before + kMaxRecordCount, {L::kWanted, L::kWanted[0]},
      [&](int r, int k, const Cell& cell) {
        if (k != L::kWanted[0]) return L::Keep(table, cell);
        if (r == stretch.records_before + 1) piece.first_depth = cell;
        KeepDepth(table, r, cell, previous);
      },
      [&](int r, std::span<const ScannedRecord> records) {
        if (r == stretch.records_before) piece.first_depth = WantedCell(bytes_, records.front().fields[0]);
        KeepDepths(table, r, records, bytes_, previous);
      },
      stretch);
  if (!walked) return;
  piece.last_depth = previous;
  piece.ends_at_line = walked->ends_at_line;
  table.count = static_cast<std::int16_t>(walked->facts.records);
  table.file = std::move(walked->facts);
  piece.table = std::move(table);
}

template <class Table>
std::optional<Table> Pieces<Table>::ReadWhole() {
  if (pieces_.size() != 1) return Pieces(bytes_, SIZE_MAX).ReadWhole();
  Read(0);
  return std::move(pieces_[0].table);
}

template <class Table>
std::optional<Table> Pieces<Table>::Join() {
  if (pieces_.size() == 1 || !pieces_[0].table) return std::move(pieces_[0].table);
  Table& joined = *pieces_[0].table;
  // The pieces up to the one whose data end at an end mark (the data's end).
  std::size_t last = 0;
  std::size_t depths = joined.depth_value.size();
  for (std::size_t i = 1; i < pieces_.size() && !pieces_[last].table->file.end_mark; last = i++) {
    const Piece& before = pieces_[last];
    const Piece& piece = pieces_[i];
    // A piece began at a record only where the one before ended at the end of a whole
    // record and a line; its records are numbered rightly only past the kept rows. Values
    // joined from a quote would lie in the piece's own table, and a piece of no records
    // (blank lines, or an end mark) leaves the facts of the one before: those are read whole.
    if (!before.ends_at_line || depths <= kKeptRows) return ReadWhole();
    if (!piece.table) return std::nullopt;  // more records than a file may hold
    if (piece.table->file.records == 0 || !piece.table->file.joined.empty()) return ReadWhole();
    depths += static_cast<std::size_t>(piece.table->file.records);
  }
  if (depths - 1 > static_cast<std::size_t>(kMaxRecordCount)) return std::nullopt;
  joined.depth_value.reserve(depths);
  for (std::size_t i = 1; i <= last; ++i) {
    Table& table = *pieces_[i].table;
    // Records of this piece are numbered from records_before + 1 in it.
    const int shift = static_cast<int>(joined.depth_value.size()) - 1 - kKeptRows;
    const double first = table.depth_value[1];
    const double before = joined.depth_value.back();
    if (first <= before) {
      joined.breaks.push_back({kKeptRows + 1 + shift, first == before, pieces_[i].first_depth, pieces_[i - 1].last_depth});
    }
    for (DepthBreak b : table.breaks) joined.breaks.push_back({b.record + shift, b.repeated, b.depth, b.before});
    joined.depth_value.insert(joined.depth_value.end(), table.depth_value.begin() + 1, table.depth_value.end());
    FileFacts& facts = table.file;
    joined.file.last_fields = facts.last_fields;
    joined.file.last_record_at = facts.last_record_at;
    if (facts.unclosed) {
      joined.file.unclosed = facts.unclosed;
      joined.file.unclosed_record = facts.unclosed_record + shift;
      joined.file.unclosed_field = facts.unclosed_field;
    }
    joined.file.end_mark = facts.end_mark;
    joined.file.data_after_end_mark = facts.data_after_end_mark;
  }
  joined.count = static_cast<std::int16_t>(joined.depth_value.size() - 1);
  joined.file.records = joined.count;
  return std::move(pieces_[0].table);
}

template class Pieces<X5Table>;
template class Pieces<X100Table>;

}  // namespace pel
