#include "run/conversion_run.h"

#include <gtest/gtest.h>

#include "paths/path_validation.h"
#include "util/user_texts.h"
#include "support/fake_file_system.h"
#include "support/fakes.h"

namespace pel {
namespace {

using testing::FakeDrives;
using testing::FakeFileSystem;
using testing::FakeMessageBoxes;
using testing::FakeRunWindow;
using testing::FakeTextCodec;

class RunConversionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs.AddFolder(L"C:\\src");
    fs.AddFile(L"C:\\src\\titl01.txt", "B-1");
    fs.AddFolder(L"C:\\work");
    window.text2 = L"C:\\src";
  }
  void Run(const std::wstring& text1) {
    window.text1 = text1;
    RunConversion(ports, flag);
  }
  // A run that ended before writing: nothing replaced, no success, the status line empty.
  void ExpectEndedWithoutWriting(const std::string& label) const {
    SCOPED_TRACE(label);
    EXPECT_EQ(window.status, L"");
    EXPECT_EQ(window.refreshes, 0);
    EXPECT_FALSE(window.busy);
    EXPECT_EQ(flag, 0);
  }
  // The boxes shown, as "text|caption".
  std::vector<std::wstring> Shown() const {
    std::vector<std::wstring> shown;
    for (const auto& m : boxes.shown) shown.push_back(m.text + L"|" + m.caption);
    return shown;
  }

  FakeFileSystem fs;
  FakeDrives drives{L"CD"};
  FakeMessageBoxes boxes;
  FakeRunWindow window;
  FakeTextCodec codec;
  RunPorts ports{window, boxes, fs, drives, codec};
  std::int16_t flag = 0;
};

TEST_F(RunConversionTest, WritesTheFileAndReportsSuccess) {
  Run(L"C:\\work\\out ");
  EXPECT_TRUE(boxes.shown.empty());
  ASSERT_TRUE(fs.HasFile(L"C:\\work\\out.txt"));
  EXPECT_EQ(fs.File(L"C:\\work\\out.txt").substr(0, 13), "TITLE     B-1");
  EXPECT_EQ(window.statuses, (std::vector<std::wstring>{texts::kStatusConverting, texts::kStatusDone}));
  EXPECT_EQ(window.pointer_changes, (std::vector<bool>{true, false}));
  EXPECT_EQ(window.refreshes, 1);
  EXPECT_EQ(flag, 1);
}

TEST_F(RunConversionTest, RejectedPathsEndTheRunInTheirBox) {
  struct Case {
    std::wstring text2, text1;
    std::vector<std::wstring> shown;
    std::wstring focused;
  } cases[] = {
      {L" Q:\\src ", L"C:\\work\\out", {std::wstring(texts::kBadPath) + L"|Q:\\src"}, L"Text2"},
      {L"C:\\src", L"C:\\my work\\out", {std::wstring(texts::kBadPath) + L"|C:\\my work\\out"}, L"Text1"},
      {L"", L"C:\\work\\out",
       {std::wstring(texts::kDriveForm) + L"|Vomel", std::wstring(texts::kBadPath) + L"|"}, L"Text2"},
      {L"C:\\src", L"\\work\\out",
       {std::wstring(texts::kDriveForm) + L"|Vomel", std::wstring(texts::kBadPath) + L"|\\work\\out"}, L"Text1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.text2) + " " + ::testing::PrintToString(c.text1));
    boxes.shown.clear();
    window = FakeRunWindow();
    window.text2 = c.text2;
    Run(c.text1);
    EXPECT_EQ(Shown(), c.shown);
    // The drive message comes first, with the information icon.
    EXPECT_EQ(boxes.shown.front().icon, c.shown.size() > 1 ? MessageIcon::kInformation : MessageIcon::kExclamation);
    EXPECT_EQ(boxes.shown.back().icon, MessageIcon::kExclamation);
    EXPECT_EQ(window.focused, c.focused);
    EXPECT_TRUE(window.pointer_changes.empty());
    ExpectEndedWithoutWriting("rejected path");
  }
  EXPECT_EQ(fs.replace_calls(), 0);
}

TEST_F(RunConversionTest, NoFileNameEvenWithTrailingBlanks) {
  for (const std::wstring text1 : {L"C:\\work\\", L"C:\\work\\   "}) {
    boxes.shown.clear();
    Run(text1);
    EXPECT_EQ(Shown(), (std::vector<std::wstring>{std::wstring(texts::kNoFileName) + L"|Vomel"}));
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::kNone);
    ExpectEndedWithoutWriting("no file name");
  }
  EXPECT_EQ(fs.replace_calls(), 0);
}

TEST_F(RunConversionTest, AsksOnceThenCreatesEveryMissingLevelOutermostFirst) {
  boxes.answers = {MessageAnswer::kYes};
  Run(L"C:\\a\\b\\c\\out");
  EXPECT_EQ(Shown(), (std::vector<std::wstring>{std::wstring(texts::kCreateFolderQuestion) + L"|Vomel"}));
  EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::kYesNo);
  EXPECT_EQ(boxes.shown[0].icon, MessageIcon::kQuestion);
  EXPECT_EQ(fs.created(), (std::vector<std::wstring>{L"C:\\a", L"C:\\a\\b", L"C:\\a\\b\\c"}));
  EXPECT_TRUE(fs.HasFile(L"C:\\a\\b\\c\\out.txt"));
  EXPECT_EQ(window.status, texts::kStatusDone);
}

