#include "source/field_reader.h"


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

}  // namespace pel
