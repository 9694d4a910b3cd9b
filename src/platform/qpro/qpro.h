// Our own stand-in for the functions of the closed helper library the converter once
// called. Each keeps the contract the program relies on, in plain C++.
#pragma once

#include <cstdint>
#include <string_view>

namespace pel::qpro {

// How often `search` occurs in `source`, counted in characters and without overlaps.
// 0 for an empty search text.
std::int32_t InCount(std::wstring_view source, std::wstring_view search);

}  // namespace pel::qpro
