#include "platform/qpro/qpro.h"

namespace pel::qpro {

std::int32_t InCount(std::wstring_view source, std::wstring_view search) {
  if (search.empty()) return 0;
  std::int32_t count = 0;
  for (std::size_t at = source.find(search); at != std::wstring_view::npos; at = source.find(search, at + search.size())) {
    ++count;
  }
  return count;
}

}  // namespace pel::qpro
