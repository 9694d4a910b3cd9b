// The Win32 adapters on real folders under Wine (or Windows). Drive T: is a test drive
// mapped to a folder of the build; drive U: is mapped to a folder that does not exist,
// so it is never ready.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "paths/path_validation.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_ports.h"
#include "run/conversion_run.h"
#include "util/user_texts.h"
#include "support/cp932_cases.h"
#include "support/fakes.h"
#include "win32/test_folders.h"

namespace pel::win32 {
namespace {

std::string Slurp(const std::wstring& path) {
  auto bytes = Win32FileSystem().ReadWholeFile(path);
  return bytes ? *bytes : std::string("<unreadable>");
}

void WriteBytes(const std::wstring& path, const std::string& bytes) { ASSERT_TRUE(testing::WriteBytes(path, bytes)); }

// Names in `folder` that look like our temporary files.
int TemporaryFiles(const std::wstring& folder) { return testing::CountMatches(folder, L"~pel*.tmp"); }

class AdaptersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = testing::FreshTestFolder(L"adapters");
    ASSERT_TRUE(fs.EntryExists(dir)) << "is drive T: mapped?";
  }
  void TearDown() override {
    SetCurrentDirectoryW(L"T:\\");
    testing::RemoveTree(dir);
  }
  std::wstring dir;
  Win32FileSystem fs;
};

