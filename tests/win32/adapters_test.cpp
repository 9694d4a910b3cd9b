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
#include "platform/win32/win32_system.h"
#include "run/conversion_run.h"
#include "util/user_texts.h"
#include "support/cp932_cases.h"
#include "util/cp932.h"
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

// Ordinary, hidden, system and read-only files, folders, links, listings, folder creation
// and atomic replace are the contract of tests/support/file_system_contract.h, which runs
// on these adapters in adapter_contract_test.cpp. Here: what only Windows can show.

TEST_F(AdaptersTest, FailedReplaceKeepsTheOldFileAndLeavesNoTemporaryFile) {
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

// Our own code page 932 decoder, on every byte and every pair, against Windows' own.
TEST(DecodeCp932, AgreesWithMultiByteToWideCharOnEveryValidCode) {
  int pairs = 0;
  for (int first = 0; first < 256; ++first) {
    const bool lead = IsCp932LeadByte(static_cast<unsigned char>(first));
    for (int second = lead ? 0x40 : -1; second <= (lead ? 0xFC : -1); ++second) {
      std::string bytes(1, static_cast<char>(first));
      if (lead) bytes += static_cast<char>(second);
      wchar_t wide[4] = {};
      const int length = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                             wide, 4);
      if (length == 0) continue;  // no character in Windows either
      ++pairs;
      EXPECT_EQ(Cp932ToWide(bytes), std::wstring(wide, static_cast<std::size_t>(length)))
          << std::hex << first << " " << second;
    }
  }
  EXPECT_GT(pairs, 9000);
}

// The command line's text for a pipe or a file. Best fit would turn the yen sign into a
// backslash and infinity into "8"; code page 50220 takes no default character.
TEST(TextInCodePage, ShowsWhatTheCodePageHasAndAQuestionMarkForTheRest) {
  const struct {
    UINT code_page;
    const wchar_t* text;
    std::string bytes;
  } cases[] = {
      {932, L"X5 の値「」、0", "X5 \x82\xCC\x92\x6C\x81\x75\x81\x76\x81\x41" "0"},
      {932, L"C:\\地層\\ｶﾃﾞ\n", "C:\\\x92\x6E\x91\x77\\\xB6\xC3\xDE\n"},
      {932, L"¥1 한", "?1 ?"},
      {1252, L"café ∞ 地", "caf\xE9 ? ?"},
      {437, L"警告: X5", "??: X5"},
      {CP_UTF8, L"地層 ∞", "\xE5\x9C\xB0\xE5\xB1\xA4 \xE2\x88\x9E"},
      {50220, L"地層", "\xE5\x9C\xB0\xE5\xB1\xA4"},
      {932, L"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TextInCodePage(c.text, c.code_page), c.bytes) << c.code_page;
  }
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
