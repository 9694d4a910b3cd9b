#include "util/shown_text.h"

#include "util/cp932.h"

namespace pel {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

bool IsControl(unsigned c) { return c < 0x20 || c == 0x7F; }

}  // namespace

BoundedValue BoundValue(std::string_view cp932, std::size_t most) {
  BoundedValue v;
  // CR and LF are never the second byte of a character: the first line ends at either.
  // No more than the bytes `most` characters can take is looked at, however long the value.
  const std::string_view head = cp932.substr(0, 2 * most + 1);
  const std::size_t line_end = head.find_first_of("\r\n");
  const std::string_view line = head.substr(0, line_end);
  v.cut = line_end != std::string_view::npos || cp932.size() > head.size();
  // A character takes one byte or, from a lead byte, two.
  std::size_t end = 0;
  for (std::size_t chars = 0; end < line.size() && chars < most; ++chars) {
    end += IsCp932LeadByte(static_cast<unsigned char>(line[end])) && end + 1 < line.size() ? 2 : 1;
  }
  // A lead byte without its trail decodes as two characters: take fewer until they fit.
  while (end > 0 && DecodeCp932(line.substr(0, end)).size() > most) --end;
  v.cut = v.cut || end < line.size();
  v.bytes.assign(line.substr(0, end));
  return v;
}

std::wstring EscapeForDisplay(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    const auto u = static_cast<unsigned>(c);
    const bool undecodable = IsUndecodableByte(c);
    if (!IsControl(u) && !undecodable) {
      out += c;
      continue;
    }
    const unsigned byte = undecodable ? u - 0xDC00 : u;
    out += L"\\x";
    out += static_cast<wchar_t>(kHex[byte >> 4]);
    out += static_cast<wchar_t>(kHex[byte & 15]);
  }
  return out;
}

std::string EscapeControlBytes(std::string_view cp932) {
  std::string out;
  out.reserve(cp932.size());
  for (char c : cp932) {
    const auto u = static_cast<unsigned char>(c);
    if (!IsControl(u)) {
      out += c;
      continue;
    }
    out += "\\x";
    out += kHex[u >> 4];
    out += kHex[u & 15];
  }
  return out;
}

std::wstring ShownValue(std::string_view bounded_cp932, bool cut) {
  std::wstring text = EscapeForDisplay(Cp932ToWide(bounded_cp932));
  if (cut) text += kCutMark;
  return text;
}

std::string ShownValueBytes(std::string_view bounded_cp932, bool cut) {
  std::string bytes = EscapeControlBytes(bounded_cp932);
  if (cut) bytes += "\x81\x63";  // the cut mark in code page 932
  return bytes;
}

}  // namespace pel
