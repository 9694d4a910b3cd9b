// Which source fields the converter takes, and how each written column is formatted.
// The readers, the point merge, the writer and the error trace all read this one map,
// so a field number or a column format is changed here and nowhere else.
#pragma once

#include <array>
#include <cstddef>

namespace pel {

enum class SourceFile { kTitle, kX1, kX5, kX100 };

// The file names as the borehole-log editor writes them.
inline constexpr const wchar_t* kSourceFileNames[] = {L"titl01.txt", L"X1.txt", L"X5.txt", L"X100.txt"};
constexpr const wchar_t* SourceFileName(SourceFile file) { return kSourceFileNames[static_cast<std::size_t>(file)]; }

// Fields per record of the three record files.
inline constexpr int kX1FieldsPerRecord = 4;
inline constexpr int kX5FieldsPerRecord = 11;
inline constexpr int kX100FieldsPerRecord = 44;

// A written number field: `int_places` integer places, a point, `decimals` decimals.
struct NumberFormat {
  int int_places;
  int decimals;
  constexpr int width() const { return int_places + 1 + decimals; }
};

// The layer section writes field 2 of each X1 record.
inline constexpr int kX1LayerField = 2;
inline constexpr NumberFormat kLayerFormat{7, 2};

// The columns of a point row, left to right.
enum class PointColumn { kDepth, kX5Value, kX100Value1, kX100Value2, kX100Value3, kX100Value4, kX100Value5 };
inline constexpr std::size_t kPointColumnCount = 7;

// Where a point column comes from: a field of X5 and/or X100 (0: not from that file).
// The depth is in both; equal depths make one row with the X5 depth.
struct PointColumnSource {
  PointColumn column;
  int x5_field;
  int x100_field;
  NumberFormat format;
};

inline constexpr PointColumnSource kPointColumns[kPointColumnCount] = {
    {PointColumn::kDepth, 2, 3, {7, 2}},       {PointColumn::kX5Value, 3, 0, {7, 2}},
    {PointColumn::kX100Value1, 0, 15, {7, 2}}, {PointColumn::kX100Value2, 0, 18, {7, 2}},
    {PointColumn::kX100Value3, 0, 19, {7, 2}}, {PointColumn::kX100Value4, 0, 22, {7, 2}},
    {PointColumn::kX100Value5, 0, 35, {6, 3}},
};

constexpr const PointColumnSource& PointColumnOf(PointColumn column) {
  return kPointColumns[static_cast<std::size_t>(column)];
}

// The fields a reader takes from each record, in field order: X5 depth and value; X100
// depth and its five values.
template <std::size_t N>
constexpr std::array<int, N> FieldsOf(int PointColumnSource::*field) {
  std::array<int, N> fields{};
  std::size_t n = 0;
  for (const auto& c : kPointColumns) {
    if (c.*field != 0) fields[n++] = c.*field;
  }
  return fields;
}
inline constexpr std::array<int, 2> kX5Fields = FieldsOf<2>(&PointColumnSource::x5_field);
inline constexpr std::array<int, 6> kX100Fields = FieldsOf<6>(&PointColumnSource::x100_field);

// A record is read front to back, so each reader's fields must ascend within the record.
template <std::size_t N>
constexpr bool AscendWithin(const std::array<int, N>& fields, int fields_per_record) {
  for (std::size_t i = 0; i < N; ++i) {
    if (fields[i] < 1 || fields[i] > fields_per_record || (i > 0 && fields[i] <= fields[i - 1])) return false;
  }
  return true;
}
static_assert(AscendWithin(kX5Fields, kX5FieldsPerRecord));
static_assert(AscendWithin(kX100Fields, kX100FieldsPerRecord));
static_assert(kX1LayerField <= kX1FieldsPerRecord);

// Every written number field is 10 characters wide.
inline constexpr std::size_t kFieldWidth = 10;
constexpr bool AllFieldsAreTenWide() {
  for (const auto& c : kPointColumns) {
    if (c.format.width() != static_cast<int>(kFieldWidth)) return false;
  }
  return kLayerFormat.width() == static_cast<int>(kFieldWidth);
}
static_assert(AllFieldsAreTenWide());

}  // namespace pel