TEST_F(RunConversionTest, OnlyMissingLevelsAreCreated) {
  fs.AddFolder(L"C:\\work\\keep");
  boxes.answers = {MessageAnswer::kYes};
  Run(L"C:\\work\\keep\\new\\out");
  EXPECT_EQ(fs.created(), (std::vector<std::wstring>{L"C:\\work\\keep\\new"}));
}

TEST_F(RunConversionTest, NoToTheFolderQuestionWritesNothing) {
  boxes.answers = {MessageAnswer::kNo};
  Run(L"C:\\a\\b\\out");
  EXPECT_EQ(boxes.shown.size(), 1u);
  EXPECT_TRUE(fs.created().empty());
  EXPECT_EQ(fs.replace_calls(), 0);
  ExpectEndedWithoutWriting("answered No");
}

TEST_F(RunConversionTest, DriveRootsAndDriveRelativeNamesTestNoLevel) {
  Run(L"C:\\out");
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_TRUE(fs.HasFile(L"C:\\out.txt"));
  Run(L"C:out");
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_TRUE(fs.HasFile(L"C:out.txt"));
}

TEST_F(RunConversionTest, SourceIsTheTrimmedTextNotTheNormalizedPath) {
  fs.AddFile(L"C:src\\titl01.txt", "relative");
  window.text2 = L" C:src ";
  Run(L"D:\\out");
  EXPECT_EQ(fs.File(L"D:\\out.txt").substr(0, 18), "TITLE     relative");
  EXPECT_EQ(drives.current, L'D');
}

TEST_F(RunConversionTest, PlatformAndConversionFailuresShowOneMessageAndNoSuccess) {
  const std::wstring deep = L"C:" + [] {
    std::wstring s;
    for (int i = 0; i < 255; ++i) s += L"\\d";
    return s;
  }();
  struct Case {
    const char* name;
    std::wstring text1;
    std::wstring expected_in_message;
    bool reached_conversion;
    std::wstring text2 = L"C:\\src";
  } cases[] = {
      {"folder_not_created", L"C:\\locked\\out", L"C:\\locked", false},
      // Named as every other message names the destination: as typed, then ".txt".
      {"too_deep", deep, texts::FillText(texts::kPathTooDeep, {L"255", deep + L".txt"}), false},
      {"value_too_wide", L"C:\\work\\wide", L"12345678.9", true},
      {"unwritable", L"C:\\work\\locked", L"C:\\work\\locked.txt", true},
      // Said before the missing destination folder is asked about.
      {"no_source_files", L"C:\\new\\out", L"変換元フォルダに変換するファイルがありません。\nC:\\empty\n", false,
       L"C:\\empty"},
  };
  fs.AddFolder(L"C:\\empty");
  fs.MarkUncreatable(L"C:\\locked");
  fs.MarkUnwritable(L"C:\\work\\locked.txt");
  fs.AddFile(L"C:\\work\\locked.txt", "old");
  for (const auto& c : cases) {
    boxes = FakeMessageBoxes();
    boxes.answers = {MessageAnswer::kYes};
    window = FakeRunWindow();
    window.text2 = c.text2;
    if (std::string(c.name) == "value_too_wide") fs.AddFile(L"C:\\src\\X1.txt", "1,12345678.9,a,b");
    Run(c.text1);
    const auto errors = std::count_if(boxes.shown.begin(), boxes.shown.end(),
                                      [](const auto& m) { return m.icon == MessageIcon::kExclamation; });
    EXPECT_EQ(errors, 1) << c.name;
    if (c.text2 != L"C:\\src") {
      EXPECT_EQ(boxes.shown.size(), 1u) << "no question before it";
    }
    EXPECT_NE(boxes.shown.back().text.find(c.expected_in_message), std::wstring::npos) << c.name;
    EXPECT_EQ(boxes.shown.back().caption, L"Vomel") << c.name;
    EXPECT_EQ(window.pointer_changes.size(), c.reached_conversion ? 2u : 0u) << c.name;
    ExpectEndedWithoutWriting(c.name);
    fs.AddFile(L"C:\\src\\X1.txt", "");
  }
  EXPECT_EQ(fs.File(L"C:\\work\\locked.txt"), "old");
  EXPECT_FALSE(fs.HasFile(L"C:\\work\\wide.txt"));
}

TEST_F(RunConversionTest, SecondRunStartsAfresh) {
  Run(L"C:\\work\\one");
  flag = 0;
  window = FakeRunWindow();
  window.text2 = L"C:\\src";
  Run(L"C:\\work\\two");
  EXPECT_EQ(fs.File(L"C:\\work\\one.txt"), fs.File(L"C:\\work\\two.txt"));
  EXPECT_EQ(flag, 1);
}

}  // namespace
}  // namespace pel