TEST_F(AdaptersTest, OrdinaryFilesOnly) {
  WriteBytes(dir + L"\\plain.txt", "x");
  WriteBytes(dir + L"\\hidden.txt", "x");
  SetFileAttributesW((dir + L"\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
  WriteBytes(dir + L"\\system.txt", "x");
  SetFileAttributesW((dir + L"\\system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);
  WriteBytes(dir + L"\\readonly.txt", "x");
  SetFileAttributesW((dir + L"\\readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  CreateDirectoryW((dir + L"\\folder").c_str(), nullptr);

  EXPECT_TRUE(fs.IsOrdinaryFile(dir + L"\\plain.txt"));
  EXPECT_TRUE(fs.IsOrdinaryFile(dir + L"\\PLAIN.TXT"));
  EXPECT_TRUE(fs.IsOrdinaryFile(dir + L"\\readonly.txt"));
  EXPECT_FALSE(fs.IsOrdinaryFile(dir + L"\\hidden.txt"));
  EXPECT_FALSE(fs.IsOrdinaryFile(dir + L"\\system.txt"));
  EXPECT_FALSE(fs.IsOrdinaryFile(dir + L"\\folder"));
  EXPECT_FALSE(fs.IsOrdinaryFile(dir + L"\\missing.txt"));

  EXPECT_TRUE(fs.EntryExists(dir + L"\\folder"));
  EXPECT_TRUE(fs.EntryExists(dir + L"\\hidden.txt"));
  EXPECT_FALSE(fs.EntryExists(dir + L"\\missing"));
}

TEST_F(AdaptersTest, ReadsEveryByte) {
  const std::string bytes("\"\x8C\x8A\",1\r\n\x1A\x00\xFF", 10);
  WriteBytes(dir + L"\\t.txt", bytes);
  EXPECT_EQ(Slurp(dir + L"\\t.txt"), bytes);
  EXPECT_FALSE(fs.ReadWholeFile(dir + L"\\missing.txt"));
}

TEST_F(AdaptersTest, ReplaceCreatesAndReplacesWholeFiles) {
  const std::wstring target = dir + L"\\out.txt";
  ASSERT_TRUE(fs.AtomicReplace(target, "first, longer content"));
  EXPECT_EQ(Slurp(target), "first, longer content");
  ASSERT_TRUE(fs.AtomicReplace(target, "second"));
  EXPECT_EQ(Slurp(target), "second");
  EXPECT_EQ(TemporaryFiles(dir), 0);
}

TEST_F(AdaptersTest, FailedReplaceKeepsTheOldFileAndLeavesNoTemporaryFile) {
  const std::wstring readonly = dir + L"\\readonly.txt";
  WriteBytes(readonly, "old");
  SetFileAttributesW(readonly.c_str(), FILE_ATTRIBUTE_READONLY);
  auto refused = fs.AtomicReplace(readonly, "new");
  ASSERT_FALSE(refused);
  EXPECT_FALSE(refused.error().reason.empty());
  EXPECT_EQ(Slurp(readonly), "old");

  CreateDirectoryW((dir + L"\\folder.txt").c_str(), nullptr);
  EXPECT_FALSE(fs.AtomicReplace(dir + L"\\folder.txt", "new"));
  EXPECT_FALSE(fs.AtomicReplace(dir + L"\\missing\\out.txt", "new"));

  // Held open by another program that allows no deleting or renaming.
  const std::wstring locked = dir + L"\\locked.txt";
  WriteBytes(locked, "old");
  {
    UniqueHandle holder(CreateFileW(locked.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    EXPECT_FALSE(fs.AtomicReplace(locked, "new"));
  }
  EXPECT_EQ(Slurp(locked), "old");
  EXPECT_EQ(TemporaryFiles(dir), 0);
}

TEST_F(AdaptersTest, CreatesFolders) {
  EXPECT_TRUE(fs.CreateFolder(dir + L"\\new"));
  EXPECT_TRUE(fs.EntryExists(dir + L"\\new"));
  EXPECT_FALSE(fs.CreateFolder(dir + L"\\new"));
  EXPECT_FALSE(fs.CreateFolder(dir + L"\\missing\\new"));
}

TEST_F(AdaptersTest, DrivesBecomeCurrentOnlyWhenReady) {
  Win32Drives drives;
  ASSERT_TRUE(SetCurrentDirectoryW(dir.c_str()));
  ASSERT_TRUE(drives.MakeDriveCurrent(L'C'));
  wchar_t current[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, current);
  EXPECT_EQ(current[0], L'C');
  // Back on T:, its own current folder comes back.
  ASSERT_TRUE(drives.MakeDriveCurrent(L't'));
  GetCurrentDirectoryW(MAX_PATH, current);
  EXPECT_EQ(std::wstring(current), dir);

  EXPECT_FALSE(drives.MakeDriveCurrent(L'U'));  // mapped, but not there
  EXPECT_FALSE(drives.MakeDriveCurrent(L'Q'));  // not mapped
  EXPECT_FALSE(drives.MakeDriveCurrent(L'1'));
  GetCurrentDirectoryW(MAX_PATH, current);
  EXPECT_EQ(std::wstring(current), dir);
}

TEST(Win32TextCodec, AgreesWithTheTableTheNativeTestsUse) {
  const Win32TextCodec codec;
  for (const auto& c : testing::kCp932Cases) {
    EXPECT_EQ(codec.ToCp932(c.text), c.bytes);
    if (std::string(c.bytes) != "?") {
      EXPECT_EQ(codec.FromCp932(c.bytes), c.text);
    }
  }
  EXPECT_EQ(AnsiByteLength(codec, L"D:\\地層\\ｶﾃﾞ"), 11);
  EXPECT_EQ(AnsiByteMid(codec, L"Ｃ:\\", 2, 1), L"b");  // the trail byte of Ｃ, not the colon
}

// The whole run on real folders: a missing destination path created after one Yes.
TEST_F(AdaptersTest, RunCreatesFoldersAndWritesTheFile) {
  const std::wstring source = dir + L"\\B-1";
  CreateDirectoryW(source.c_str(), nullptr);
  WriteBytes(source + L"\\titl01.txt", "\"\x8C\x8A No.1\"\r\n");
  WriteBytes(source + L"\\X1.txt", "1,2.5,a,b\r\n");

  testing::FakeRunWindow window;
  window.text2 = source;
  window.text1 = dir + L"\\out\\deep\\b1";
  testing::FakeMessageBoxes boxes;
  boxes.answers = {MessageAnswer::kYes};
  Win32Drives drives;
  Win32TextCodec codec;
  RunPorts ports{window, boxes, fs, drives, codec};
  std::int16_t flag = 0;
  RunConversion(ports, flag);

  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, texts::kCreateFolderQuestion);
  EXPECT_EQ(window.status, texts::kStatusDone);
  EXPECT_EQ(flag, 1);
  EXPECT_EQ(Slurp(dir + L"\\out\\deep\\b1.txt"), "TITLE     \x8C\x8A No.1" + std::string(34, ' ') +
                                                   "\r\nLAYER        1\r\n          0000002.50\r\nPOINT        0\r\n");
}

}  // namespace
}  // namespace pel::win32
