// Long paths in message boxes: a box sizes itself to its longest line, and a path has
// no blanks to break at, so a 300-character name made a box wider than the screen.
// Sentences the box wraps itself, at blanks and between full-width characters.
#pragma once

#include <string>
#include <string_view>

namespace pel {

// The columns a character takes on screen: 2 for a full-width one, 1 otherwise
// (half-width katakana included).
int DisplayColumns(wchar_t c);

// `text` with line breaks added inside each run of more than `columns` columns that holds
// no blank and no full-width character (a path, a long name), so that no piece of it takes
// more than `columns`: a piece ends after the last "\" that fits, or, where none does, at
// the column itself. Everything else is left to the box's own wrapping; existing line
// breaks and every character are kept; only "\n" is added.
std::wstring BreakLongLines(std::wstring_view text, int columns = 60);

}  // namespace pel
