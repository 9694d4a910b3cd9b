#include "util/message_lines.h"

#include <gtest/gtest.h>

#include <string>

namespace pel {
namespace {

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

TEST(BreakLongLines, BreaksOnlyRunsWithoutBlanksOrFullWidthCharacters) {
  const std::wstring a300(300, L'a');
  const std::wstring a60(60, L'a');
  const std::wstring a60_times4 = a60 + L"\n" + a60 + L"\n" + a60 + L"\n" + a60 + L"\n";
  const std::wstring kanji(70, L'地');  // more than 60 characters, 140 columns
  const std::wstring sentence = std::wstring(L"規定値のドライブ名が正しくありません。ドライブ名は１文字のアルファベットと") +
                                L" \":\" でなければいけません。  例 \"C:\", \"D:\"...";
  const struct {
    const char* name;
    std::wstring text;
    std::wstring expected;
  } cases[] = {
      {"short stays", L"C:\\work\\b1.txt", L"C:\\work\\b1.txt"},
      {"after the last backslash that fits", L"C:\\" + std::wstring(50, L'x') + L"\\" + std::wstring(20, L'y'),
       L"C:\\" + std::wstring(50, L'x') + L"\\\n" + std::wstring(20, L'y')},
      {"a piece longer than a line", L"C:\\" + a300 + L".txt", L"C:\\\n" + a60_times4 + a60 + L"\n.txt"},
      {"full-width text wraps in the box", L"D:\\" + kanji, L"D:\\" + kanji},
      {"a sentence stays whole", sentence, sentence},
      {"a full-width character ends a run", a60 + L"地" + a60, a60 + L"地" + a60},
      {"blanks wrap in the box", L"The folder " + std::wstring(20, L'x') + L" holds none of the four files, nor do any below",
       L"The folder " + std::wstring(20, L'x') + L" holds none of the four files, nor do any below"},
      {"a path after full-width text", L"ファイル：C:\\" + a300, L"ファイル：C:\\\n" + a60_times4 + a60},
      {"a path with a blank: each run on its own", L"C:\\My Documents\\" + std::wstring(70, L'b'),
       L"C:\\My Documents\\\n" + std::wstring(60, L'b') + L"\n" + std::wstring(10, L'b')},
      {"half-width katakana counts one", std::wstring(60, L'ｶ'), std::wstring(60, L'ｶ')},
      {"a long half-width name", std::wstring(61, L'ｶ'), std::wstring(60, L'ｶ') + L"\nｶ"},
      {"existing lines kept", L"ファイルを読み込めません。\nC:\\" + a300 + L"\n拒否",
       L"ファイルを読み込めません。\nC:\\\n" + a60_times4 + a60 + L"\n拒否"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::wstring broken = BreakLongLines(c.text);
    EXPECT_EQ(broken, c.expected);
    EXPECT_EQ(WithoutAddedBreaks(broken, c.text), c.text);
  }
}

}  // namespace
}  // namespace pel
