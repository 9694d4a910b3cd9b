// Any bytes through the field reader: reading and skipping must agree, every value
// must be a part of the input, and the reader must reach its end.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "source/field_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  pel::FieldReader reading(bytes);
  pel::FieldReader skipping(bytes);
  std::string scratch;
  std::size_t fields = 0;
  std::size_t value_bytes = 0;
  while (!reading.AtEnd()) {
    if (skipping.AtEnd()) std::abort();
    const std::string value = reading.ReadField();
    if (++fields % 2) {
      if (skipping.ReadField(scratch) != value) std::abort();
    } else {
      skipping.SkipField();
    }
    value_bytes += value.size();
    // Every field consumes at least one byte, so the walk ends.
    if (fields > size + 1 || value_bytes > size) std::abort();
  }
  if (!skipping.AtEnd()) std::abort();
  return 0;
}
