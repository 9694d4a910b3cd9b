#include "util/outcomes.h"

#include "util/shown_text.h"

namespace pel {

namespace {

std::wstring Describe(const Outcome& o, std::wstring_view pattern) {
  const OutcomeKindInfo& info = InfoOf(o.kind);
  std::array<std::wstring, 6> values;
  for (int i = 0; i < info.hole_count; ++i) {
    std::wstring& v = values[static_cast<std::size_t>(i)];
    switch (info.holes[static_cast<std::size_t>(i)]) {
      case Hole::kPath: v = EscapeForDisplay(o.path); break;
      case Hole::kOther: v = EscapeForDisplay(o.other); break;
      case Hole::kReason: v = ReasonText(o.system); break;
      case Hole::kLine: v = std::to_wstring(o.line); break;
      case Hole::kRecord: v = std::to_wstring(o.record); break;
      case Hole::kField: v = std::to_wstring(o.field); break;
      case Hole::kIntPlaces: v = std::to_wstring(o.int_places); break;
      case Hole::kValue: v = ShownValue(o.value, o.value_cut); break;
      case Hole::kLimit: v = std::to_wstring(o.limit); break;
    }
  }
  return texts::FillText(pattern, {values[0], values[1], values[2], values[3], values[4], values[5]});
}

}  // namespace

std::wstring DescribeOutcome(const Outcome& o) { return Describe(o, InfoOf(o.kind).message); }

std::wstring DescribeOutcomeAs(const Outcome& o, std::wstring_view message) { return Describe(o, message); }

std::wstring DescribeOutcomeOnOneLine(const Outcome& o) {
  const OutcomeKindInfo& info = InfoOf(o.kind);
  const std::wstring_view message = info.message;
  std::wstring pattern;
  int hole = 0;
  for (std::size_t i = 0; i < message.size(); ++i) {
    if (message.substr(i, 2) == L"{}") ++hole;
    if (message[i] != L'\n') {
      pattern += message[i];
      continue;
    }
    const bool reason_next = message.substr(i + 1, 2) == L"{}" && hole < info.hole_count &&
                             info.holes[static_cast<std::size_t>(hole)] == Hole::kReason;
    pattern += reason_next ? L": " : L" ";
  }
  return Describe(o, pattern);
}

}  // namespace pel
