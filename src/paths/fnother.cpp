#include "paths/fnother.h"

#include <algorithm>

#include "platform/qpro/qpro.h"

namespace pel {

std::int16_t CountSeparators(const std::wstring& text, const std::wstring& separators) {
  std::int32_t total = 0;
  for (wchar_t separator : separators) {
    total += qpro::InCount(text, std::wstring_view(&separator, 1));
  }
  return static_cast<std::int16_t>(std::min<std::int32_t>(total, 32767));
}

void SplitPath(const std::wstring& text, const std::wstring& separators, std::vector<std::wstring>& components) {
  std::size_t slot = 1;
  auto store = [&](std::wstring piece) {
    if (components.size() <= slot) components.resize(slot + 1);
    components[slot++] = std::move(piece);
  };
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (separators.find(text[i]) != std::wstring::npos) {
      store(text.substr(start, i - start));
      start = i + 1;
    }
  }
  store(text.substr(start));
}

}  // namespace pel
