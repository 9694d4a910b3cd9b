#include "run/conversion.h"

#include <optional>

#include "output/liquefaction_writer.h"
#include "source/merge.h"
#include "source/readers.h"

namespace pel {
namespace {

// X5 and X100 fields that the point columns come from.
constexpr int kX5DepthField = 2;
constexpr int kX5ValueField = 3;
constexpr int kX100DepthField = 3;
constexpr int kX100ValueFields[5] = {15, 18, 19, 22, 35};
constexpr int kX1LayerField = 2;

ConversionError Error(ConversionError::Kind kind, std::wstring path, std::wstring reason = {}) {
  ConversionError error;
  error.kind = kind;
  error.path = std::move(path);
  error.reason = std::move(reason);
  return error;
}

struct Loaded {
  std::wstring path;
  std::string bytes;  // empty when the file is absent
};

Expected<Loaded, ConversionError> Load(const FileSystem& fs, const std::wstring& folder, std::wstring_view name) {
  Loaded file;
  file.path = SourceFilePath(folder, name);
  auto bytes = LoadSourceFile(fs, file.path);
  if (!bytes) return Fail(Error(ConversionError::Kind::kUnreadable, file.path, std::move(bytes.error().reason)));
  if (*bytes) file.bytes = std::move(**bytes);
  return file;
}

// Traces a value that does not fit back to its source file, record and field.
ConversionError Trace(const FieldOverflow& overflow, const PointList& points, const std::wstring& x1,
                      const std::wstring& x5, const std::wstring& x100) {
  ConversionError error = Error(ConversionError::Kind::kValueTooWide, {});
  error.value = overflow.value;
  error.int_places = overflow.int_places;
  const auto row = static_cast<std::size_t>(overflow.row);
  if (overflow.section == FieldOverflow::Section::kLayer) {
    error.path = x1;
    error.record = overflow.row;
    error.field = kX1LayerField;
    return error;
  }
  const int x5_row = points.x5_row[row];
  const int x100_row = points.x100_row[row];
  const bool from_x5 = overflow.column == 0 || (overflow.column == -1 && x5_row > 0);
  if (from_x5) {
    error.path = x5;
    error.record = x5_row;
    error.field = overflow.column == 0 ? kX5ValueField : kX5DepthField;
  } else {
    error.path = x100;
    error.record = x100_row;
    error.field = overflow.column == -1 ? kX100DepthField : kX100ValueFields[overflow.column - 1];
  }
  return error;
}

}  // namespace

Expected<void, ConversionError> ConvertBorehole(FileSystem& fs, const std::wstring& source_folder,
                                                const std::wstring& destination_file) {
  using Kind = ConversionError::Kind;
  // Each file is loaded once; counting and reading work on the same bytes.
  auto title_file = Load(fs, source_folder, L"titl01.txt");
  if (!title_file) return Fail(std::move(title_file.error()));
  TitleSet titles;
  ReadTitles(title_file->bytes, titles);

  auto x1_file = Load(fs, source_folder, L"X1.txt");
  if (!x1_file) return Fail(std::move(x1_file.error()));
  const auto layer_count = CountRecords(x1_file->bytes, kX1FieldsPerRecord);
  if (!layer_count) return Fail(Error(Kind::kTooManyRecords, x1_file->path));
  const LayerList layers = ReadLayers(x1_file->bytes, *layer_count);
  x1_file->bytes = std::string();

  auto x5_file = Load(fs, source_folder, L"X5.txt");
  if (!x5_file) return Fail(std::move(x5_file.error()));
  const auto x5 = ReadX5(x5_file->bytes);
  if (!x5) return Fail(Error(Kind::kTooManyRecords, x5_file->path));
  x5_file->bytes = std::string();

  auto x100_file = Load(fs, source_folder, L"X100.txt");
  if (!x100_file) return Fail(std::move(x100_file.error()));
  const auto x100 = ReadX100(x100_file->bytes);
  if (!x100) return Fail(Error(Kind::kTooManyRecords, x100_file->path));
  x100_file->bytes = std::string();
  if (x5->count + x100->count > kMaxRecordCount) return Fail(Error(Kind::kTooManyPoints, x5_file->path));

  const PointList points = MergePoints(*x5, *x100);

  auto written = WriteLiquefactionFile(fs, destination_file, titles.slots[1], layers, points);
  if (!written) {
    if (const auto* overflow = std::get_if<FieldOverflow>(&written.error())) {
      return Fail(Trace(*overflow, points, x1_file->path, x5_file->path, x100_file->path));
    }
    return Fail(Error(ConversionError::Kind::kWriteFailed, destination_file,
                      std::get<FsError>(written.error()).reason));
  }
  return {};
}

std::wstring DescribeConversionError(const ConversionError& error, const TextCodec& codec) {
  using Kind = ConversionError::Kind;
  switch (error.kind) {
    case Kind::kUnreadable:
      return L"ファイルを読み込めません。\n" + error.path + L"\n" + error.reason;
    case Kind::kTooManyRecords:
      return L"レコード数が多すぎます（32767 件まで）。\n" + error.path;
    case Kind::kTooManyPoints:
      return L"X5.txt と X100.txt のレコード数の合計が多すぎます（32767 件まで）。\n" + error.path;
    case Kind::kValueTooWide:
      return L"数値が出力欄の整数 " + std::to_wstring(error.int_places) + L" 桁に収まりません。\n" + error.path +
             L"\nレコード " + std::to_wstring(error.record) + L"、項目 " + std::to_wstring(error.field) +
             L" の値：" + codec.FromCp932(error.value) + L"\n変換先ファイルは書き込んでいません。";
    case Kind::kWriteFailed:
      return L"変換先ファイルを書き込めません。\n" + error.path + L"\n" + error.reason;
  }
  return {};
}

}  // namespace pel
