// Any text through the number field: where the short way for plain decimals takes it, it
// must give what the general decimal rendering gives; every field is empty or exactly
// as wide as its format. The decimal reading's quick way for short texts must give what
// the byte-at-a-time reading gives, on the text and on each of its tails.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "output/number_field.h"
#include "source/decimal.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  // Each tail read alone, and its first bytes (up to 11) read with the rest of the tail
  // at hand to be read, never taken.
  for (std::size_t from = 0; from <= text.size(); ++from) {
    const std::string_view tail = text.substr(from);
    for (std::size_t size = 0; size <= std::min<std::size_t>(tail.size(), 11); ++size) {
      const std::string_view part = size == tail.size() ? tail : tail.substr(0, size);
      const pel::DecimalPrefix plain = pel::ParseDecimalPrefixPlain(part);
      for (const pel::DecimalPrefix quick : {pel::ParseDecimalPrefix(part), pel::ParseDecimalPrefix(part, tail.size())}) {
        if (quick.length != plain.length ||
            std::bit_cast<std::uint64_t>(quick.value) != std::bit_cast<std::uint64_t>(plain.value)) {
          std::abort();
        }
      }
    }
    if (tail.size() > 11) {
      const pel::DecimalPrefix plain = pel::ParseDecimalPrefixPlain(tail);
      const pel::DecimalPrefix quick = pel::ParseDecimalPrefix(tail);
      if (quick.length != plain.length ||
          std::bit_cast<std::uint64_t>(quick.value) != std::bit_cast<std::uint64_t>(plain.value)) {
        std::abort();
      }
    }
  }
  for (const auto& [places, decimals] : {std::pair{7, 2}, std::pair{6, 3}}) {
    const pel::FormattedNumber general = pel::FormatNumberGeneral(text, places, decimals);
    if (const auto plain = pel::FormatPlainDecimal(text, places, decimals)) {
      if (plain->field() != general.field() || plain->whole != general.whole || plain->zero != general.zero) std::abort();
    }
    const auto field = general.field();
    if (field && !field->empty() && field->size() != static_cast<std::size_t>(places + 1 + decimals)) std::abort();
  }
  return 0;
}
