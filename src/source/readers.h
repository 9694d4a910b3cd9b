// The readers of a borehole export folder. Each works on a source file's bytes, which
// the run loads once through the file-system port (LoadSourceFile), counts with
// CountRecords and then reads into a table sized from that count.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "source/tables.h"
#include "util/expected.h"

namespace pel {

inline constexpr int kX1FieldsPerRecord = 4;
inline constexpr int kX5FieldsPerRecord = 11;
inline constexpr int kX100FieldsPerRecord = 44;

// The folder path, then "\" unless it already ends with one, then the file name.
std::wstring SourceFilePath(const std::wstring& folder, std::wstring_view name);

// The bytes of a source file, or nothing when the folder has no such ordinary file
// (a missing file is not an error). Fails only when the file exists but cannot be read.
Expected<std::optional<std::string>, FsError> LoadSourceFile(const FileSystem& fs, const std::wstring& path);

// Fills slots 1 to 50 with the file's fields in order; fields after the 50th are ignored.
void ReadTitles(std::string_view bytes, TitleSet& titles);

// The number of records of `fields_per_record` fields; a short last record counts.
// Nothing when the count would exceed 32767.
std::optional<std::int16_t> CountRecords(std::string_view bytes, int fields_per_record);

// The readers expect tables created by MakeLayerList / MakeX5Table / MakeX100Table
// from the count of the same bytes. A short last record keeps what it has; its missing
// fields stay empty.
LayerList MakeLayerList(std::int16_t count);
void ReadLayers(std::string_view bytes, LayerList& layers);

X5Table MakeX5Table(std::int16_t count);
void ReadX5(std::string_view bytes, X5Table& table);

X100Table MakeX100Table(std::int16_t count);
void ReadX100(std::string_view bytes, X100Table& table);

// The X5 value check: true when `text` is a decimal number whose single-precision
// value is above zero. A positive number beyond single-precision range counts.
bool IsPositiveX5Value(std::string_view text);

}  // namespace pel
