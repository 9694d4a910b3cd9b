#include "run/conversion.h"

#include <optional>

#include "output/liquefaction_writer.h"
#include "paths/folder_paths.h"
#include "source/merge.h"
#include "source/readers.h"
#include "util/user_texts.h"

namespace pel {
namespace {

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

Expected<Loaded, ConversionError> Load(const FileSystem& fs, const std::wstring& folder, SourceFile which) {
  Loaded file;
  file.path = JoinPath(folder, SourceFileName(which));
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
  // A depth comes from X5 when the row has an X5 record (equal depths keep the X5 text).
  const PointColumnSource& column = PointColumnOf(overflow.column);
  const int x5_row = points.x5_row[row];
  const bool from_x5 = column.x5_field != 0 && (column.x100_field == 0 || x5_row > 0);
  error.path = from_x5 ? x5 : x100;
  error.record = from_x5 ? x5_row : points.x100_row[row];
  error.field = from_x5 ? column.x5_field : column.x100_field;
  return error;
}

}  // namespace

Expected<void, ConversionError> ConvertBorehole(FileSystem& fs, const std::wstring& source_folder,
                                                const std::wstring& destination_file) {
  using Kind = ConversionError::Kind;
  // Each file is loaded once; counting and reading work on the same bytes.
  auto title_file = Load(fs, source_folder, SourceFile::kTitle);
  if (!title_file) return Fail(std::move(title_file.error()));
  TitleSet titles;
  ReadTitles(title_file->bytes, titles);

  auto x1_file = Load(fs, source_folder, SourceFile::kX1);
  if (!x1_file) return Fail(std::move(x1_file.error()));
  const auto layer_count = CountRecords(x1_file->bytes, kX1FieldsPerRecord);
  if (!layer_count) return Fail(Error(Kind::kTooManyRecords, x1_file->path));
  const LayerList layers = ReadLayers(x1_file->bytes, *layer_count);
  x1_file->bytes = std::string();

  auto x5_file = Load(fs, source_folder, SourceFile::kX5);
  if (!x5_file) return Fail(std::move(x5_file.error()));
  const auto x5 = ReadX5(x5_file->bytes);
  if (!x5) return Fail(Error(Kind::kTooManyRecords, x5_file->path));
  x5_file->bytes = std::string();

  auto x100_file = Load(fs, source_folder, SourceFile::kX100);
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
    case Kind::kUnreadable: return texts::FillText(texts::kUnreadable, {error.path, error.reason});
    case Kind::kTooManyRecords: return texts::FillText(texts::kTooManyRecords, {error.path});
    case Kind::kTooManyPoints: return texts::FillText(texts::kTooManyPoints, {error.path});
    case Kind::kValueTooWide:
      return texts::FillText(texts::kValueTooWide,
                             {std::to_wstring(error.int_places), error.path, std::to_wstring(error.record),
                              std::to_wstring(error.field), codec.FromCp932(error.value)});
    case Kind::kWriteFailed: return texts::FillText(texts::kWriteFailed, {error.path, error.reason});
  }
  return {};
}

}  // namespace pel
