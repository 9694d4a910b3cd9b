#include "util/outcomes.h"

#include "util/cp932.h"

namespace pel {

std::wstring DescribeOutcome(const Outcome& o) {
  const OutcomeKindInfo& info = InfoOf(o.kind);
  std::array<std::wstring, 5> values;
  for (int i = 0; i < info.hole_count; ++i) {
    std::wstring& v = values[static_cast<std::size_t>(i)];
    switch (info.holes[static_cast<std::size_t>(i)]) {
      case Hole::kPath: v = o.path; break;
      case Hole::kOther: v = o.other; break;
      case Hole::kReason: v = ReasonText(o.system); break;
      case Hole::kRecord: v = std::to_wstring(o.record); break;
      case Hole::kField: v = std::to_wstring(o.field); break;
      case Hole::kIntPlaces: v = std::to_wstring(o.int_places); break;
      case Hole::kValue: v = Cp932ToWide(o.value); break;
      case Hole::kLimit: v = std::to_wstring(o.limit); break;
    }
  }
  return texts::FillText(info.message, {values[0], values[1], values[2], values[3], values[4]});
}

}  // namespace pel
