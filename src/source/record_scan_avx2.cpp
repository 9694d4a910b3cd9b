// The record scan for machines with AVX2: 32 bytes at a time. Built with -mavx2 (and the
// POPCNT and BMI instructions every AVX2 machine has); called only where the machine has them.
#include <immintrin.h>

#include "source/bits.h"
#include "source/field_reader.h"
#include "source/record_scan.h"

namespace pel {

#define PEL_SCAN ScanRecordsAvx2
#define PEL_CLASSIFY(data, k)                                                                                  \
  for (int i = 0; i < 64 / 32; ++i) {                                                                         \
    const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>((data) + 32 * i));                                   \
    auto bits = [&](__m256i match) {                                                                                 \
      return static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(match))) << (32 * i);                       \
    };                                                                                                            \
    const std::uint64_t cr = bits(_mm256_cmpeq_epi8(x, _mm256_set1_epi8('\r'))), lf = bits(_mm256_cmpeq_epi8(x, _mm256_set1_epi8('\n')));               \
    k.comma |= bits(_mm256_cmpeq_epi8(x, _mm256_set1_epi8(',')));                                                                     \
    k.cr |= cr;                                                                                                    \
    k.lf |= lf;                                                                                                    \
    /* The bytes up to the quote (0x22) hold every rare one: where they are only line ends, none. */             \
    if (bits(_mm256_cmpeq_epi8(_mm256_min_epu8(x, _mm256_set1_epi8('"')), x)) != (cr | lf)) {                                                  \
      k.quote |= bits(_mm256_cmpeq_epi8(x, _mm256_set1_epi8('"')));                                                                   \
      k.mark |= bits(_mm256_cmpeq_epi8(x, _mm256_set1_epi8(kEndOfFileMark)));                                                         \
      k.blank |= bits(_mm256_or_si256(_mm256_cmpeq_epi8(x, _mm256_set1_epi8(' ')), _mm256_cmpeq_epi8(x, _mm256_set1_epi8('\t'))));                                  \
    }                                                                                                             \
  }
#include "source/record_scan.inc"

}  // namespace pel
