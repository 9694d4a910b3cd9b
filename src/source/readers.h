// The readers of a borehole export folder. Each reads its file's bytes once, through
// one FieldReader: it counts the records, keeps the cells of the rows that can be
// written, and records what the conversion check needs about the file as a whole.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "source/tables.h"

namespace pel {

// Slots 1 to 50 with the file's first 50 fields in order; the rest are read and ignored.
TitleSet ReadTitles(std::string_view bytes);

// X1.txt: every record counted, field 2 of the first 51 kept. Nothing when the file
// holds more than 32767 records.
std::optional<LayerList> ReadLayers(std::string_view bytes);

// X5.txt and X100.txt: every record counted and its depth's value kept; the cells of the
// first 51 rows kept, an X5 value after the value check. Nothing when the file holds
// more than 32767 records. A short last record keeps what it has; its missing fields
// are empty.
std::optional<X5Table> ReadX5(std::string_view bytes);
std::optional<X100Table> ReadX100(std::string_view bytes);

// X5.txt or X100.txt read in pieces, on as many threads as take them: the file is cut
// at line starts into pieces of about `piece_bytes`, and each piece is read as if a
// record began where it begins. Where that holds (one record to a line, as the editor
// writes them), the pieces join into what ReadX5 or ReadX100 reads; where it does not,
// Join reads the whole file again.
template <class Table>
class Pieces {
 public:
  Pieces(std::string_view bytes, std::size_t piece_bytes);
  std::size_t size() const { return pieces_.size(); }
  // Reads piece i. Each piece is read once; different pieces may be read at the same time.
  void Read(std::size_t i);
  // Once every piece is read: what the whole file reads as.
  std::optional<Table> Join();
  // The whole file read at once.
  std::optional<Table> ReadWhole();

 private:
  struct Piece {
    std::optional<Table> table;  // nothing: more records than a file may hold
    Cell first_depth, last_depth;
    bool ends_at_line = false;  // its last record whole, ended by a line end
  };
  std::string_view bytes_;
  std::vector<std::size_t> bounds_;  // piece i is [bounds_[i], bounds_[i + 1])
  std::vector<Piece> pieces_;
};

using X5Pieces = Pieces<X5Table>;
using X100Pieces = Pieces<X100Table>;
extern template class Pieces<X5Table>;
extern template class Pieces<X100Table>;

// The X5 value check: true when `text` is a decimal number whose single-precision
// value is above zero. A positive number beyond single-precision range counts.
bool IsPositiveX5Value(std::string_view text);

// What the value check writes for a value that is not positive.
inline constexpr std::string_view kReplacedX5Value = "0";

}  // namespace pel
