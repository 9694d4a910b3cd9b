// Any bytes through the field reader: reading and skipping must agree, every value
// must be a part of the input, and the reader must reach its end. The vectorised search
// the reader scans with must find what the plain byte-by-byte search finds, and skipping
// fields by the block must leave the reader where skipping them one by one does.
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

  pel::FieldReader quick(bytes);
  pel::FieldReader slow(bytes);
  std::string other;
  for (std::size_t step = 0; !slow.AtEnd(); ++step) {
    const auto pick = static_cast<unsigned char>(size ? bytes[step % size] : 0);
    const std::size_t n = 1 + pick % 50, unit = 1 + (pick >> 4) % 11;
    const std::size_t skipped = quick.SkipFieldsQuickly(n, unit);
    if (skipped > n || skipped % unit != 0) std::abort();
    for (std::size_t i = 0; i < skipped; ++i) {
      if (slow.AtEnd()) std::abort();
      slow.SkipField();
    }
    if (quick.AtEnd() != slow.AtEnd()) std::abort();
    if (slow.AtEnd()) break;
    pel::FieldSpan a, b;
    if (quick.ReadField(scratch, a) != slow.ReadField(other, b) || a.start != b.start || a.end != b.end) std::abort();
  }
  if (!quick.AtEnd() || quick.end_mark() != slow.end_mark()) std::abort();
  return 0;
}
