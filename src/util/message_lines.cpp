#include "util/message_lines.h"

namespace pel {

int DisplayColumns(wchar_t c) {
  if (c < 0x1100) return 1;
  if (c >= 0xFF61 && c <= 0xFF9F) return 1;  // half-width katakana
  return 2;
}

std::wstring BreakLongLines(std::wstring_view text, int columns) {
  std::wstring out;
  out.reserve(text.size() + text.size() / 32);
  std::size_t line_start = 0;
  int width = 0;
  std::size_t last_break = std::wstring_view::npos;  // just after the last "\" on this line
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'\n') {
      out.append(text.substr(line_start, i + 1 - line_start));
      line_start = i + 1;
      width = 0;
      last_break = std::wstring_view::npos;
      continue;
    }
    const int w = DisplayColumns(c);
    if (width + w > columns && i > line_start) {
      const std::size_t cut = last_break != std::wstring_view::npos && last_break > line_start ? last_break : i;
      out.append(text.substr(line_start, cut - line_start));
      out += L'\n';
      line_start = cut;
      width = 0;
      for (std::size_t k = cut; k < i; ++k) width += DisplayColumns(text[k]);
      last_break = std::wstring_view::npos;
    }
    width += w;
    if (c == L'\\') last_break = i + 1;
  }
  out.append(text.substr(line_start));
  return out;
}

}  // namespace pel
