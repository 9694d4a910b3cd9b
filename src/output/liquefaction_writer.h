// The liquefaction input file: a TITLE record, a LAYER section and a POINT section of
// at most 50 rows each, every number a 10-character field, CR LF after every line.
// The file is built in memory; the conversion hands it whole to the atomic replace.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "source/tables.h"
#include "util/expected.h"

namespace pel {

// A value that does not fit its field. `row` is the layer or point row (from 1);
// `column` the point row's column (a layer row has one column only).
struct FieldOverflow {
  enum class Section { kLayer, kPoint };
  Section section = Section::kLayer;
  int row = 0;
  PointColumn column = PointColumn::kDepth;
  int int_places = 0;
  std::string value;
};

// The title's characters written: 40, counted as Shift-JIS characters (a lead byte and
// the byte after it are one).
inline constexpr int kTitleChars = 40;

// How many bytes of `title` the TITLE record takes: those of its first 40 characters.
std::size_t TitleBytesWritten(std::string_view title);

// One written point row as the file holds it: the 10 characters of each column, and the
// records it came from (0: none).
struct WrittenPoint {
  int row = 0;  // 1 to 50
  int x5_record = 0, x100_record = 0;
  std::array<std::array<char, kFieldWidth>, kPointColumnCount> fields{};
  std::string_view field(PointColumn column) const {
    const auto& f = fields[static_cast<std::size_t>(column)];
    return std::string_view(f.data(), f.size());
  }
};

// The file's bytes and the point rows written into it.
struct WrittenFile {
  std::string bytes;
  std::vector<WrittenPoint> points;
};

// "TITLE", 5 blanks, the title cut or padded to 40 Shift-JIS characters.
void WriteTitleSection(std::string& out, std::string_view title);
// The header "LAYER", 8 blanks, the written count (at most 50), then one row per layer.
Expected<void, FieldOverflow> WriteLayerSection(std::string& out, const LayerList& layers);
// The header "POINT", 8 blanks, the written count (at most 50), then one 80-character row
// per point; each row written is also appended to `written`.
Expected<void, FieldOverflow> WritePointSection(std::string& out, const PointList& points,
                                                std::vector<WrittenPoint>& written);

// The whole file.
Expected<WrittenFile, FieldOverflow> BuildLiquefactionFile(std::string_view title, const LayerList& layers,
                                                           const PointList& points);

}  // namespace pel
