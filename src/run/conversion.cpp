#include "run/conversion.h"

#include <algorithm>
#include <array>
#include <optional>

#include "check/conversion_check.h"
#include "output/liquefaction_writer.h"
#include "util/folder_paths.h"
#include "source/merge.h"
#include "source/readers.h"
#include "util/cp932.h"
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
  std::wstring name;  // as found on disk, or the editor's own name when absent
  std::wstring path;
  std::string bytes;  // empty when the file is absent
};

bool SameNameIgnoringCase(std::wstring_view a, std::wstring_view b) {
  auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](wchar_t x, wchar_t y) { return lower(x) == lower(y); });
}

Unexpected<ConversionError> Unreadable(std::wstring path, FsError error) {
  return Fail(Error(ConversionError::Kind::kUnreadable, std::move(path), std::move(error.reason)));
}

// A source file found in the folder's listing, whatever the letter case of its name,
// as Windows finds it; hidden and system files count as absent. Two names that differ
// only in case (possible on other systems) cannot both be the file: an error.
Expected<Loaded, ConversionError> LoadListed(const FileSystem& fs, const std::wstring& folder,
                                             const std::vector<FolderEntry>& listing, SourceFile which) {
  Loaded file;
  file.name = SourceFileName(which);
  const FolderEntry* found = nullptr;
  for (const auto& entry : listing) {
    if (entry.is_folder || !SameNameIgnoringCase(entry.name, file.name)) continue;
    if (found) {
      return Unreadable(JoinPath(folder, found->name),
                        FsError{texts::FillText(texts::kNamesDifferOnlyInCase, {found->name + L" / " + entry.name})});
    }
    found = &entry;
  }
  if (found) file.name = found->name;
  file.path = JoinPath(folder, file.name);
  if (!found || found->is_hidden) return file;
  auto bytes = ReadSourceFile(fs, file.path);
  if (!bytes) return Unreadable(file.path, std::move(bytes.error()));
  file.bytes = std::move(*bytes);
  return file;
}

// Without a listing: each file looked up by the editor's name.
Expected<Loaded, ConversionError> LoadUnlisted(const FileSystem& fs, const std::wstring& folder, SourceFile which) {
  Loaded file;
  file.name = SourceFileName(which);
  file.path = JoinPath(folder, file.name);
  auto bytes = LoadSourceFile(fs, file.path);
  if (!bytes) return Unreadable(file.path, std::move(bytes.error()));
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

Expected<PreparedFile, ConversionError> PrepareBorehole(const FileSystem& fs, const std::wstring& source_folder,
                                                        FolderRule rule) {
  using Kind = ConversionError::Kind;
  // One listing finds the four files; each is loaded once, and counting, reading and
  // checking work on the same bytes.
  const auto listing = fs.ListFolder(WithBackslash(source_folder));
  if (!listing && rule == FolderRule::kMustBeReadable) {
    return Fail(Error(Kind::kFolderUnreadable, source_folder, listing.error().reason));
  }
  std::array<Loaded, 4> files;
  for (SourceFile which : {SourceFile::kTitle, SourceFile::kX1, SourceFile::kX5, SourceFile::kX100}) {
    auto loaded = listing ? LoadListed(fs, source_folder, *listing, which) : LoadUnlisted(fs, source_folder, which);
    if (!loaded) return Fail(std::move(loaded.error()));
    files[static_cast<std::size_t>(which)] = std::move(*loaded);
  }
  const Loaded& title_file = files[static_cast<std::size_t>(SourceFile::kTitle)];
  const Loaded& x1_file = files[static_cast<std::size_t>(SourceFile::kX1)];
  const Loaded& x5_file = files[static_cast<std::size_t>(SourceFile::kX5)];
  const Loaded& x100_file = files[static_cast<std::size_t>(SourceFile::kX100)];

  TitleSet titles;
  ReadTitles(title_file.bytes, titles);
  const auto layer_count = CountRecords(x1_file.bytes, kX1FieldsPerRecord);
  if (!layer_count) return Fail(Error(Kind::kTooManyRecords, x1_file.path));
  const LayerList layers = ReadLayers(x1_file.bytes, *layer_count);
  const auto x5 = ReadX5(x5_file.bytes);
  if (!x5) return Fail(Error(Kind::kTooManyRecords, x5_file.path));
  const auto x100 = ReadX100(x100_file.bytes);
  if (!x100) return Fail(Error(Kind::kTooManyRecords, x100_file.path));
  if (x5->count + x100->count > kMaxRecordCount) return Fail(Error(Kind::kTooManyPoints, x5_file.path));

  const PointList points = MergePoints(*x5, *x100);
  auto written = BuildLiquefactionFile(titles.slots[1], layers, points);
  if (!written) return Fail(Trace(written.error(), points, x1_file.path, x5_file.path, x100_file.path));

  PreparedFile prepared;
  prepared.bytes = std::move(written->bytes);
  prepared.report.points = std::move(written->points);
  ConversionCounts& counts = prepared.report.counts;
  counts.layers = layers.count;
  counts.layers_written = std::min<int>(layers.count, kMaxWrittenRows);
  counts.x5 = x5->count;
  counts.x100 = x100->count;
  counts.points = points.count;
  counts.points_written = std::min<int>(points.count, kMaxWrittenRows);

  CheckInput input{{}, titles.slots[1], layers, points};
  for (std::size_t i = 0; i < files.size(); ++i) input.files[i] = {files[i].name, files[i].bytes};
  prepared.report.findings = CheckConversion(input);
  return prepared;
}

Expected<void, ConversionError> WritePreparedFile(FileSystem& fs, const PreparedFile& prepared,
                                                  const std::wstring& destination_file) {
  if (auto written = fs.AtomicReplace(destination_file, prepared.bytes); !written) {
    return Fail(Error(ConversionError::Kind::kWriteFailed, destination_file, std::move(written.error().reason)));
  }
  return {};
}

Expected<ConversionReport, ConversionError> ConvertBorehole(FileSystem& fs, const std::wstring& source_folder,
                                                            const std::wstring& destination_file) {
  auto prepared = PrepareBorehole(fs, source_folder);
  if (!prepared) return Fail(std::move(prepared.error()));
  if (auto written = WritePreparedFile(fs, *prepared, destination_file); !written) return Fail(std::move(written.error()));
  return std::move(prepared->report);
}

std::wstring DescribeConversionError(const ConversionError& error) {
  using Kind = ConversionError::Kind;
  switch (error.kind) {
    case Kind::kUnreadable: return texts::FillText(texts::kUnreadable, {error.path, error.reason});
    case Kind::kTooManyRecords: return texts::FillText(texts::kTooManyRecords, {error.path});
    case Kind::kTooManyPoints: return texts::FillText(texts::kTooManyPoints, {error.path});
    case Kind::kValueTooWide:
      return texts::FillText(texts::kValueTooWide,
                             {std::to_wstring(error.int_places), error.path, std::to_wstring(error.record),
                              std::to_wstring(error.field), Cp932ToWide(error.value)});
    case Kind::kWriteFailed: return texts::FillText(texts::kWriteFailed, {error.path, error.reason});
    case Kind::kFolderUnreadable: return texts::FillText(texts::kCannotOpenFolder, {error.path, error.reason});
  }
  return {};
}

}  // namespace pel
