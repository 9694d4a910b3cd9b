#include "source/field_reader.h"

#include <cstdint>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace pel {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

std::string_view TrimTrailingBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

std::size_t FindPlain(std::string_view bytes, std::size_t from, char a, char b, char c, char d) {
  for (std::size_t i = from; i < bytes.size(); ++i) {
    const char x = bytes[i];
    if (x == a || x == b || x == c || x == d) return i;
  }
  return bytes.size();
}

std::size_t FindAny(std::string_view bytes, std::size_t from, char a, char b, char c, char d) {
#if defined(__x86_64__)
  const char* const data = bytes.data();
  std::size_t i = from;
  const __m128i va = _mm_set1_epi8(a), vb = _mm_set1_epi8(b), vc = _mm_set1_epi8(c), vd = _mm_set1_epi8(d);
  for (; i + 16 <= bytes.size(); i += 16) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, va), _mm_cmpeq_epi8(x, vb)),
                                     _mm_or_si128(_mm_cmpeq_epi8(x, vc), _mm_cmpeq_epi8(x, vd)));
    if (const int mask = _mm_movemask_epi8(hit)) return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
  }
  return FindPlain(bytes, i, a, b, c, d);
#else
  return FindPlain(bytes, from, a, b, c, d);
#endif
}

std::size_t FieldReader::Find(std::size_t from, char a, char b, char c) {
  const std::size_t at = FindAny(bytes_, from, a, b, c, kEndOfFileMark);
  if (at < end_ && bytes_[at] == kEndOfFileMark) end_ = at;  // the data end here
  return at < end_ ? at : end_;
}

bool FieldReader::AtEnd() {
  if (!content_known_) {
    std::size_t i = pos_;
    while (i < end_ && (IsBlank(bytes_[i]) || IsLineEnd(bytes_[i]))) ++i;
    if (i < end_ && bytes_[i] == kEndOfFileMark) end_ = i;
    content_ = i;
    content_known_ = true;
  }
  return content_ >= end_;
}

std::size_t FieldReader::NextFieldStart() {
  if (at_line_start_) {
    AtEnd();
    return content_;  // AtEnd has ended the data at an end mark it came to
  }
  std::size_t i = pos_;
  while (i < end_ && IsBlank(bytes_[i])) ++i;
  return i;
}

FieldReader::Parts FieldReader::Scan() {
  const char* const base = bytes_.data();
  std::size_t i = pos_;
  if (content_known_ && at_line_start_) {
    i = content_;  // AtEnd has skipped the blanks and blank lines already
  } else {
    // Skip blanks before the field; at a line start also skip blank lines.
    for (;;) {
      while (i < end_ && IsBlank(base[i])) ++i;
      if (!at_line_start_ || i >= end_ || !IsLineEnd(base[i])) break;
      i += (base[i] == '\r' && i + 1 < end_ && base[i + 1] == '\n') ? 2 : 1;
    }
  }
  content_known_ = false;
  if (i < end_ && base[i] == kEndOfFileMark) end_ = i;

  Parts parts;
  parts.span.start = i;
  std::size_t end;
  if (i < end_ && base[i] == '"') {
    const std::size_t open = i + 1;
    const std::size_t close = Find(open, '"', '"', '"');
    parts.first = bytes_.substr(open, close - open);
    parts.span.quoted = true;
    if (close >= end_) {
      parts.span.unclosed = true;
      parts.span.end = end_;
      pos_ = end_;
      return parts;
    }
    end = Find(close + 1, ',', '\r', '\n');
    parts.second = TrimTrailingBlanks(bytes_.substr(close + 1, end - close - 1));
  } else {
    end = Find(i, ',', '\r', '\n');
    parts.first = TrimTrailingBlanks(bytes_.substr(i, end - i));
  }

  parts.span.end = end;
  parts.span.separator = end < end_ ? base[end] : '\0';
  // Consume the separator.
  if (end >= end_) {
    pos_ = end_;
  } else if (base[end] == ',') {
    pos_ = end + 1;
    at_line_start_ = false;
  } else {
    pos_ = end + ((base[end] == '\r' && end + 1 < end_ && base[end + 1] == '\n') ? 2 : 1);
    at_line_start_ = true;
  }
  return parts;
}

