#include "util/message_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace pel {
namespace {

int WidestLine(const std::wstring& text) {
  int widest = 0, width = 0;
  for (wchar_t c : text) {
    width = c == L'\n' ? 0 : width + DisplayColumns(c);
    widest = std::max(widest, width);
  }
  return widest;
}

// `broken` less the line breaks that BreakLongLines added to `original`.
std::wstring WithoutAddedBreaks(const std::wstring& broken, const std::wstring& original) {
  std::wstring kept;
  std::size_t o = 0;
  for (wchar_t c : broken) {
    if (c == L'\n' && (o >= original.size() || original[o] != L'\n')) continue;
    kept += c;
    ++o;
  }
  return kept;
}

TEST(BreakLongLines, BreaksAfterABackslashOrAtTheColumn) {
  const std::wstring a300(300, L'a');
  const std::wstring kanji(40, L'地');  // 80 columns
  const struct {
    const char* name;
    std::wstring text;
    std::wstring expected;  // empty: only the invariants are checked
  } cases[] = {
      {"short stays", L"C:\\work\\b1.txt", L"C:\\work\\b1.txt"},
      {"after the last backslash that fits", L"C:\\" + std::wstring(50, L'x') + L"\\" + std::wstring(20, L'y'),
       L"C:\\" + std::wstring(50, L'x') + L"\\\n" + std::wstring(20, L'y')},
      {"a piece longer than a line", L"C:\\" + a300 + L".txt", L""},
      {"full-width counts two", L"D:\\" + kanji, L"D:\\\n" + std::wstring(30, L'地') + L"\n" + std::wstring(10, L'地')},
      {"half-width katakana counts one", std::wstring(60, L'ｶ'), std::wstring(60, L'ｶ')},
      {"existing lines kept", L"ファイルを読み込めません。\nC:\\" + a300 + L"\n拒否", L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::wstring broken = BreakLongLines(c.text);
    if (!c.expected.empty()) {
      EXPECT_EQ(broken, c.expected);
    }
    EXPECT_LE(WidestLine(broken), 60);
    EXPECT_EQ(WithoutAddedBreaks(broken, c.text), c.text);
  }
}

}  // namespace
}  // namespace pel
