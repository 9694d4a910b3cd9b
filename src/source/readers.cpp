#include "source/readers.h"

#include <climits>
#include <limits>

#include "source/decimal.h"
#include "source/field_reader.h"
#include "source/merge.h"

namespace pel {
namespace {

bool IsBlankOrLineEnd(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Walks a whole file record by record. For each record r (from 1) and each of its
// fields k (from 1), keep(r, k, cell) decides what to do with the field: it is handed
// the field when wanted(r, k) says so, else skipped. Records past `max_records` are not
// read: nothing is returned then.
template <class Wanted, class Keep>
std::optional<FileFacts> WalkRecords(std::string_view bytes, int fields_per_record, int max_records, Wanted wanted,
                                     Keep keep) {
  std::optional<FileFacts> facts(std::in_place);
  FieldReader reader(bytes);
  std::string scratch;
  FieldSpan span;
  int r = 0;
  while (!reader.AtEnd()) {
    if (r == max_records) return std::nullopt;
    ++r;
    int k = 0;
    char last_separator = 0;
    std::size_t last_end = 0;
    while (k < fields_per_record && !reader.AtEnd()) {
      ++k;
      if (wanted(r, k)) {
        std::string_view value = reader.ReadField(scratch, span);
        if (!value.empty() && value.data() == scratch.data()) value = facts->joined.emplace_back(value);
        keep(r, k, Cell{value, static_cast<std::uint32_t>(span.start)});
      } else {
        reader.SkipField(span);
      }
      if (k == 1) facts->last_record_at = static_cast<std::uint32_t>(span.start);
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
    // "...,5.2," at the very end: the empty field after the comma is the record's too.
    facts->last_fields = k < fields_per_record && last_separator == ',' ? k + 1 : k;
    // Fields the record lacks read as empty, where the record ends.
    while (fields_per_record != INT_MAX && k < fields_per_record) {
      if (wanted(r, ++k)) keep(r, k, Cell{{}, static_cast<std::uint32_t>(last_end)});
    }
  }
  facts->records = r;
  if (const auto mark = reader.end_mark()) {
    facts->end_mark = static_cast<std::uint32_t>(*mark);
    for (std::size_t i = *mark + 1; i < bytes.size() && !facts->data_after_end_mark; ++i) {
      facts->data_after_end_mark = !IsBlankOrLineEnd(bytes[i]);
    }
  }
  return facts;
}

// Where a field sits among the wanted ones: its index, or -1.
template <std::size_t N>
int IndexOf(const std::array<int, N>& fields, int k) {
  for (std::size_t i = 0; i < N; ++i) {
    if (fields[i] == k) return static_cast<int>(i);
  }
  return -1;
}

// Keeps each depth's value, notes where the order breaks, and keeps the depth's cell for
// the first rows.
template <class Table>
void KeepDepth(Table& table, int r, const Cell& depth, Cell& previous) {
  const double value = DepthValue(depth.text);
  if (r > 1) {
    const double before = table.depth_value.back();
    if (value <= before) table.breaks.push_back({r, value == before, depth, previous});
  }
  table.depth_value.push_back(value);
  previous = depth;
  if (r <= kKeptRows) table.depth.Append(depth);
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
  auto facts = WalkRecords(
      bytes, INT_MAX, 1, [](int, int k) { return k <= kTitleSlotCount; },
      [&](int, int k, const Cell& cell) { titles.slots[static_cast<std::size_t>(k)] = cell; });
  titles.file = std::move(*facts);
  return titles;
}

std::optional<LayerList> ReadLayers(std::string_view bytes) {
  LayerList layers;
  layers.items.PadTo(1);
  auto facts = WalkRecords(
      bytes, kX1FieldsPerRecord, kMaxRecordCount, [](int r, int k) { return r <= kKeptRows && k == kX1LayerField; },
      [&](int, int, const Cell& cell) { layers.items.Append(cell); });
  if (!facts) return std::nullopt;
  layers.count = static_cast<std::int16_t>(facts->records);
  layers.file = std::move(*facts);
  return layers;
}

std::optional<X5Table> ReadX5(std::string_view bytes) {
  X5Table table;
  table.depth_value.push_back(0.0);
  table.depth.PadTo(1);
  table.value.PadTo(1);
  table.rule.push_back(X5Rule::kKept);
  Cell previous;
  auto facts = WalkRecords(
      bytes, kX5FieldsPerRecord, kMaxRecordCount,
      [](int r, int k) { return k == kX5Fields[0] || (r <= kKeptRows && k == kX5Fields[1]); },
      [&](int r, int k, const Cell& cell) {
        if (k == kX5Fields[0]) return KeepDepth(table, r, cell, previous);
        table.value.Append(cell);
        table.rule.push_back(IsPositiveX5Value(cell.text)                                      ? X5Rule::kKept
                             : IsDecimalNumber(cell.text) && DepthValue(cell.text) == 0.0 ? X5Rule::kZeroAlready
                                                                                            : X5Rule::kReplaced);
      });
  if (!facts) return std::nullopt;
  table.count = static_cast<std::int16_t>(facts->records);
  table.file = std::move(*facts);
  return table;
}

std::optional<X100Table> ReadX100(std::string_view bytes) {
  X100Table table;
  table.depth_value.push_back(0.0);
  table.depth.PadTo(1);
  table.values.PadTo(X100Table::kValues);
  Cell previous;
  auto facts = WalkRecords(
      bytes, kX100FieldsPerRecord, kMaxRecordCount,
      [](int r, int k) { return k == kX100Fields[0] || (r <= kKeptRows && IndexOf(kX100Fields, k) > 0); },
      [&](int r, int k, const Cell& cell) {
        if (k == kX100Fields[0]) return KeepDepth(table, r, cell, previous);
        table.values.Append(cell);
      });
  if (!facts) return std::nullopt;
  table.count = static_cast<std::int16_t>(facts->records);
  table.file = std::move(*facts);
  return table;
}

}  // namespace pel
