// The record scan for machines with AVX2: 32 bytes at a time. Built with -mavx2 (and the
// POPCNT and BMI instructions every AVX2 machine has); called only where the machine has them.
#include <immintrin.h>

#include "source/field_reader.h"
#include "source/record_scan.h"

namespace pel {
namespace {

std::size_t CountBits(std::uint64_t bits) { return static_cast<std::size_t>(__builtin_popcountll(bits)); }

}  // namespace

#define PEL_SCAN ScanRecordsAvx2
#define PEL_CLASSIFY(data, k)                                                                                      \
  for (int i = 0; i < 2; ++i) {                                                                                    \
    const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>((data) + 32 * i));                       \
    auto bits = [&](__m256i match) {                                                                               \
      return static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(match))) << (32 * i);      \
    };                                                                                                             \
    const __m256i is_quote = _mm256_cmpeq_epi8(x, _mm256_set1_epi8('"'));                                          \
    const __m256i is_mark = _mm256_cmpeq_epi8(x, _mm256_set1_epi8(kEndOfFileMark));                                \
    const __m256i is_blank =                                                                                       \
        _mm256_or_si256(_mm256_cmpeq_epi8(x, _mm256_set1_epi8(' ')), _mm256_cmpeq_epi8(x, _mm256_set1_epi8('\t'))); \
    k.comma |= bits(_mm256_cmpeq_epi8(x, _mm256_set1_epi8(',')));                                                  \
    k.cr |= bits(_mm256_cmpeq_epi8(x, _mm256_set1_epi8('\r')));                                                    \
    k.lf |= bits(_mm256_cmpeq_epi8(x, _mm256_set1_epi8('\n')));                                                    \
    if (_mm256_movemask_epi8(_mm256_or_si256(_mm256_or_si256(is_quote, is_mark), is_blank))) {                     \
      k.quote |= bits(is_quote);                                                                                   \
      k.mark |= bits(is_mark);                                                                                     \
      k.blank |= bits(is_blank);                                                                                   \
    }                                                                                                              \
  }
#include "source/record_scan.inc"

}  // namespace pel
