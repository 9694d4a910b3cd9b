#include "source/readers.h"

#include <algorithm>
#include <limits>

#include "source/decimal.h"
#include "source/field_reader.h"

namespace pel {
namespace {

std::size_t Rows(std::int16_t count) { return static_cast<std::size_t>(std::max<int>(count, 0)) + 1; }

// Reads `fields` fields of one record, handing field k (1-based) to keep(k, value) for
// the fields in `wanted` and skipping the rest.
template <std::size_t N, class Keep>
void ReadRecord(FieldReader& reader, int fields, const std::array<int, N>& wanted, Keep keep) {
  std::size_t next = 0;
  for (int k = 1; k <= fields; ++k) {
    if (next < N && wanted[next] == k) {
      keep(next, reader.ReadField());
      ++next;
    } else {
      reader.SkipField();
    }
  }
}

}  // namespace

std::wstring SourceFilePath(const std::wstring& folder, std::wstring_view name) {
  std::wstring path = folder;
  if (path.empty() || path.back() != L'\\') path += L'\\';
  path += name;
  return path;
}

Expected<std::optional<std::string>, FsError> LoadSourceFile(const FileSystem& fs, const std::wstring& path) {
  if (!fs.IsOrdinaryFile(path)) return std::optional<std::string>();
  auto bytes = fs.ReadWholeFile(path);
  if (!bytes) return Fail(std::move(bytes.error()));
  return std::optional<std::string>(std::move(*bytes));
}

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

LayerList MakeLayerList(std::int16_t count) {
  LayerList layers;
  layers.count = count;
  layers.items.resize(Rows(std::min<std::int16_t>(count, kMaxWrittenRows)));
  return layers;
}

void ReadLayers(std::string_view bytes, LayerList& layers) {
  FieldReader reader(bytes);
  static constexpr std::array<int, 1> kWanted{2};
  for (std::size_t n = 1; n < layers.items.size() && !reader.AtEnd(); ++n) {
    ReadRecord(reader, kX1FieldsPerRecord, kWanted, [&](std::size_t, std::string value) {
      layers.items[n] = std::move(value);
    });
  }
}

X5Table MakeX5Table(std::int16_t count) {
  X5Table table;
  table.count = count;
  table.depth.resize(Rows(count));
  table.value.resize(Rows(count));
  return table;
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

void ReadX5(std::string_view bytes, X5Table& table) {
  FieldReader reader(bytes);
  static constexpr std::array<int, 2> kWanted{2, 3};
  for (std::size_t n = 1; n < table.depth.size() && !reader.AtEnd(); ++n) {
    ReadRecord(reader, kX5FieldsPerRecord, kWanted, [&](std::size_t which, std::string value) {
      (which == 0 ? table.depth[n] : table.value[n]) = std::move(value);
    });
    if (!IsPositiveX5Value(table.value[n])) table.value[n] = std::string(1, '0');
  }
}

X100Table MakeX100Table(std::int16_t count) {
  X100Table table;
  table.count = count;
  table.depth.resize(Rows(count));
  table.values.resize(Rows(count));
  return table;
}

void ReadX100(std::string_view bytes, X100Table& table) {
  FieldReader reader(bytes);
  // Field 3 is the depth; fields 15, 18, 19, 22 and 35 are values 0 to 4.
  static constexpr std::array<int, 6> kWanted{3, 15, 18, 19, 22, 35};
  for (std::size_t n = 1; n < table.depth.size() && !reader.AtEnd(); ++n) {
    ReadRecord(reader, kX100FieldsPerRecord, kWanted, [&](std::size_t which, std::string value) {
      (which == 0 ? table.depth[n] : table.values[n][which - 1]) = std::move(value);
    });
  }
}

}  // namespace pel
