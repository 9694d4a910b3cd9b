// Counting and finding the set bits of a 64-bit mask, and the bytes of a block a bit each,
// for the record scan.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#if defined(__BMI2__)
#include <immintrin.h>
#endif

namespace pel {
// Each of the record scans is built for its own instructions: these must stay its own
// copy (internal linkage), never one copy picked by the linker for all of them.
namespace {

// The bytes of a block of 64 that the field syntax cares about, a bit each.
struct Classes {
  std::uint64_t comma = 0, cr = 0, lf = 0, quote = 0, mark = 0, blank = 0;
};

// The set bits of `bits`: with the POPCNT instruction where the build has it, else
// counted a byte at a time in parallel.
inline std::size_t CountBits(std::uint64_t bits) {
#if defined(__POPCNT__)
  return static_cast<std::size_t>(__builtin_popcountll(bits));
#else
  bits -= (bits >> 1) & 0x5555555555555555u;
  bits = (bits & 0x3333333333333333u) + ((bits >> 2) & 0x3333333333333333u);
  bits = (bits + (bits >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
  return static_cast<std::size_t>((bits * 0x0101010101010101u) >> 56);
#endif
}

// For each byte and rank, the position of the set bit of that rank in the byte.
inline constexpr std::array<std::uint8_t, 256 * 8> kBitOfRankInByte = [] {
  std::array<std::uint8_t, 256 * 8> table{};
  for (int byte = 0; byte < 256; ++byte) {
    int rank = 0;
    for (int bit = 0; bit < 8; ++bit) {
      if (byte >> bit & 1) table[static_cast<std::size_t>(rank++ * 256 + byte)] = static_cast<std::uint8_t>(bit);
    }
  }
  return table;
}();

// The position of the `j`-th (from 1) set bit of `bits`, which has at least `j`: the byte
// that holds it found from the bytes' running counts at once, then the bit by table.
inline int NthSetBit(std::uint64_t bits, std::size_t j) {
#if defined(__BMI2__)
  // Where the build has BMI2 (only for machines whose PDEP is quick): deposited directly.
  return __builtin_ctzll(_pdep_u64(std::uint64_t{1} << (j - 1), bits));
#endif
  if (j <= 4) {  // the first few: by clearing the lowest, which is quicker than the table
    for (; j > 1; --j) bits &= bits - 1;
    return __builtin_ctzll(bits);
  }
  constexpr std::uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;
  std::uint64_t sums = bits - ((bits >> 1) & 0x5555555555555555u);
  sums = (sums & 0x3333333333333333u) + ((sums >> 2) & 0x3333333333333333u);
  sums = ((sums + (sums >> 4)) & 0x0F0F0F0F0F0F0F0Fu) * kOnes;  // byte k: the set bits of bytes 0 to k
  const std::uint64_t rank = j - 1;
  // The bytes whose running count is at most `rank`: the bit lies past them.
  const std::uint64_t below = (((rank * kOnes) | kHighs) - sums) & kHighs;
  const int place = static_cast<int>(((below >> 7) * kOnes) >> 53);  // 8 times their number
  const std::uint64_t before = place == 0 ? 0 : (sums << 8 >> place) & 0xFF;
  const std::uint64_t byte = (bits >> place) & 0xFF;
  return place + kBitOfRankInByte[static_cast<std::size_t>((rank - before) * 256 + byte)];
}

}  // namespace
}  // namespace pel
