#include "source/field_reader.h"

#include <array>
#include <cstring>

namespace pel {
namespace {

constexpr char kEndOfFileMarker = '\x1A';

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// Bytes that end an unquoted field: comma, CR, LF.
constexpr std::array<bool, 256> kSeparator = [] {
  std::array<bool, 256> table{};
  table[static_cast<unsigned char>(',')] = true;
  table[static_cast<unsigned char>('\r')] = true;
  table[static_cast<unsigned char>('\n')] = true;
  return table;
}();

std::string_view TrimTrailingBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

FieldReader::FieldReader(std::string_view bytes) : data_(bytes) {
  if (const void* marker = std::memchr(bytes.data(), kEndOfFileMarker, bytes.size())) {
    data_ = bytes.substr(0, static_cast<std::size_t>(static_cast<const char*>(marker) - bytes.data()));
  }
}

bool FieldReader::AtEnd() const {
  for (std::size_t i = pos_; i < data_.size(); ++i) {
    const char c = data_[i];
    if (!IsBlank(c) && !IsLineEnd(c)) return false;
  }
  return true;
}

FieldReader::Parts FieldReader::Scan() {
  const std::size_t n = data_.size();
  const char* const base = data_.data();
  std::size_t i = pos_;
  // Skip blanks before the field; at a line start also skip blank lines.
  for (;;) {
    while (i < n && IsBlank(base[i])) ++i;
    if (!at_line_start_ || i >= n || !IsLineEnd(base[i])) break;
    i += (base[i] == '\r' && i + 1 < n && base[i + 1] == '\n') ? 2 : 1;
  }

  auto find_separator = [&](std::size_t from) {
    while (from < n && !kSeparator[static_cast<unsigned char>(base[from])]) ++from;
    return from;
  };

  Parts parts;
  parts.span.start = i;
  std::size_t end;
  if (i < n && base[i] == '"') {
    const std::size_t open = i + 1;
    const void* q = std::memchr(base + open, '"', n - open);
    const std::size_t close = q ? static_cast<std::size_t>(static_cast<const char*>(q) - base) : n;
    parts.first = data_.substr(open, close - open);
    parts.span.quoted = true;
    if (close >= n) {
      parts.span.unclosed = true;
      parts.span.end = n;
      pos_ = n;
      return parts;
    }
    end = find_separator(close + 1);
    parts.second = TrimTrailingBlanks(data_.substr(close + 1, end - close - 1));
  } else {
    end = find_separator(i);
    parts.first = TrimTrailingBlanks(data_.substr(i, end - i));
  }

  parts.span.end = end;
  parts.span.separator = end < n ? base[end] : '\0';
  // Consume the separator.
  if (end >= n) {
    pos_ = n;
  } else if (base[end] == ',') {
    pos_ = end + 1;
    at_line_start_ = false;
  } else {
    pos_ = end + ((base[end] == '\r' && end + 1 < n && base[end + 1] == '\n') ? 2 : 1);
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

std::string_view FieldReader::ReadField(std::string& scratch) {
  const Parts parts = Scan();
  if (parts.second.empty()) return parts.first;
  scratch.assign(parts.first);
  scratch.append(parts.second);
  return scratch;
}

std::string_view FieldReader::ReadField(std::string& scratch, FieldSpan& span) {
  const Parts parts = Scan();
  span = parts.span;
  if (parts.second.empty()) return parts.first;
  scratch.assign(parts.first);
  scratch.append(parts.second);
  return scratch;
}

void FieldReader::SkipField() { Scan(); }

void FieldReader::SkipField(FieldSpan& span) { span = Scan().span; }

}  // namespace pel
