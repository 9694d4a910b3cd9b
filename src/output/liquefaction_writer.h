// The liquefaction input file: a TITLE record, a LAYER section and a POINT section of
// at most 50 rows each, every number a 10-character field, CR LF after every line.
// The file is built in memory; the conversion hands it whole to the atomic replace.
// The writer also hands over what it wrote: each number field with what formatting it
// found, and what it left out.
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

// One number field as written, and what writing it found.
struct WrittenField {
  std::array<char, kFieldWidth> chars{};
  Cell source;                // the text written, and where its field lies
  bool blank = false;         // the text is empty or blanks: 10 blanks written
  bool not_a_number = false;  // the text is not wholly one number: its leading number (or 0) written
  bool cut_to_zero = false;   // a number that is not zero, written with every digit 0
  std::string_view text() const { return std::string_view(chars.data(), chars.size()); }
};

// One written point row: each column as written, and the records it came from (0: none).
struct WrittenPoint {
  int row = 0;  // 1 to 50
  int x5_record = 0, x100_record = 0;
  std::array<WrittenField, kPointColumnCount> fields{};
  std::string_view field(PointColumn column) const { return fields[static_cast<std::size_t>(column)].text(); }
  const WrittenField& at(PointColumn column) const { return fields[static_cast<std::size_t>(column)]; }
};

// The file's bytes and what went into it.
struct WrittenFile {
  std::string bytes;
  std::size_t title_bytes = 0;         // of the title, those its 40 characters take
  std::vector<WrittenField> layers;    // row 1 first
  std::vector<WrittenPoint> points;
};

// "TITLE", 5 blanks, the title cut or padded to 40 Shift-JIS characters.
void WriteTitleSection(std::string& out, std::string_view title);
// The header "LAYER", 8 blanks, the written count (at most 50), then one row per layer;
// each field written is appended to `written`.
Expected<void, FieldOverflow> WriteLayerSection(std::string& out, const LayerList& layers,
                                                std::vector<WrittenField>& written);
// The header "POINT", 8 blanks, the written count (at most 50), then one 80-character row
// per point; each row written is appended to `written`.
Expected<void, FieldOverflow> WritePointSection(std::string& out, const PointList& points,
                                                std::vector<WrittenPoint>& written);

// The whole file.
Expected<WrittenFile, FieldOverflow> BuildLiquefactionFile(std::string_view title, const LayerList& layers,
                                                           const PointList& points);

}  // namespace pel
