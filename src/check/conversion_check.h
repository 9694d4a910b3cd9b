// The conversion check: every place where the written file does not carry the source as
// it stands. It judges from what the conversion recorded while it read, merged and
// wrote (the readers' cells and facts, the merge's rows, the fields the writer wrote and
// what it found); it reads no file and formats no value of its own.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "check/findings.h"
#include "output/liquefaction_writer.h"
#include "source/source_files.h"
#include "source/tables.h"

namespace pel {

// One source file as the conversion read it: its name as found on disk, its bytes
// (empty when the file is absent), for the lines of what is reported.
struct CheckedFile {
  std::wstring name;
  std::string_view bytes;
  Absence absence = Absence::kNone;  // why the conversion took it as absent
};

struct CheckInput {
  std::array<CheckedFile, 4> files;  // by SourceFile
  const TitleSet& titles;
  const LayerList& layers;
  const X5Table& x5;
  const X100Table& x100;
  const PointList& points;
  const WrittenFile& written;
};

// The findings in file order (titl01, X1, X5, X100), then by line, field and kind.
std::vector<Finding> CheckConversion(const CheckInput& input);

// Where the byte offsets `offsets` (ascending) of `bytes` lie: each one's line (from 1)
// and the offset that line starts at, counted in one pass from the start; CR LF, LF and
// CR each end a line.
struct LinePlace {
  int line;
  std::size_t start;
};
std::vector<LinePlace> LinePlacesOf(std::string_view bytes, const std::vector<std::size_t>& offsets);
// Their lines only.
std::vector<int> LinesOf(std::string_view bytes, const std::vector<std::size_t>& offsets);

// The characters of a finding's source line that are kept.
inline constexpr std::size_t kLineTextChars = 200;

}  // namespace pel
