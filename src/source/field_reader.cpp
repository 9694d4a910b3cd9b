#include "source/field_reader.h"

#include <cstring>

namespace pel {
namespace {

constexpr char kEndOfFileMarker = '\x1A';

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// Collects a field's value.
struct ValueSink {
  std::string value;
  void Append(std::string_view part) { value.append(part); }
};

// Discards a field's value.
struct NullSink {
  void Append(std::string_view) {}
};

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

template <class Sink>
void FieldReader::Scan(Sink& sink) {
  const std::size_t n = data_.size();
  std::size_t i = pos_;
  // Skip blanks before the field; at a line start also skip blank lines.
  for (;;) {
    while (i < n && IsBlank(data_[i])) ++i;
    if (!at_line_start_ || i >= n || !IsLineEnd(data_[i])) break;
    i += (data_[i] == '\r' && i + 1 < n && data_[i + 1] == '\n') ? 2 : 1;
  }

  const char* const base = data_.data();
  auto find_separator = [&](std::size_t from) {
    while (from < n && data_[from] != ',' && !IsLineEnd(data_[from])) ++from;
    return from;
  };

  std::size_t end;
  if (i < n && data_[i] == '"') {
    const std::size_t open = i + 1;
    const void* q = std::memchr(base + open, '"', n - open);
    const std::size_t close = q ? static_cast<std::size_t>(static_cast<const char*>(q) - base) : n;
    sink.Append(data_.substr(open, close - open));
    if (close >= n) {
      pos_ = n;
      return;
    }
    end = find_separator(close + 1);
    sink.Append(TrimTrailingBlanks(data_.substr(close + 1, end - close - 1)));
  } else {
    end = find_separator(i);
    sink.Append(TrimTrailingBlanks(data_.substr(i, end - i)));
  }

  // Consume the separator.
  if (end >= n) {
    pos_ = n;
  } else if (data_[end] == ',') {
    pos_ = end + 1;
    at_line_start_ = false;
  } else {
    pos_ = end + ((data_[end] == '\r' && end + 1 < n && data_[end + 1] == '\n') ? 2 : 1);
    at_line_start_ = true;
  }
}

std::string FieldReader::ReadField() {
  ValueSink sink;
  Scan(sink);
  return std::move(sink.value);
}

void FieldReader::SkipField() {
  NullSink sink;
  Scan(sink);
}

}  // namespace pel