std::string FieldReader::ReadField() {
  const Parts parts = Scan();
  std::string value(parts.first);
  value.append(parts.second);
  return value;
}

std::string_view FieldReader::ReadField(std::string& scratch, FieldSpan& span) {
  const Parts parts = Scan();
  span = parts.span;
  if (parts.second.empty()) return parts.first;
  scratch.assign(parts.first);
  scratch.append(parts.second);
  return scratch;
}

void FieldReader::SkipField(FieldSpan& span) { span = Scan().span; }
void FieldReader::SkipField() { Scan(); }

namespace {

// The bytes of a block of 64 that the field syntax cares about, a bit each.
struct Classes {
  std::uint64_t comma = 0, cr = 0, lf = 0, quote = 0, mark = 0, blank = 0;
};

#if defined(__x86_64__)
// 16 bytes at a time: every x86-64 machine has SSE2.
Classes ClassifySse2(const char* data) {
  Classes k;
  for (int i = 0; i < 4; ++i) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * i));
    auto bits = [&](char c) {
      const auto mask = static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, _mm_set1_epi8(c))));
      return static_cast<std::uint64_t>(mask) << (16 * i);
    };
    k.comma |= bits(',');
    k.cr |= bits('\r');
    k.lf |= bits('\n');
    k.quote |= bits('"');
    k.mark |= bits(kEndOfFileMark);
    k.blank |= bits(' ') | bits('\t');
  }
  return k;
}

// 32 bytes at a time, where the machine has AVX2.
__attribute__((target("avx2"))) Classes ClassifyAvx2(const char* data) {
  Classes k;
  for (int i = 0; i < 2; ++i) {
    const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + 32 * i));
    auto bits = [&](char c) __attribute__((target("avx2"))) {
      const auto mask = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(x, _mm256_set1_epi8(c))));
      return static_cast<std::uint64_t>(mask) << (32 * i);
    };
    k.comma |= bits(',');
    k.cr |= bits('\r');
    k.lf |= bits('\n');
    k.quote |= bits('"');
    k.mark |= bits(kEndOfFileMark);
    k.blank |= bits(' ') | bits('\t');
  }
  return k;
}

Classes (*const Classify)(const char*) = __builtin_cpu_supports("avx2") ? ClassifyAvx2 : ClassifySse2;
#else
// Portable, a byte at a time.
Classes ClassifyBytes(const char* data) {
  Classes k;
  for (int i = 0; i < 64; ++i) {
    const std::uint64_t bit = std::uint64_t{1} << i;
    const char c = data[i];
    k.comma |= c == ',' ? bit : 0;
    k.cr |= c == '\r' ? bit : 0;
    k.lf |= c == '\n' ? bit : 0;
    k.quote |= c == '"' ? bit : 0;
    k.mark |= c == kEndOfFileMark ? bit : 0;
    k.blank |= IsBlank(c) ? bit : 0;
  }
  return k;
}

Classes (*const Classify)(const char*) = ClassifyBytes;
#endif

// The `j`-th (from 1) lowest set bit of `bits`, which has at least `j`.
int NthBit(std::uint64_t bits, std::size_t j) {
  for (; j > 1; --j) bits &= bits - 1;
  return __builtin_ctzll(bits);
}

int HighestBit(std::uint64_t bits) { return 63 - __builtin_clzll(bits); }

