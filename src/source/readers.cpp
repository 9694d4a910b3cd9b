#include "source/readers.h"

#include <algorithm>
#include <limits>

#include "source/decimal.h"
#include "source/field_reader.h"

namespace pel {
namespace {

std::size_t Rows(std::int16_t count) { return static_cast<std::size_t>(std::max<int>(count, 0)) + 1; }

// Reads the `fields` fields of one record, handing the k-th wanted field's value to
// keep(k, value) and skipping the rest.
template <std::size_t N, class Keep>
void ReadRecord(FieldReader& reader, int fields, const std::array<int, N>& wanted, std::string& scratch, Keep keep) {
  std::size_t next = 0;
  for (int k = 1; k <= fields; ++k) {
    if (next < N && wanted[next] == k) {
      keep(next, reader.ReadField(scratch));
      ++next;
    } else {
      reader.SkipField();
    }
  }
}

}  // namespace

void ReadTitles(std::string_view bytes, TitleSet& titles) {
  FieldReader reader(bytes);
  for (int n = 1; n <= kTitleSlotCount && !reader.AtEnd(); ++n) {
    titles.slots[static_cast<std::size_t>(n)] = reader.ReadField();
  }
}

std::optional<std::int16_t> CountRecords(std::string_view bytes, int fields_per_record) {
  FieldReader reader(bytes);
  int count = 0;
  while (!reader.AtEnd()) {
    if (count == kMaxRecordCount) return std::nullopt;
    ++count;
    for (int k = 0; k < fields_per_record && !reader.AtEnd(); ++k) reader.SkipField();
  }
  return static_cast<std::int16_t>(count);
}

LayerList ReadLayers(std::string_view bytes, std::int16_t count) {
  LayerList layers;
  layers.count = count;
  const std::size_t rows = Rows(std::min<std::int16_t>(count, kMaxWrittenRows));
  layers.items.PadTo(1);
  FieldReader reader(bytes);
  std::string scratch;
  static constexpr std::array<int, 1> kWanted{kX1LayerField};
  while (layers.items.size() < rows && !reader.AtEnd()) {
    ReadRecord(reader, kX1FieldsPerRecord, kWanted, scratch,
               [&](std::size_t, std::string_view value) { layers.items.Append(value); });
  }
  layers.items.PadTo(rows);
  return layers;
}

bool IsPositiveX5Value(std::string_view text) {
  if (!IsDecimalNumber(text)) return false;
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  const double value = ParseDecimalPrefix(text).value;
  if (!(value > 0.0)) return false;
  // Converting a double beyond float range is undefined; such a value is positive.
  if (value > static_cast<double>(std::numeric_limits<float>::max())) return true;
  return static_cast<float>(value) > 0.0f;
}

std::optional<X5Table> ReadX5(std::string_view bytes) {
  X5Table table;
  table.depth.PadTo(1);
  table.value.PadTo(1);
  FieldReader reader(bytes);
  std::string scratch;
  while (!reader.AtEnd()) {
    if (table.depth.size() > kMaxRecordCount) return std::nullopt;
    ReadRecord(reader, kX5FieldsPerRecord, kX5Fields, scratch, [&](std::size_t which, std::string_view value) {
      if (which == 0) {
        table.depth.Append(value);
      } else {
        table.value.Append(IsPositiveX5Value(value) ? value : std::string_view("0"));
      }
    });
  }
  table.count = static_cast<std::int16_t>(table.depth.size() - 1);
  return table;
}

std::optional<X100Table> ReadX100(std::string_view bytes) {
  X100Table table;
  table.depth.PadTo(1);
  table.values.PadTo(X100Table::kValues);
  FieldReader reader(bytes);
  std::string scratch;
  while (!reader.AtEnd()) {
    if (table.depth.size() > kMaxRecordCount) return std::nullopt;
    ReadRecord(reader, kX100FieldsPerRecord, kX100Fields, scratch, [&](std::size_t which, std::string_view value) {
      (which == 0 ? table.depth : table.values).Append(value);
    });
  }
  table.count = static_cast<std::int16_t>(table.depth.size() - 1);
  return table;
}

}  // namespace pel
