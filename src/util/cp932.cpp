#include "util/cp932.h"

#include <cstdint>

namespace pel {
namespace {

constexpr std::uint16_t kDoubleByte[60][189] = {
#include "util/cp932_table.inc"
};

constexpr char32_t kReplacement = 0xFFFD;

int LeadRow(unsigned char lead) { return lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + 31; }

char32_t SingleByte(unsigned char c) {
  if (c < 0x80) return c;
  if (c == 0x80) return 0x80;
  if (c == 0xA0) return 0xF8F0;
  if (c >= 0xA1 && c <= 0xDF) return 0xFF61 + (c - 0xA1);  // half-width katakana
  if (c >= 0xFD) return 0xF8F1 + (c - 0xFD);
  return kReplacement;
}


}  // namespace

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::u32string DecodeCp932(std::string_view bytes) {
  std::u32string text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (!IsCp932LeadByte(c)) {
      text += SingleByte(c);
      continue;
    }
    const auto trail = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
    if (trail < 0x40 || trail > 0xFC || trail == 0x7F) {
      text += kReplacement;  // the next byte, if any, is read on its own
      continue;
    }
    const std::uint16_t mapped = kDoubleByte[LeadRow(c)][trail - 0x40];
    text += mapped ? char32_t{mapped} : kReplacement;
    ++i;
  }
  return text;
}

std::wstring Cp932ToWide(std::string_view bytes) {
  std::wstring text;
  for (char32_t c : DecodeCp932(bytes)) {
    if constexpr (sizeof(wchar_t) == 2) {
      if (c >= 0x10000) {  // not in code page 932, but keep the conversion whole
        text += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
        text += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        continue;
      }
    }
    text += static_cast<wchar_t>(c);
  }
  return text;
}

std::string Utf8(std::u32string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (char32_t c : text) AppendUtf8(out, c);
  return out;
}

std::string Utf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<char32_t>(text[i]);
    if (sizeof(wchar_t) == 2 && c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
      const auto low = static_cast<char32_t>(text[i + 1]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    AppendUtf8(out, c);
  }
  return out;
}

std::string Cp932ToUtf8(std::string_view bytes) { return Utf8(DecodeCp932(bytes)); }

}  // namespace pel