// The set bits of `bits`, counted without the POPCNT instruction that not every x86-64
// machine has.
std::size_t CountBits(std::uint64_t bits) {
  bits -= (bits >> 1) & 0x5555555555555555u;
  bits = (bits & 0x3333333333333333u) + ((bits >> 2) & 0x3333333333333333u);
  bits = (bits + (bits >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
  return static_cast<std::size_t>((bits * 0x0101010101010101u) >> 56);
}

bool IsContent(char c) { return !IsBlank(c) && !IsLineEnd(c) && c != kEndOfFileMark; }

}  // namespace

const FieldReader::Block& FieldReader::BlockAt(std::size_t base) {
  if (block_.base == base) return block_;
  const Classes k = Classify(bytes_.data() + base);
  const std::uint64_t cr = k.cr, lf = k.lf;
  // The byte before the block: none at the data's start, which is a line's start.
  const char before = base > 0 ? bytes_[base - 1] : '\n';
  const std::uint64_t after_cr = (cr << 1) | (before == '\r');
  const std::uint64_t after_line_end = ((cr | lf) << 1) | IsLineEnd(before);
  const std::uint64_t lone_lf = lf & ~after_cr;
  block_.base = base;
  block_.separator = k.comma | cr | lone_lf;
  block_.quote = k.quote;
  block_.stop = (after_line_end & (k.blank | cr | lone_lf)) | k.mark;
  return block_;
}

std::size_t FieldReader::SkipFieldsQuickly(std::size_t n, std::size_t unit) {
  constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t done = 0;          // fields counted
  std::size_t kept = 0;          // of them, those up to the last whole unit
  std::size_t kept_end = kNone;  // the separator that ends them
  std::size_t last = kNone;      // the separator of the last field counted
  std::size_t to_unit = unit;    // fields to count until the next whole unit
  // Past the separator at `s`: a CR LF is one.
  auto after = [&](std::size_t s) {
    return s + ((bytes_[s] == '\r' && s + 1 < end_ && bytes_[s + 1] == '\n') ? 2 : 1);
  };
  for (std::size_t p = pos_; done < n;) {
    const std::size_t base = p & ~std::size_t{63};
    if (base + 64 > end_) break;  // the data's last bytes: one by one
    const Block& block = BlockAt(base);
    const std::uint64_t live = ~std::uint64_t{0} << (p - base);
    const std::uint64_t separators = block.separator & live;
    std::uint64_t stop = block.stop & live;
    // A quote around a field's whole text, closed in this block and followed by the
    // field's separator, separates nothing: it is counted as any other field.
    for (std::uint64_t quotes = block.quote & live; quotes;) {
      const int q = __builtin_ctzll(quotes);
      const std::uint64_t before = separators & ((std::uint64_t{1} << q) - 1);
      const std::size_t start = before ? after(base + static_cast<std::size_t>(HighestBit(before)))
                                       : last == kNone ? pos_ : after(last);
      const std::uint64_t later = quotes & ~((std::uint64_t{2} << q) - 1);
      const int c = later ? __builtin_ctzll(later) : 64;
      const std::uint64_t inside = c < 64 ? ((std::uint64_t{1} << c) - 1) & ~((std::uint64_t{2} << q) - 1) : 0;
      if (start != base + static_cast<std::size_t>(q) || c >= 63 || ((separators | stop) & inside) ||
          !((separators >> (c + 1)) & 1)) {
        stop |= std::uint64_t{1} << q;
        break;
      }
      quotes = later & (later - 1);
    }
    const std::uint64_t usable = stop ? separators & ((stop & (~stop + 1)) - 1) : separators;
    const std::size_t all = CountBits(usable);
    const std::size_t count = std::min(all, n - done);
    // The `j`-th of these separators; the last one without counting.
    auto nth = [&](std::size_t j) {
      return base + static_cast<std::size_t>(j == all ? HighestBit(usable) : NthBit(usable, j));
    };
    if (count >= to_unit) {
      // The last whole unit that ends among these fields.
      const std::size_t j = unit == 1 ? count : to_unit + (count - to_unit) / unit * unit;
      kept = done + j;
      kept_end = nth(j);
      to_unit = unit - (count - j);
    } else {
      to_unit -= count;
    }
    if (count > 0) last = nth(count);
    done += count;
    if (stop || count < all) break;
    p = base + 64;
  }
  // The fields skipped must each be followed by something, as AtEnd would see: the last
  // one's separator by more than blanks, line ends and the end.
  if (kept == 0) return 0;
  std::size_t next = after(kept_end);
  while (next < end_ && IsBlank(bytes_[next]) && bytes_[kept_end] == ',') ++next;
  if (next >= end_ || !IsContent(bytes_[next])) return 0;
  pos_ = after(kept_end);
  at_line_start_ = bytes_[kept_end] != ',';
  content_known_ = false;
  return kept;
}

}  // namespace pel
