// The record scan for machines with AVX-512: 64 bytes at a time. Built with -mavx512bw (and the
// POPCNT, BMI and BMI2 instructions every such machine has, its PDEP a quick one); called only where the machine has them.
#include <immintrin.h>

#include "source/bits.h"
#include "source/field_reader.h"
#include "source/record_scan.h"
#include "source/record_scan.inc"

namespace pel {

namespace {

inline bool ClassifyAvx512(const char* data, Classes& k) {
  const __m512i x = _mm512_loadu_si512(data);
  k.comma = _mm512_cmpeq_epi8_mask(x, _mm512_set1_epi8(','));
  // The bytes up to the comma (above every other byte of the field syntax) but commas.
  const std::uint64_t others = _mm512_cmple_epu8_mask(x, _mm512_set1_epi8(',')) & ~k.comma;
  if (others == 0) return true;
  k.cr = _mm512_cmpeq_epi8_mask(x, _mm512_set1_epi8('\r'));
  k.lf = _mm512_cmpeq_epi8_mask(x, _mm512_set1_epi8('\n'));
  // Where they are only line ends, no rare byte.
  if (others != (k.cr | k.lf)) {
    k.quote = _mm512_cmpeq_epi8_mask(x, _mm512_set1_epi8('"'));
    k.mark = _mm512_cmpeq_epi8_mask(x, _mm512_set1_epi8(kEndOfFileMark));
    k.blank = _mm512_cmpeq_epi8_mask(x, _mm512_set1_epi8(' ')) | _mm512_cmpeq_epi8_mask(x, _mm512_set1_epi8('\t'));
  }
  return false;
}

}  // namespace

RecordScan ScanRecordsAvx512(std::string_view data, std::size_t pos, int fields, FieldSet wanted, ScannedRecord* out,
                             std::size_t most) {
  return ScanRecordsWith<ClassifyAvx512>(data, pos, fields, wanted, out, most);
}

}  // namespace pel
