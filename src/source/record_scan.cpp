#include "source/record_scan.h"

#include "source/bits.h"
#include "source/field_reader.h"
#include "source/record_scan.inc"

#if defined(__x86_64__)
#include <cpuid.h>
#include <emmintrin.h>

#include <cstring>
#endif

namespace pel {

namespace {

// A byte at a time; never a shortcut for commas only, so that the vector scans' is held to
// the walk of every block.
inline bool ClassifyPlain(const char* data, Classes& k) {
  for (int i = 0; i < 64; ++i) {
    const std::uint64_t bit = std::uint64_t{1} << i;
    const char c = data[i];
    k.comma |= c == ',' ? bit : 0;
    k.cr |= c == '\r' ? bit : 0;
    k.lf |= c == '\n' ? bit : 0;
    k.quote |= c == '"' ? bit : 0;
    k.mark |= c == kEndOfFileMark ? bit : 0;
    k.blank |= c == ' ' || c == '\t' ? bit : 0;
  }
  return false;
}

#if defined(__x86_64__)
// 16 bytes at a time: every x86-64 machine has SSE2.
inline bool ClassifySse2(const char* data, Classes& k) {
  const __m128i comma = _mm_set1_epi8(',');
  __m128i x[4], others[4];
  __m128i any = _mm_setzero_si128();
  auto bits = [](__m128i match, int i) {
    return static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(match))) << (16 * i);
  };
  for (int i = 0; i < 4; ++i) {
    x[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * i));
    const __m128i commas = _mm_cmpeq_epi8(x[i], comma);
    k.comma |= bits(commas, i);
    // The bytes up to the comma (above every other byte of the field syntax) but commas.
    others[i] = _mm_xor_si128(_mm_cmpeq_epi8(_mm_min_epu8(x[i], comma), x[i]), commas);
    any = _mm_or_si128(any, others[i]);
  }
  if (_mm_movemask_epi8(any) == 0) return true;
  for (int i = 0; i < 4; ++i) {
    const std::uint64_t cr = bits(_mm_cmpeq_epi8(x[i], _mm_set1_epi8('\r')), i);
    const std::uint64_t lf = bits(_mm_cmpeq_epi8(x[i], _mm_set1_epi8('\n')), i);
    k.cr |= cr;
    k.lf |= lf;
    // Where they are only line ends, no rare byte.
    if (bits(others[i], i) != (cr | lf)) {
      k.quote |= bits(_mm_cmpeq_epi8(x[i], _mm_set1_epi8('"')), i);
      k.mark |= bits(_mm_cmpeq_epi8(x[i], _mm_set1_epi8(kEndOfFileMark)), i);
      k.blank |= bits(_mm_or_si128(_mm_cmpeq_epi8(x[i], _mm_set1_epi8(' ')), _mm_cmpeq_epi8(x[i], _mm_set1_epi8('\t'))), i);
    }
  }
  return false;
}
#endif

}  // namespace

RecordScan ScanRecordsPlain(std::string_view data, std::size_t pos, int fields, FieldSet wanted, ScannedRecord* out,
                            std::size_t most) {
  return ScanRecordsWith<ClassifyPlain>(data, pos, fields, wanted, out, most);
}

#if defined(__x86_64__)
RecordScan ScanRecordsSse2(std::string_view data, std::size_t pos, int fields, FieldSet wanted, ScannedRecord* out,
                           std::size_t most) {
  return ScanRecordsWith<ClassifySse2>(data, pos, fields, wanted, out, most);
}

// From record_scan_avx2.cpp, record_scan_avx2_bmi2.cpp and record_scan_avx512.cpp, built
// for those instructions.
RecordScan ScanRecordsAvx2(std::string_view data, std::size_t pos, int fields, FieldSet wanted, ScannedRecord* out,
                           std::size_t most);
RecordScan ScanRecordsAvx2Bmi2(std::string_view data, std::size_t pos, int fields, FieldSet wanted,
                               ScannedRecord* out, std::size_t most);
RecordScan ScanRecordsAvx512(std::string_view data, std::size_t pos, int fields, FieldSet wanted, ScannedRecord* out,
                             std::size_t most);
// From record_scan_vbmi2.cpp: clean records only, and at least one block of them.
RecordScan ScanCleanRecordsVbmi2(std::string_view data, std::size_t pos, int fields, FieldSet wanted,
                                 ScannedRecord* out, std::size_t most);

namespace {

// Whether the machine's PDEP is quick: on Intel's machines, and on AMD's from Zen 3
// (family 0x19) on; before, it takes hundreds of cycles.
bool QuickPdep() {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (!__get_cpuid(0, &eax, &ebx, &ecx, &edx)) return false;
  char vendor[12];
  std::memcpy(vendor, &ebx, 4);
  std::memcpy(vendor + 4, &edx, 4);
  std::memcpy(vendor + 8, &ecx, 4);
  if (std::memcmp(vendor, "GenuineIntel", 12) == 0) return true;
  if (std::memcmp(vendor, "AuthenticAMD", 12) != 0 || !__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
  const unsigned base = (eax >> 8) & 0xF;
  const unsigned family = base == 0xF ? base + ((eax >> 20) & 0xFF) : base;
  return family >= 0x19;
}

// What the machine has, asked once.
struct Machine {
  bool basics, avx2, bmi2, quick_pdep, avx512, clean_way;
};
const Machine& ThisMachine() {
  static const Machine machine = [] {
    __builtin_cpu_init();
    Machine m{};
    m.basics = __builtin_cpu_supports("bmi") && __builtin_cpu_supports("popcnt");
    m.avx2 = m.basics && __builtin_cpu_supports("avx2");
    m.bmi2 = m.basics && __builtin_cpu_supports("bmi2");
    m.quick_pdep = m.bmi2 && QuickPdep();
    m.avx512 = m.bmi2 && __builtin_cpu_supports("avx512bw");
    m.clean_way = m.avx512 && __builtin_cpu_supports("avx512vbmi2") && __builtin_cpu_supports("pclmul");
    return m;
  }();
  return machine;
}

}  // namespace
#endif

std::vector<RecordScanner> MachineRecordScans() {
  std::vector<RecordScanner> scans{ScanRecords};
#if defined(__x86_64__)
  const Machine& m = ThisMachine();
  scans.push_back(ScanRecordsSse2);
  if (m.avx2) scans.push_back(ScanRecordsAvx2);
  if (m.avx2 && m.bmi2) scans.push_back(ScanRecordsAvx2Bmi2);
  if (m.avx512) scans.push_back(ScanRecordsAvx512);
  if (m.clean_way) scans.push_back(ScanCleanRecordsVbmi2);
#endif
  return scans;
}

RecordScan ScanRecords(std::string_view data, std::size_t pos, int fields, FieldSet wanted, ScannedRecord* out,
                       std::size_t most) {
#if defined(__x86_64__)
  // The widest vectors the machine has.
  static const auto scan = [] {
    const Machine& m = ThisMachine();
    if (m.avx512) return ScanRecordsAvx512;
    if (m.avx2) return m.quick_pdep ? ScanRecordsAvx2Bmi2 : ScanRecordsAvx2;
    return ScanRecordsSse2;
  }();
  if (ThisMachine().clean_way) {
    const RecordScan quick = ScanCleanRecordsVbmi2(data, pos, fields, wanted, out, most);
    if (quick.records > 0) return quick;
  }
  return scan(data, pos, fields, wanted, out, most);
#else
  return ScanRecordsPlain(data, pos, fields, wanted, out, most);
#endif
}

}  // namespace pel
