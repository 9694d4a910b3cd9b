#include "paths/fnother.h"

#include <gtest/gtest.h>

#include "platform/qpro/qpro.h"

namespace pel {
namespace {

TEST(Fnother, CountsAndSplitsAtSeparators) {
  struct Case {
    std::wstring text;
    std::wstring separators;
    int count;
    std::vector<std::wstring> components;  // slots 1 to count + 1
  } cases[] = {
      {L"", L"\\", 0, {L""}},
      {L"name", L"\\", 0, {L"name"}},
      {L"C:\\out\\sub\\name\\", L"\\", 4, {L"C:", L"out", L"sub", L"name", L""}},
      {L"C:\\a\\\\b", L"\\", 3, {L"C:", L"a", L"", L"b"}},
      {L"a/b\\c", L"\\/", 2, {L"a", L"b", L"c"}},
      // A backslash byte inside a double-byte character is no separator.
      {L"C:\\ソフト\\表", L"\\", 2, {L"C:", L"ソフト", L"表"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("text " + ::testing::PrintToString(c.text) + " separators " + ::testing::PrintToString(c.separators));
    EXPECT_EQ(CountSeparators(c.text, c.separators), c.count);
    std::vector<std::wstring> slots(1, L"slot0");
    SplitPath(c.text, c.separators, slots);
    ASSERT_EQ(slots.size(), c.components.size() + 1);
    EXPECT_EQ(slots[0], L"slot0");
    EXPECT_EQ(std::vector<std::wstring>(slots.begin() + 1, slots.end()), c.components);
  }
}

TEST(InCount, CountsOccurrencesWithoutOverlap) {
  EXPECT_EQ(qpro::InCount(L"aaaa", L"aa"), 2);
  EXPECT_EQ(qpro::InCount(L"a\\b\\c", L"\\"), 2);
  EXPECT_EQ(qpro::InCount(L"abc", L""), 0);
  EXPECT_EQ(qpro::InCount(L"", L"a"), 0);
}

}  // namespace
}  // namespace pel
