// The record scan's quick way through long runs of clean records, for machines with
// AVX-512 VBMI2 (its byte compress) and PCLMULQDQ. Built with -mavx512vbmi2 -mpclmul (and BMI2);
// called only where the machine has them.
//
// Clean blocks hold only field text, commas and line ends: no end mark, no other control
// byte, no blank or line end right after a line end, and no quote; where records are only
// counted, quotes that pair up without a separator or line end between them are clean too. Each clean block's
// separators are written out as byte offsets in one step (the block's separator mask
// compresses a row of 0..63), and records are then taken by counting in that list: the
// separators of record i are entries i * fields to i * fields + fields - 1. Nothing in
// the walk depends on where in a block a record ends, so no branch guesses wrong there,
// which is what the block-by-block walk pays for once per record.
#include <immintrin.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "source/field_reader.h"
#include "source/record_scan.h"

namespace pel {

RecordScan ScanCleanRecordsVbmi2(std::string_view data, std::size_t pos, int fields, FieldSet wanted,
                                 ScannedRecord* out, std::size_t most) {
  const char* const bytes = data.data();
  const std::size_t end = data.size();
  const auto per_record = static_cast<std::size_t>(fields);
  const RecordScan none{0, pos, false};
  if (per_record == 0 || per_record > 64 || most == 0) return none;
  // The wanted fields, counted from 0.
  std::array<std::uint32_t, kMostScannedFields> wanted_fields{};
  std::size_t wanted_count = 0;
  for (FieldSet rest = wanted; rest && wanted_count < kMostScannedFields; rest &= rest - 1) {
    wanted_fields[wanted_count++] = static_cast<std::uint32_t>(__builtin_ctzll(rest));
  }
  // Past the separator at `s`: a CR LF is one. The byte after every separator found exists,
  // since blocks are taken only while one more byte follows them.
  auto after = [bytes](std::uint32_t s) {
    return s + 1 + static_cast<std::uint32_t>((bytes[s] == '\r') & (bytes[s + 1] == '\n'));
  };
  static constexpr auto kOffsets = [] {
    std::array<char, 64> offsets{};
    for (int i = 0; i < 64; ++i) offsets[static_cast<std::size_t>(i)] = static_cast<char>(i);
    return offsets;
  }();
  const __m512i offsets = _mm512_loadu_si512(kOffsets.data());

  // The separators of the blocks taken and not yet given to a record; room for one more
  // block's 64 after the list is full.
  constexpr std::size_t kRoom = 1024;
  std::array<std::uint32_t, kRoom + 64> separators;
  std::size_t count = 0;
  RecordScan scan = none;
  RecordScan before = scan;  // the scan without its last record
  auto record_start = static_cast<std::uint32_t>(pos);

  std::size_t block = pos & ~std::size_t{63};
  std::uint64_t cr_before = block > 0 && bytes[block - 1] == '\r';
  std::uint64_t line_end_before = block == 0 || bytes[block - 1] == '\r' || bytes[block - 1] == '\n';
  std::uint64_t live = ~std::uint64_t{0} << (pos - block);
  std::uint64_t in_quote = 0;  // all ones while a quote opened in an earlier block is not closed
  bool clean = true;
  while (scan.records < most) {
    for (; count < kRoom && block + 64 < end; block += 64, live = ~std::uint64_t{0}) {
      const __m512i x = _mm512_loadu_si512(bytes + block);
      const std::uint64_t comma = _mm512_cmpeq_epi8_mask(x, _mm512_set1_epi8(','));
      const std::uint64_t cr = _mm512_cmpeq_epi8_mask(x, _mm512_set1_epi8('\r'));
      const std::uint64_t lf = _mm512_cmpeq_epi8_mask(x, _mm512_set1_epi8('\n'));
      // Every byte the field syntax treats apart lies at or below the quote (0x22); most
      // blocks hold none of them but line ends.
      const std::uint64_t low = _mm512_cmple_epu8_mask(x, _mm512_set1_epi8('"'));
      const std::uint64_t blank =
          low == (cr | lf) ? 0
                           : _mm512_cmpeq_epi8_mask(x, _mm512_set1_epi8(' ')) | _mm512_cmpeq_epi8_mask(x, _mm512_set1_epi8('\t'));
      const std::uint64_t after_cr = (cr << 1) | cr_before;
      const std::uint64_t after_line_end = ((cr | lf) << 1) | line_end_before;
      const std::uint64_t lone_lf = lf & ~after_cr;
      std::uint64_t odd = (low & ~(cr | lf | blank)) | (after_line_end & (blank | cr | lone_lf));
      const std::uint64_t found = (comma | cr | lone_lf) & live;
      if (wanted == 0) {
        // The bytes from each opening quote to its closing one: the running parity of the
        // quotes before them, by a carry-less multiplication with all ones.
        const std::uint64_t quote = _mm512_cmpeq_epi8_mask(x, _mm512_set1_epi8('"')) & live;
        const std::uint64_t inside = static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_clmulepi64_si128(
                                         _mm_cvtsi64_si128(static_cast<long long>(quote)), _mm_set1_epi8(-1), 0))) ^
                                     in_quote;
        odd = (odd & ~quote) | (inside & (found | lf));
        if (!(odd & live)) in_quote = inside >> 63 ? ~std::uint64_t{0} : 0;
      }
      if (odd & live) {
        clean = false;
        break;
      }
      cr_before = cr >> 63;
      line_end_before = (cr | lf) >> 63;
      const __m512i packed = _mm512_maskz_compress_epi8(found, offsets);
      const __m512i base = _mm512_set1_epi32(static_cast<int>(block));
      std::uint32_t* const to = separators.data() + count;
      // Sixteen offsets at a time, widened and placed in the file (the masked forms: the
      // plain ones leave part of a register undefined, which the compiler warns about).
      auto store = [&](int part, __m128i sixteen) {
        _mm512_storeu_si512(to + 16 * part, _mm512_add_epi32(_mm512_maskz_cvtepu8_epi32(0xFFFF, sixteen), base));
      };
      store(0, _mm512_maskz_extracti32x4_epi32(0xF, packed, 0));
      const auto n = static_cast<std::size_t>(__builtin_popcountll(found));
      if (n > 16) {
        store(1, _mm512_maskz_extracti32x4_epi32(0xF, packed, 1));
        store(2, _mm512_maskz_extracti32x4_epi32(0xF, packed, 2));
        store(3, _mm512_maskz_extracti32x4_epi32(0xF, packed, 3));
      }
      count += n;
    }
    // The records whose separators are all listed: those of record i are entries
    // i * fields to i * fields + fields - 1.
    const std::size_t take = std::min(count / per_record, most - scan.records);
    for (std::size_t i = 0; wanted != 0 && i < take; ++i) {
      const std::uint32_t* const s = separators.data() + i * per_record;
      ScannedRecord& record = out[scan.records + i];
      record.start = i == 0 ? record_start : after(s[-1]);
      for (std::size_t w = 0; w < wanted_count; ++w) {
        const std::uint32_t k = wanted_fields[w];
        record.fields[w] = {k == 0 ? record.start : after(s[k - 1]), s[k]};
      }
    }
    const std::size_t used = take * per_record;
    if (take > 0) {
      auto ended_at = [&](std::size_t records, std::uint32_t last) {
        return RecordScan{records, after(last), bytes[last] != ','};
      };
      before = take > 1 ? ended_at(scan.records + take - 1, separators[used - per_record - 1]) : scan;
      scan = ended_at(scan.records + take, separators[used - 1]);
      record_start = static_cast<std::uint32_t>(scan.next);
    }
    count -= used;
    std::memmove(separators.data(), separators.data() + used, count * sizeof(std::uint32_t));
    if (!clean || block + 64 >= end) break;
  }
  // As the field reader sees it, a record is whole only where something follows it: the
  // last one taken must end before more than blanks, line ends and the end.
  auto is_content = [](char c) { return c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != kEndOfFileMark; };
  for (int tries = 0; tries < 2 && scan.records > 0; ++tries) {
    std::size_t next = scan.next;
    while (!scan.line_start && next < end && (bytes[next] == ' ' || bytes[next] == '\t')) ++next;
    if (next < end && is_content(bytes[next])) return scan;
    scan = before;
    before = none;
  }
  return none;
}

}  // namespace pel
