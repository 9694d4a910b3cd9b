// X5.txt and X100.txt read in pieces read as they read whole: the input, repeated past
// the rows whose cells are kept, cut at line starts every few hundred bytes (the input's
// size chooses how many), whatever the input holds where two pieces meet.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "source/readers.h"
#include "support/text_lists.h"

namespace {

template <class Table>
void SameInPieces(const std::string& bytes, std::size_t piece_bytes,
                  std::optional<Table> (*read_whole)(std::string_view)) {
  pel::Pieces<Table> pieces(bytes, piece_bytes);
  for (std::size_t p = pieces.size(); p-- > 0;) pieces.Read(p);
  if (pel::testing::Describe(pieces.Join()) != pel::testing::Describe(read_whole(bytes))) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view part(reinterpret_cast<const char*>(data), size);
  std::string bytes;
  while (bytes.size() < 16384) bytes += part;
  const std::size_t piece_bytes = 64 + size % 2048;
  SameInPieces<pel::X5Table>(bytes, piece_bytes, pel::ReadX5);
  SameInPieces<pel::X100Table>(bytes, piece_bytes, pel::ReadX100);
  return 0;
}
