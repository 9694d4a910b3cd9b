// The record scan for machines with AVX-512: 64 bytes at a time. Built with -mavx512bw (and the
// POPCNT, BMI and BMI2 instructions every such machine has, its PDEP a quick one); called only where the machine has them.
#include <immintrin.h>

#include "source/bits.h"
#include "source/field_reader.h"
#include "source/record_scan.h"

namespace pel {

#define PEL_SCAN ScanRecordsAvx512
#define PEL_CLASSIFY(data, k)                                                                          \
  {                                                                                                    \
    const __m512i x = _mm512_loadu_si512((data));                                                      \
    k.comma = _mm512_cmpeq_epi8_mask(x, _mm512_set1_epi8(','));                                         \
    k.cr = _mm512_cmpeq_epi8_mask(x, _mm512_set1_epi8('\r'));                                          \
    k.lf = _mm512_cmpeq_epi8_mask(x, _mm512_set1_epi8('\n'));                                          \
    /* The bytes up to the quote (0x22) hold every rare one: where they are only line ends, none. */   \
    if (_mm512_cmple_epu8_mask(x, _mm512_set1_epi8('"')) != (k.cr | k.lf)) {                            \
      k.quote = _mm512_cmpeq_epi8_mask(x, _mm512_set1_epi8('"'));                                       \
      k.mark = _mm512_cmpeq_epi8_mask(x, _mm512_set1_epi8(kEndOfFileMark));                             \
      k.blank = _mm512_cmpeq_epi8_mask(x, _mm512_set1_epi8(' ')) | _mm512_cmpeq_epi8_mask(x, _mm512_set1_epi8('\t')); \
    }                                                                                                  \
  }
#include "source/record_scan.inc"

}  // namespace pel
