// FNOTHER: taking a path apart at its separators.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pel {

// How many characters of `text` are separators (any character of `separators`).
std::int16_t CountSeparators(const std::wstring& text, const std::wstring& separators);

// Cuts `text` at every separator into s + 1 components (s separators; a component may
// be empty) and stores them in slots 1 to s + 1 of `components`, which grows to hold
// them. Slot 0 is left alone.
void SplitPath(const std::wstring& text, const std::wstring& separators, std::vector<std::wstring>& components);

}  // namespace pel
