#include "util/message_lines.h"

namespace pel {
namespace {

// Where a message box may wrap a line by itself: at a blank, and before or after a
// full-width character.
bool BoxCanWrapAt(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || DisplayColumns(c) == 2; }

}  // namespace

int DisplayColumns(wchar_t c) {
  if (c < 0x1100) return 1;
  if (c >= 0xFF61 && c <= 0xFF9F) return 1;  // half-width katakana
  return 2;
}

std::wstring BreakLongLines(std::wstring_view text, int columns) {
  const auto most = static_cast<std::size_t>(columns > 0 ? columns : 1);
  std::wstring out;
  out.reserve(text.size() + text.size() / 32);
  std::size_t run_end = 0;
  for (std::size_t i = 0; i < text.size(); i = run_end) {
    if (BoxCanWrapAt(text[i])) {
      out += text[i];
      run_end = i + 1;
      continue;
    }
    // A run the box cannot wrap; each of its characters takes one column.
    run_end = i;
    while (run_end < text.size() && !BoxCanWrapAt(text[run_end])) ++run_end;
    std::size_t piece = i;
    while (run_end - piece > most) {
      const std::size_t backslash = text.substr(piece, most).rfind(L'\\');
      const std::size_t cut = backslash != std::wstring_view::npos ? piece + backslash + 1 : piece + most;
      out.append(text.substr(piece, cut - piece));
      out += L'\n';
      piece = cut;
    }
    out.append(text.substr(piece, run_end - piece));
  }
  return out;
}

}  // namespace pel
