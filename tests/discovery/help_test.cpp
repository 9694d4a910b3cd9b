#include "discovery/help.h"

#include <gtest/gtest.h>

#include "support/fake_file_system.h"
#include "support/fakes.h"

namespace pel {
namespace {

using testing::FakeFileSystem;
using testing::FakeProcess;

TEST(FindHelpFile, ProgramFolderThenPathEntriesLeftToRight) {
  struct Case {
    const char* name;
    std::wstring path_variable;
    std::vector<std::wstring> copies;
    std::wstring expected;  // empty: not found
  } cases[] = {
      {"program_folder_first", L"C:\\A", {L"C:\\pel\\Vadelqix.HLP", L"C:\\A\\Vadelqix.HLP"}, L"C:\\pel\\Vadelqix.HLP"},
      {"first_path_entry_wins", L"C:\\A;C:\\B\\", {L"C:\\A\\Vadelqix.HLP", L"C:\\B\\Vadelqix.HLP"},
       L"C:\\A\\Vadelqix.HLP"},
      {"later_entry", L"C:\\none;C:\\B\\", {L"C:\\B\\Vadelqix.HLP"}, L"C:\\B\\Vadelqix.HLP"},
      {"trailing_semicolon", L"C:\\A;C:\\B;", {L"C:\\B\\Vadelqix.HLP"}, L"C:\\B\\Vadelqix.HLP"},
      {"empty_entry_is_the_current_root", L"C:\\none;;C:\\B", {L"\\Vadelqix.HLP", L"C:\\B\\Vadelqix.HLP"},
       L"\\Vadelqix.HLP"},
      {"entries_are_not_trimmed", L" C:\\A", {L"C:\\A\\Vadelqix.HLP"}, L""},
      {"quotes_are_not_removed", L"\"C:\\A\"", {L"C:\\A\\Vadelqix.HLP"}, L""},
      {"empty_path", L"", {L"C:\\A\\Vadelqix.HLP"}, L""},
      {"nowhere", L"C:\\A;C:\\B", {}, L""},
  };
  for (const auto& c : cases) {
    FakeFileSystem fs;
    for (const auto& copy : c.copies) fs.AddFile(copy, "help");
    FakeProcess process;
    process.program_folder = L"C:\\pel";
    process.variables[L"PATH"] = c.path_variable;
    std::wstring help_file_path = L"unchanged";
    EXPECT_EQ(FindHelpFile(fs, process, help_file_path), !c.expected.empty()) << c.name;
    EXPECT_EQ(help_file_path, c.expected.empty() ? L"unchanged" : c.expected) << c.name;
  }
}

TEST(FindHelpFile, HiddenCopyIsNotFoundAndProgramCopyLeavesPathUnread) {
  FakeFileSystem fs;
  fs.AddFile(L"C:\\pel\\Vadelqix.HLP", "help");
  FakeProcess process;
  process.program_folder = L"C:\\pel";
  std::wstring found;
  EXPECT_TRUE(FindHelpFile(fs, process, found));
  EXPECT_EQ(process.variable_reads, 0);

  fs.MarkHidden(L"C:\\pel\\Vadelqix.HLP");
  found.clear();
  EXPECT_FALSE(FindHelpFile(fs, process, found));
  EXPECT_EQ(process.variable_reads, 1);
}

TEST(ShowHelp, TopicFourIsTheViewersOwnHelp) {
  testing::FakeHelpViewer viewer;
  ShowHelp(viewer, L"C:\\A\\Vadelqix.HLP", 4);
  ShowHelp(viewer, L"C:\\A\\Vadelqix.HLP", 12);
  ShowHelp(viewer, L"", 1);
  EXPECT_EQ(viewer.calls, (std::vector<std::wstring>{L"|4|0", L"C:\\A\\Vadelqix.HLP|1|12", L"|1|1"}));
}

}  // namespace
}  // namespace pel
