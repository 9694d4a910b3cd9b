#include "source/record_scan.h"

#include "source/field_reader.h"

#if defined(__x86_64__)
#include <emmintrin.h>
#endif

namespace pel {
namespace {

// The set bits of `bits`, counted without the POPCNT instruction that not every x86-64
// machine has.
std::size_t CountBits(std::uint64_t bits) {
  bits -= (bits >> 1) & 0x5555555555555555u;
  bits = (bits & 0x3333333333333333u) + ((bits >> 2) & 0x3333333333333333u);
  bits = (bits + (bits >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
  return static_cast<std::size_t>((bits * 0x0101010101010101u) >> 56);
}

}  // namespace

// A byte at a time.
#define PEL_SCAN ScanRecordsPlain
#define PEL_CLASSIFY(data, k)                                \
  for (int i = 0; i < 64; ++i) {                             \
    const std::uint64_t bit = std::uint64_t{1} << i;         \
    const char c = (data)[i];                                \
    k.comma |= c == ',' ? bit : 0;                           \
    k.cr |= c == '\r' ? bit : 0;                             \
    k.lf |= c == '\n' ? bit : 0;                             \
    k.quote |= c == '"' ? bit : 0;                           \
    k.mark |= c == kEndOfFileMark ? bit : 0;                 \
    k.blank |= c == ' ' || c == '\t' ? bit : 0;              \
  }
#include "source/record_scan.inc"
#undef PEL_SCAN
#undef PEL_CLASSIFY

#if defined(__x86_64__)
// 16 bytes at a time: every x86-64 machine has SSE2.
#define PEL_SCAN ScanRecordsSse2
#define PEL_CLASSIFY(data, k)                                                                                   \
  for (int i = 0; i < 4; ++i) {                                                                                 \
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>((data) + 16 * i));                       \
    auto bits = [&](__m128i match) {                                                                            \
      return static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(match))) << (16 * i);      \
    };                                                                                                          \
    const __m128i is_quote = _mm_cmpeq_epi8(x, _mm_set1_epi8('"'));                                             \
    const __m128i is_mark = _mm_cmpeq_epi8(x, _mm_set1_epi8(kEndOfFileMark));                                   \
    const __m128i is_blank = _mm_or_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8(' ')), _mm_cmpeq_epi8(x, _mm_set1_epi8('\t'))); \
    k.comma |= bits(_mm_cmpeq_epi8(x, _mm_set1_epi8(',')));                                                     \
    k.cr |= bits(_mm_cmpeq_epi8(x, _mm_set1_epi8('\r')));                                                       \
    k.lf |= bits(_mm_cmpeq_epi8(x, _mm_set1_epi8('\n')));                                                       \
    if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(is_quote, is_mark), is_blank))) {                           \
      k.quote |= bits(is_quote);                                                                                \
      k.mark |= bits(is_mark);                                                                                  \
      k.blank |= bits(is_blank);                                                                                \
    }                                                                                                           \
  }
#include "source/record_scan.inc"
#undef PEL_SCAN
#undef PEL_CLASSIFY

// From record_scan_avx2.cpp, built for AVX2.
RecordScan ScanRecordsAvx2(std::string_view data, std::size_t pos, int fields, int wanted, ScannedRecord* out,
                           std::size_t most);
#endif

RecordScan ScanRecords(std::string_view data, std::size_t pos, int fields, int wanted, ScannedRecord* out,
                       std::size_t most) {
#if defined(__x86_64__)
  static const bool avx2 = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") && __builtin_cpu_supports("popcnt");
  }();
  return avx2 ? ScanRecordsAvx2(data, pos, fields, wanted, out, most) : ScanRecordsSse2(data, pos, fields, wanted, out, most);
#else
  return ScanRecordsPlain(data, pos, fields, wanted, out, most);
#endif
}

}  // namespace pel
