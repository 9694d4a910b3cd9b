// The conversion check: from the bytes the conversion read and the tables it wrote,
// every place where the written file does not carry the source as it stands. It reads
// no file of its own; it walks the same bytes again with the same field reader.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "check/findings.h"
#include "source/field_map.h"
#include "source/tables.h"

namespace pel {

// One source file as the conversion read it: its name as found on disk, its bytes
// (empty when the file is absent).
struct CheckedFile {
  std::wstring name;
  std::string_view bytes;
};

struct CheckInput {
  std::array<CheckedFile, 4> files;  // by SourceFile
  std::string_view title;            // slot 1 of the title set
  const LayerList& layers;
  const PointList& points;
};

// The findings in file order (titl01, X1, X5, X100), then by line, field and kind.
std::vector<Finding> CheckConversion(const CheckInput& input);

// The 1-based line of byte `offset` of `bytes`; CR LF, LF and CR each end a line.
class LineIndex {
 public:
  explicit LineIndex(std::string_view bytes);
  int LineOf(std::size_t offset) const;

  // Lines of offsets that never decrease, found by walking forward from the last one.
  class Cursor {
   public:
    explicit Cursor(const LineIndex& index) : starts_(index.starts_) {}
    int LineOf(std::size_t offset) {
      if (offset < starts_[next_ - 1]) next_ = 1;  // went back: start over
      while (next_ < starts_.size() && starts_[next_] <= offset) ++next_;
      return static_cast<int>(next_);
    }

   private:
    const std::vector<std::size_t>& starts_;
    std::size_t next_ = 1;  // the first line start after the last offset
  };

 private:
  std::vector<std::size_t> starts_;  // the offset at which each line starts
};

}  // namespace pel
