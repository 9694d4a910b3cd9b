// Any bytes through the field reader: reading and skipping must agree, every value
// must be a part of the input, and the reader must reach its end. The vectorised search
// the reader scans with must find what the plain byte-by-byte search finds.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "source/field_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // The four bytes searched for are the input's first four (or the reader's own).
  const char a = size > 0 ? bytes[0] : ',', b = size > 1 ? bytes[1] : '\r', c = size > 2 ? bytes[2] : '\n',
             d = size > 3 ? bytes[3] : pel::kEndOfFileMark;
  for (std::size_t from = 0; from <= size; from += 1 + from / 3) {
    if (pel::FindAny(bytes, from, a, b, c, d) != pel::FindPlain(bytes, from, a, b, c, d)) std::abort();
  }

  pel::FieldReader reading(bytes);
  pel::FieldReader skipping(bytes);
  std::string scratch;
  pel::FieldSpan span, skipped;
  std::size_t fields = 0;
  std::size_t value_bytes = 0;
  while (!reading.AtEnd()) {
    if (skipping.AtEnd()) std::abort();
    const std::string value = reading.ReadField();
    if (++fields % 2) {
      if (skipping.ReadField(scratch, span) != value) std::abort();
    } else {
      skipping.SkipField(skipped);
      if (skipped.end > size || skipped.start > skipped.end) std::abort();
    }
    value_bytes += value.size();
    // Every field consumes at least one byte, so the walk ends.
    if (fields > size + 1 || value_bytes > size) std::abort();
  }
  if (!skipping.AtEnd()) std::abort();
  if (reading.end_mark() != skipping.end_mark()) std::abort();
  return 0;
}
