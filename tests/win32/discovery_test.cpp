// Start-up discovery on real folders and test drives, under Wine (or Windows).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "discovery/help.h"
#include "discovery/patdat.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_ports.h"
#include "win32/test_folders.h"

namespace pel::win32 {
namespace {

void MakeFolder(const std::wstring& path) { ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr)) << path.size(); }

void MakeFile(const std::wstring& path, const char* content) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, content, static_cast<DWORD>(strlen(content)), &written, nullptr);
  CloseHandle(file);
}

// Wine's name of a path on the Unix side; empty when not running under Wine.
std::string UnixName(const std::wstring& path) {
  using Convert = char* (*)(const wchar_t*);
  const auto convert = reinterpret_cast<Convert>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!convert) return {};
  char* name = convert(path.c_str());
  if (!name) return {};
  std::string result = name;
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

// Runs a Unix program from under Wine. Wine does not wait for it through its handle,
// so callers wait for its effect.
bool RunUnix(const char* program, std::string command) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(program, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool WaitForAttributes(const std::wstring& path, bool present) {
  for (int i = 0; i < 2000; ++i) {
    if ((GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) == present) return true;
    Sleep(10);
  }
  return false;
}

// Makes `link` a directory link to `target`: under Wine a Unix symbolic link, which
// Wine reports as a reparse point; on Windows CreateSymbolicLinkW.
bool MakeDirectoryLink(const std::wstring& link, const std::wstring& target) {
  const std::size_t cut = link.find_last_of(L'\\');
  const std::string folder = UnixName(link.substr(0, cut));
  if (folder.empty()) return CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) != 0;
  const std::string name(link.begin() + static_cast<std::ptrdiff_t>(cut) + 1, link.end());
  return RunUnix("Z:\\bin\\ln", "/bin/ln -s " + UnixName(target) + " " + folder + "/" + name) &&
         WaitForAttributes(link, true);
}

void RemoveDirectoryLink(const std::wstring& link) {
  const std::string name = UnixName(link);
  if (name.empty()) {
    RemoveDirectoryW(link.c_str());
  } else if (RunUnix("Z:\\bin\\rm", "/bin/rm " + name)) {
    WaitForAttributes(link, false);
  }
}

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

}  // namespace
}  // namespace pel::win32
