// Start-up discovery on real folders and test drives, under Wine (or Windows).
#include <windows.h>

#include <gtest/gtest.h>

#include <future>
#include <string>

#include "discovery/help.h"
#include "discovery/patdat.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_ports.h"
#include "support/fake_file_system.h"
#include "support/fakes.h"
#include "ui/patdat_search.h"
#include "ui/window_util.h"
#include "win32/dialog_driver.h"
#include "win32/test_folders.h"

namespace pel::win32 {
namespace {

void MakeFolder(const std::wstring& path) { ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr)) << path.size(); }

void MakeFile(const std::wstring& path, const char* content) { ASSERT_TRUE(testing::WriteBytes(path, content)); }

using testing::MakeDirectoryLink;
using testing::RemoveDirectoryLink;

class DiscoveryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = testing::FreshTestFolder(L"discovery");
    ASSERT_TRUE(fs.EntryExists(root));
  }
  void TearDown() override { testing::RemoveTree(root); }

  std::vector<std::wstring> Walk() {
    qpro::Library library(fs, drives);
    std::int16_t hit_count = 0;
    std::vector<std::wstring> hits;
    SearchPatdatTree(library, process, root + L"\\PATDAT", hit_count, hits, kPatdatMarker);
    return hits;
  }

  std::wstring root;
  Win32FileSystem fs;
  Win32Drives drives;
  Win32Process process;
};

TEST_F(DiscoveryTest, WalksRealFoldersInPreOrder) {
  MakeFolder(root + L"\\A");
  MakeFolder(root + L"\\A\\deep");
  MakeFolder(root + L"\\A\\deep\\PATDAT");
  MakeFile(root + L"\\A\\deep\\PATDAT\\kishitu.txt", "CLAY 1.70\r\n");
  MakeFolder(root + L"\\B");
  MakeFolder(root + L"\\B\\PATDAT");
  MakeFile(root + L"\\B\\PATDAT\\kishitu.txt", "");  // empty: does not count
  EXPECT_EQ(Walk(), std::vector<std::wstring>{root + L"\\A\\deep\\PATDAT\\"});
}

// A\loop points back up to the root, A\skip to B. Following either would find
// B's PATDAT under A first.
TEST_F(DiscoveryTest, NeverFollowsLinks) {
  MakeFolder(root + L"\\A");
  MakeFolder(root + L"\\B");
  MakeFolder(root + L"\\B\\PATDAT");
  MakeFile(root + L"\\B\\PATDAT\\kishitu.txt", "x");
  const std::wstring loop = root + L"\\A\\loop";
  const std::wstring skip = root + L"\\A\\skip";
  ASSERT_TRUE(MakeDirectoryLink(loop, root));
  ASSERT_TRUE(MakeDirectoryLink(skip, root + L"\\B"));
  ASSERT_TRUE(GetFileAttributesW(loop.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
  EXPECT_EQ(Walk(), std::vector<std::wstring>{root + L"\\B\\PATDAT\\"});
  RemoveDirectoryLink(loop);
  RemoveDirectoryLink(skip);
}

TEST_F(DiscoveryTest, DrivesAndProgram) {
  EXPECT_TRUE(drives.IsDriveReady(L'T'));
  EXPECT_TRUE(drives.IsDriveReady(L'c'));
  EXPECT_FALSE(drives.IsDriveReady(L'U'));  // mapped to nothing
  EXPECT_FALSE(drives.IsDriveReady(L'Q'));  // not mapped
  const std::wstring program = process.ProgramFolder();
  ASSERT_GE(program.size(), 3u);
  EXPECT_EQ(program[1], L':');
  EXPECT_NE(program.back(), L'\\');
  EXPECT_TRUE(fs.EntryExists(program + L"\\pel_win32_tests.exe"));
}

TEST_F(DiscoveryTest, HelpFileFromPathAndHiddenCopiesIgnored) {
  MakeFolder(root + L"\\hidden");
  MakeFile(root + L"\\hidden\\Vadelqix.HLP", "x");
  SetFileAttributesW((root + L"\\hidden\\Vadelqix.HLP").c_str(), FILE_ATTRIBUTE_HIDDEN);
  MakeFolder(root + L"\\help");
  MakeFile(root + L"\\help\\Vadelqix.HLP", "x");
  const std::wstring saved = process.Variable(L"PATH");
  SetEnvironmentVariableW(L"PATH", (root + L"\\hidden;" + root + L"\\help").c_str());
  std::wstring found;
  const bool ok = FindHelpFile(fs, process, found);
  SetEnvironmentVariableW(L"PATH", saved.c_str());
  EXPECT_TRUE(ok);
  EXPECT_EQ(found, root + L"\\help\\Vadelqix.HLP");
}

// A drive whose folder C:\site cannot be listed until the test opens the gate: a slow
// network folder.
class GatedFileSystem : public testing::FakeFileSystem {
 public:
  Expected<std::vector<FolderEntry>, FsError> ListFolder(const std::wstring& folder) const override {
    if (folder.rfind(L"C:\\site", 0) == 0) gate_.wait();
    return FakeFileSystem::ListFolder(folder);
  }
  void Open() { opener_.set_value(); }

 private:
  std::promise<void> opener_;
  std::shared_future<void> gate_ = opener_.get_future().share();
};

// The walk waits at C:\site for longer than half a second: the search window shows that
// folder; "中止" ends the search with nothing found, though C:\site holds a PATDAT.
TEST(PatdatSearchWindow, ShowsTheFolderBeingSearchedAndItsButtonStopsTheSearch) {
  const struct {
    bool stop;
    std::wstring found;
  } cases[] = {{true, L""}, {false, L"C:\\site\\PATDAT\\"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stop);
    GatedFileSystem fs;
    fs.AddFile(L"C:\\site\\PATDAT\\kishitu.txt", "SAND 1.85");
    testing::FakeDrives drives(L"C");
    testing::FakeProcess process;
    process.program_folder = L"C:\\pel";
    qpro::Library library(fs, drives);
    auto user = std::async(std::launch::async, [&] {
      HWND window = nullptr;
      testing::WaitFor([&] { return (window = FindWindowW(ui::kPatdatSearchClass, nullptr)) && IsWindowVisible(window); });
      const std::wstring shown = window ? ui::WindowText(GetDlgItem(window, ui::kSearchFolder)) : L"no window";
      if (window && c.stop) ui::ClickButton(GetDlgItem(window, ui::kSearchStop));
      fs.Open();
      return shown;
    });
    EXPECT_EQ(ui::SearchDrivesShowingProgress(library, process), c.found);
    EXPECT_EQ(user.get(), L"C:\\site\\");
    EXPECT_EQ(FindWindowW(ui::kPatdatSearchClass, nullptr), nullptr);
  }
}

}  // namespace
}  // namespace pel::win32
