// Any bytes through the field reader: reading and skipping must agree, every value
// must be a part of the input, and the reader must reach its end. The vectorised searches
// must find what the plain byte-by-byte ones find: the reader's, and the record scan's
// (whose quick way through clean records may take fewer at a time), whose records must be
// the ones the reader reads field by field.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "source/field_reader.h"
#include "source/record_scan.h"

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

  // Records taken by the block: each vectorised scan and the plain one take the same, and
  // the field reader reading them field by field finds the same records and fields.
  const int per_record = size > 0 ? 1 + static_cast<unsigned char>(bytes[0]) % 48 : 4;
  // Up to 6 wanted fields, from the input's second and third bytes.
  pel::FieldSet wanted = 0;
  for (int i = 1; i <= 2 && static_cast<std::size_t>(i) < size; ++i) {
    const auto b = static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
    for (int shift = 0; shift < 8; shift += 3) {
      if (((b >> shift) & 7) < per_record) wanted |= pel::FieldSet{1} << ((b >> shift) & 7) % per_record;
    }
  }
  while (__builtin_popcountll(wanted) > static_cast<int>(pel::kMostScannedFields)) wanted &= wanted - 1;
  // Every scan the machine can run: the one it picks and each narrower one.
  for (const pel::RecordScanner scan : pel::MachineRecordScans()) {
    pel::FieldReader slow(bytes);
    std::array<pel::ScannedRecord, 64> quick_records, plain_records;
    std::string other;
    while (!slow.AtEnd()) {
      const pel::RecordScan quick =
          scan(slow.data(), slow.position(), per_record, wanted, quick_records.data(), quick_records.size());
      const pel::RecordScan plain = pel::ScanRecordsPlain(slow.data(), slow.position(), per_record, wanted,
                                                          plain_records.data(), plain_records.size());
      // The quick way through clean records may hand over fewer at a time; where both took
      // a record, it is the same one.
      if (quick.records == plain.records && (quick.next != plain.next || quick.line_start != plain.line_start)) {
        std::abort();
      }
      for (std::size_t r = 0; r < quick.records; ++r) {
        const pel::ScannedRecord& a = quick_records[r];
        const pel::ScannedRecord& b = plain_records[r];
        // Records only counted (nothing wanted) are not handed over.
        if (wanted != 0 && r < plain.records &&
            (a.start != b.start ||
             !std::equal(a.fields.begin(), a.fields.begin() + __builtin_popcountll(wanted), b.fields.begin()))) {
          std::abort();
        }
        std::size_t w = 0;
        for (int k = 1; k <= per_record; ++k) {
          if (slow.AtEnd()) std::abort();
          pel::FieldSpan span;
          const std::string_view value = slow.ReadField(other, span);
          if (k == 1 && wanted != 0 && span.start < a.start) std::abort();
          if (!((wanted >> (k - 1)) & 1)) continue;
          const pel::ScannedField field = a.fields[w++];
          if (span.end != field.end || span.quoted ||
              bytes.substr(field.begin, field.end - field.begin).find(value) == std::string_view::npos) {
            std::abort();
          }
        }
      }
      if (quick.records > 0 && slow.position() != quick.next) std::abort();
      if (quick.records == 0) slow.SkipField();
    }
  }
  return 0;
}
