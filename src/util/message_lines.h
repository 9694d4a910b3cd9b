// Long paths in message boxes: a box sizes itself to its longest line, and a path has
// no blanks to break at, so a 300-character name made a box wider than the screen.
#pragma once

#include <string>
#include <string_view>

namespace pel {

// The columns a character takes on screen: 2 for a full-width one, 1 otherwise
// (half-width katakana included).
int DisplayColumns(wchar_t c);

// `text` with line breaks added so that no line takes more than `columns` columns: a
// long line breaks after the last "\" that fits, or, in a piece without one, at the
// column itself. Existing line breaks and every character are kept; only "\n" is added.
std::wstring BreakLongLines(std::wstring_view text, int columns = 60);

}  // namespace pel
