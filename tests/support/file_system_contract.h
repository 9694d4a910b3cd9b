// The file-system and drives contract that the portable tests rely on, as one table of
// cases. It runs natively against the in-memory fakes and under Wine against the Win32
// adapters, so that every portable test's trust in the fakes is earned.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/drives.h"
#include "platform/file_system.h"

namespace pel::testing {

// What a case makes on the file system under test, beside the ports themselves.
class ContractFixture {
 public:
  virtual ~ContractFixture() = default;
  // An empty folder of the drive `DriveLetter()`, without trailing "\".
  virtual std::wstring Root() const = 0;
  virtual wchar_t DriveLetter() const = 0;
  virtual void MakeFile(const std::wstring& path, const std::string& bytes) = 0;
  virtual void MakeFolder(const std::wstring& path) = 0;
  virtual void MakeHidden(const std::wstring& path) = 0;
  virtual void MakeSystem(const std::wstring& path) = 0;
  virtual void MakeReadOnly(const std::wstring& path) = 0;
  // A folder link (junction, symbolic link) at `path` to the folder `target`.
  virtual void MakeLink(const std::wstring& path, const std::wstring& target) = 0;
  virtual FileSystem& fs() = 0;
  virtual Drives& drives() = 0;
};

struct ContractCase {
  const char* name;
  void (*run)(ContractFixture&);
};

inline const FolderEntry* Find(const std::vector<FolderEntry>& listing, const std::wstring& name) {
  auto it = std::find_if(listing.begin(), listing.end(), [&](const FolderEntry& e) { return e.name == name; });
  return it == listing.end() ? nullptr : &*it;
}

inline std::vector<FolderEntry> ListOrFail(ContractFixture& f, const std::wstring& folder) {
  auto listing = f.fs().ListFolder(folder);
  EXPECT_TRUE(listing) << "listing " << ::testing::PrintToString(folder);
  return listing ? *listing : std::vector<FolderEntry>();
}

inline const ContractCase kFileSystemContract[] = {
    {"OrdinaryFile",
     [](ContractFixture& f) {
       const std::wstring path = f.Root() + L"\\plain.txt";
       const std::string bytes("\"\x8C\x8A\",1\r\n\x1A\x00\xFF", 10);
       f.MakeFile(path, bytes);
       FileSystem& fs = f.fs();
       EXPECT_TRUE(fs.IsOrdinaryFile(path));
       EXPECT_TRUE(fs.IsOrdinaryFile(f.Root() + L"\\PLAIN.TXT"));  // names match without letter case
       EXPECT_TRUE(fs.EntryExists(path));
       EXPECT_EQ(fs.FileSize(path), std::optional<std::int64_t>(10));
       auto read = fs.ReadWholeFile(path);
       ASSERT_TRUE(read);
       EXPECT_EQ(*read, bytes);
     }},
    {"HiddenAndSystemFilesCountAsAbsentButExist",
     [](ContractFixture& f) {
       for (const bool system : {false, true}) {
         const std::wstring path = f.Root() + (system ? L"\\system.txt" : L"\\hidden.txt");
         f.MakeFile(path, "x");
         system ? f.MakeSystem(path) : f.MakeHidden(path);
         EXPECT_FALSE(f.fs().IsOrdinaryFile(path)) << system;
         EXPECT_TRUE(f.fs().EntryExists(path)) << system;
         EXPECT_EQ(f.fs().FileSize(path), std::optional<std::int64_t>(1)) << system;
       }
       const auto listing = ListOrFail(f, f.Root() + L"\\");
       for (const wchar_t* name : {L"hidden.txt", L"system.txt"}) {
         const FolderEntry* e = Find(listing, name);
         ASSERT_NE(e, nullptr);
         EXPECT_TRUE(e->is_hidden);
         EXPECT_FALSE(e->is_folder);
       }
     }},
    {"Folder",
     [](ContractFixture& f) {
       const std::wstring path = f.Root() + L"\\sub";
       f.MakeFolder(path);
       EXPECT_FALSE(f.fs().IsOrdinaryFile(path));
       EXPECT_TRUE(f.fs().EntryExists(path));
       EXPECT_FALSE(f.fs().FileSize(path));
       EXPECT_FALSE(f.fs().ReadWholeFile(path));
       const FolderEntry* e = Find(ListOrFail(f, f.Root() + L"\\"), L"sub");
       ASSERT_NE(e, nullptr);
       EXPECT_TRUE(e->is_folder);
       EXPECT_FALSE(e->is_reparse_point);
       EXPECT_FALSE(e->is_hidden);
     }},
    {"ReparsePointIsAFolderMarkedAsALink",
     [](ContractFixture& f) {
       f.MakeFolder(f.Root() + L"\\target");
       f.MakeLink(f.Root() + L"\\link", f.Root() + L"\\target");
       const FolderEntry* e = Find(ListOrFail(f, f.Root() + L"\\"), L"link");
       ASSERT_NE(e, nullptr);
       EXPECT_TRUE(e->is_folder);
       EXPECT_TRUE(e->is_reparse_point);
     }},
    {"ListingOfAFolderHasDotAndDotDotOfARootItsFolders",
     [](ContractFixture& f) {
       f.MakeFolder(f.Root() + L"\\a");
       f.MakeFile(f.Root() + L"\\a\\f.txt", "12");
       const auto listing = ListOrFail(f, f.Root() + L"\\a\\");
       EXPECT_EQ(listing.size(), 3u);
       for (const wchar_t* dot : {L".", L".."}) {
         const FolderEntry* e = Find(listing, dot);
         ASSERT_NE(e, nullptr) << "no " << ::testing::PrintToString(std::wstring(dot));
         EXPECT_TRUE(e->is_folder);
       }
       const FolderEntry* file = Find(listing, L"f.txt");
       ASSERT_NE(file, nullptr);
       EXPECT_EQ(file->size, 2);
       // The drive root lists the folder that the cases work in.
       const std::wstring root{f.DriveLetter(), L':', L'\\'};
       const std::wstring leaf = f.Root().substr(f.Root().find_last_of(L'\\') + 1);
       const FolderEntry* mine = Find(ListOrFail(f, root), leaf);
       ASSERT_NE(mine, nullptr);
       EXPECT_TRUE(mine->is_folder);
     }},
    {"MissingEntries",
     [](ContractFixture& f) {
       const std::wstring missing = f.Root() + L"\\missing";
       FileSystem& fs = f.fs();
       EXPECT_FALSE(fs.EntryExists(missing));
       EXPECT_FALSE(fs.IsOrdinaryFile(missing));
       EXPECT_FALSE(fs.FileSize(missing));
       EXPECT_FALSE(fs.ReadWholeFile(missing));
       EXPECT_FALSE(fs.ListFolder(missing + L"\\"));
       EXPECT_FALSE(fs.CreateFolder(missing + L"\\new"));
       EXPECT_FALSE(fs.AtomicReplace(missing + L"\\out.txt", "new"));
       EXPECT_FALSE(fs.EntryExists(missing));
     }},
    {"CreateFolderMakesOneLevelOnce",
     [](ContractFixture& f) {
       const std::wstring path = f.Root() + L"\\new";
       EXPECT_TRUE(f.fs().CreateFolder(path));
       EXPECT_TRUE(f.fs().EntryExists(path));
       EXPECT_FALSE(f.fs().CreateFolder(path));
     }},
    {"ReadOnlyFileIsOrdinaryButNeverReplaced",
     [](ContractFixture& f) {
       const std::wstring path = f.Root() + L"\\readonly.txt";
       f.MakeFile(path, "old");
       f.MakeReadOnly(path);
       EXPECT_TRUE(f.fs().IsOrdinaryFile(path));
       auto refused = f.fs().AtomicReplace(path, "new");
       ASSERT_FALSE(refused);
       EXPECT_FALSE(refused.error().reason.empty());
       EXPECT_EQ(f.fs().ReadWholeFile(path).value(), "old");
     }},
    {"AtomicReplaceWritesExactlyTheBytesAndLeavesNothingElse",
     [](ContractFixture& f) {
       const std::wstring path = f.Root() + L"\\out.txt";
       f.MakeFile(path, "old content, longer than the new");
       ASSERT_TRUE(f.fs().AtomicReplace(path, "new"));
       EXPECT_EQ(f.fs().ReadWholeFile(path).value(), "new");
       ASSERT_TRUE(f.fs().AtomicReplace(f.Root() + L"\\fresh.txt", std::string("a\0b", 3)));
       EXPECT_EQ(f.fs().ReadWholeFile(f.Root() + L"\\fresh.txt").value(), std::string("a\0b", 3));
       f.MakeFolder(f.Root() + L"\\folder.txt");
       EXPECT_FALSE(f.fs().AtomicReplace(f.Root() + L"\\folder.txt", "new"));
       EXPECT_TRUE(f.fs().EntryExists(f.Root() + L"\\folder.txt"));
       // No temporary file stays: the folder holds what the case made, and nothing more.
       EXPECT_EQ(ListOrFail(f, f.Root() + L"\\").size(), 5u);  // ".", "..", out, fresh, folder
     }},
    {"DrivesMakeFoldersCurrent",
     [](ContractFixture& f) {
       Drives& drives = f.drives();
       EXPECT_TRUE(drives.IsDriveReady(f.DriveLetter()));
       EXPECT_FALSE(drives.IsDriveReady(L'Q'));
       EXPECT_FALSE(drives.MakeDriveCurrent(L'Q'));
       ASSERT_TRUE(drives.MakeFolderCurrent(f.Root()));
       EXPECT_EQ(drives.CurrentFolder(), f.Root());
       EXPECT_EQ(drives.CurrentFolderOf(f.DriveLetter()), f.Root());
       EXPECT_NE(drives.DriveLetters().find(f.DriveLetter()), std::wstring::npos);
     }},
};

}  // namespace pel::testing
