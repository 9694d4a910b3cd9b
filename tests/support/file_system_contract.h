// The file-system and drives contract that the portable tests rely on, as one table of
// cases. It runs natively against the in-memory fakes and the POSIX adapter, and under
// Wine against the Win32 adapters, so that every portable test's trust in the fakes is
// earned. Cases that only Windows defines (system files, drives) are marked so.
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
  // An empty folder (on Windows, of the drive `DriveLetter()`), without a separator at its end.
  virtual std::wstring Root() const = 0;
  virtual wchar_t DriveLetter() const = 0;
  virtual void MakeFile(const std::wstring& path, const std::string& bytes) = 0;
  virtual void MakeFolder(const std::wstring& path) = 0;
  // Makes the file `name` of the root hidden (Windows: its attribute; POSIX: a name that
  // starts with "."), or a system file; its path.
  virtual std::wstring MakeHiddenFile(const std::wstring& name, bool system) = 0;
  virtual void MakeReadOnly(const std::wstring& path) = 0;
  // A folder link (junction, symbolic link) at `path` to the folder `target`.
  virtual void MakeLink(const std::wstring& path, const std::wstring& target) = 0;
  virtual FileSystem& fs() = 0;
  virtual Drives* drives() = 0;  // none where the system has no drives
  virtual bool IsWindows() const = 0;
  // `name` in the root folder.
  std::wstring At(std::wstring_view name) { return fs().Join(Root(), name); }
};

struct ContractCase {
  const char* name;
  void (*run)(ContractFixture&);
  bool windows_only = false;
};

inline const FolderEntry* Find(const std::vector<FolderEntry>& listing, const std::wstring& name) {
  auto it = std::find_if(listing.begin(), listing.end(), [&](const FolderEntry& e) { return e.name == name; });
  return it == listing.end() ? nullptr : &*it;
}
// A listing that is not kept would leave the entry found dangling.
const FolderEntry* Find(std::vector<FolderEntry>&& listing, const std::wstring& name) = delete;

inline std::vector<FolderEntry> ListOrFail(ContractFixture& f, const std::wstring& folder) {
  auto listing = f.fs().ListFolder(folder);
  EXPECT_TRUE(listing) << "listing " << ::testing::PrintToString(folder);
  return listing ? *listing : std::vector<FolderEntry>();
}

inline const ContractCase kFileSystemContract[] = {
    {"OrdinaryFile",
     [](ContractFixture& f) {
       const std::wstring path = f.At(L"plain.txt");
       const std::string bytes("\"\x8C\x8A\",1\r\n\x1A\x00\xFF", 10);
       f.MakeFile(path, bytes);
       FileSystem& fs = f.fs();
       EXPECT_TRUE(fs.IsOrdinaryFile(path));
       EXPECT_TRUE(fs.IsOrdinaryFile(f.At(L"PLAIN.TXT")));  // names match without letter case
       EXPECT_TRUE(fs.EntryExists(path));
       EXPECT_EQ(fs.FileSize(path), std::optional<std::int64_t>(10));
       auto read = fs.ReadWholeFile(path);
       ASSERT_TRUE(read);
       EXPECT_EQ(*read, bytes);
     }},
    {"HiddenFilesCountAsAbsentButExist",
     [](ContractFixture& f) {
       const std::wstring path = f.MakeHiddenFile(L"hidden.txt", false);
       EXPECT_FALSE(f.fs().IsOrdinaryFile(path));
       EXPECT_TRUE(f.fs().EntryExists(path));
       EXPECT_EQ(f.fs().FileSize(path), std::optional<std::int64_t>(1));
       const auto listing = ListOrFail(f, f.Root());
       const FolderEntry* e = Find(listing, path.substr(f.Root().size() + 1));
       ASSERT_NE(e, nullptr);
       EXPECT_TRUE(e->is_hidden);
       EXPECT_FALSE(e->is_folder);
     }},
    {"SystemFilesCountAsAbsentButExist",
     [](ContractFixture& f) {
       const std::wstring path = f.MakeHiddenFile(L"system.txt", true);
       EXPECT_FALSE(f.fs().IsOrdinaryFile(path));
       EXPECT_TRUE(f.fs().EntryExists(path));
       const auto listing = ListOrFail(f, f.Root());
       const FolderEntry* e = Find(listing, L"system.txt");
       ASSERT_NE(e, nullptr);
       EXPECT_TRUE(e->is_hidden);
     },
     true},
    {"Folder",
     [](ContractFixture& f) {
       const std::wstring path = f.At(L"sub");
       f.MakeFolder(path);
       EXPECT_FALSE(f.fs().IsOrdinaryFile(path));
       EXPECT_TRUE(f.fs().EntryExists(path));
       EXPECT_FALSE(f.fs().FileSize(path));
       EXPECT_FALSE(f.fs().ReadWholeFile(path));
       const auto listing = ListOrFail(f, f.Root());
       const FolderEntry* e = Find(listing, L"sub");
       ASSERT_NE(e, nullptr);
       EXPECT_TRUE(e->is_folder);
       EXPECT_FALSE(e->is_reparse_point);
       EXPECT_FALSE(e->is_hidden);
     }},
    {"ReparsePointIsAFolderMarkedAsALink",
     [](ContractFixture& f) {
       f.MakeFolder(f.At(L"target"));
       f.MakeLink(f.At(L"link"), f.At(L"target"));
       const auto listing = ListOrFail(f, f.Root());
       const FolderEntry* e = Find(listing, L"link");
       ASSERT_NE(e, nullptr);
       EXPECT_TRUE(e->is_folder);
       EXPECT_TRUE(e->is_reparse_point);
     }},
    {"ListingOfAFolderHasDotAndDotDot",
     [](ContractFixture& f) {
       f.MakeFolder(f.At(L"a"));
       f.MakeFile(f.fs().Join(f.At(L"a"), L"f.txt"), "12");
       std::wstring with_separator = f.At(L"a");
       with_separator += f.fs().Separator();
       const auto listing = ListOrFail(f, with_separator);
       EXPECT_EQ(listing.size(), 3u);
       for (const wchar_t* dot : {L".", L".."}) {
         const FolderEntry* e = Find(listing, dot);
         ASSERT_NE(e, nullptr) << "no " << ::testing::PrintToString(std::wstring(dot));
         EXPECT_TRUE(e->is_folder);
       }
       const FolderEntry* file = Find(listing, L"f.txt");
       ASSERT_NE(file, nullptr);
       EXPECT_EQ(file->size, 2);
     }},
    {"ListingOfADriveRootHasItsFolders",
     [](ContractFixture& f) {
       const std::wstring root{f.DriveLetter(), L':', L'\\'};
       const std::wstring leaf = f.Root().substr(f.Root().find_last_of(L'\\') + 1);
       const auto listing = ListOrFail(f, root);
       const FolderEntry* mine = Find(listing, leaf);
       ASSERT_NE(mine, nullptr);
       EXPECT_TRUE(mine->is_folder);
     },
     true},
    {"MissingEntries",
     [](ContractFixture& f) {
       const std::wstring missing = f.At(L"missing");
       FileSystem& fs = f.fs();
       EXPECT_FALSE(fs.EntryExists(missing));
       EXPECT_FALSE(fs.IsOrdinaryFile(missing));
       EXPECT_FALSE(fs.FileSize(missing));
       // Each failure says that something is missing.
       auto read = fs.ReadWholeFile(missing);
       ASSERT_FALSE(read);
       EXPECT_EQ(read.error().kind, FsErrorKind::kMissing);
       auto listed = fs.ListFolder(missing);
       ASSERT_FALSE(listed);
       EXPECT_EQ(listed.error().kind, FsErrorKind::kMissing);
       auto created = fs.CreateFolder(fs.Join(missing, L"new"));
       ASSERT_FALSE(created);
       EXPECT_EQ(created.error().kind, FsErrorKind::kMissing);
       auto replaced = fs.AtomicReplace(fs.Join(missing, L"out.txt"), "new");
       ASSERT_FALSE(replaced);
       EXPECT_EQ(replaced.error().kind, FsErrorKind::kMissing);
       EXPECT_FALSE(fs.EntryExists(missing));
     }},
    {"CreateFolderMakesOneLevelOnce",
     [](ContractFixture& f) {
       const std::wstring path = f.At(L"new");
       EXPECT_TRUE(f.fs().CreateFolder(path));
       EXPECT_TRUE(f.fs().EntryExists(path));
       EXPECT_FALSE(f.fs().CreateFolder(path));
     }},
    {"ReadOnlyFileIsOrdinaryButNeverReplaced",
     [](ContractFixture& f) {
       const std::wstring path = f.At(L"readonly.txt");
       f.MakeFile(path, "old");
       f.MakeReadOnly(path);
       EXPECT_TRUE(f.fs().IsOrdinaryFile(path));
       auto refused = f.fs().AtomicReplace(path, "new");
       ASSERT_FALSE(refused);
       EXPECT_EQ(refused.error().kind, FsErrorKind::kAccessDenied);
       EXPECT_EQ(refused.error().operation, FsOperation::kWrite);
       EXPECT_FALSE(refused.error().system_text.empty());
       EXPECT_EQ(f.fs().ReadWholeFile(path).value(), "old");
     }},
    {"AtomicReplaceWritesExactlyTheBytesAndLeavesNothingElse",
     [](ContractFixture& f) {
       const std::wstring path = f.At(L"out.txt");
       f.MakeFile(path, "old content, longer than the new");
       ASSERT_TRUE(f.fs().AtomicReplace(path, "new"));
       EXPECT_EQ(f.fs().ReadWholeFile(path).value(), "new");
       ASSERT_TRUE(f.fs().AtomicReplace(f.At(L"fresh.txt"), std::string("a\0b", 3)));
       EXPECT_EQ(f.fs().ReadWholeFile(f.At(L"fresh.txt")).value(), std::string("a\0b", 3));
       f.MakeFolder(f.At(L"folder.txt"));
       EXPECT_FALSE(f.fs().AtomicReplace(f.At(L"folder.txt"), "new"));
       EXPECT_TRUE(f.fs().EntryExists(f.At(L"folder.txt")));
       // No temporary file stays: the folder holds what the case made, and nothing more.
       EXPECT_EQ(ListOrFail(f, f.Root()).size(), 5u);  // ".", "..", out, fresh, folder
     }},
    {"DrivesMakeFoldersCurrent",
     [](ContractFixture& f) {
       Drives& drives = *f.drives();
       EXPECT_TRUE(drives.IsDriveReady(f.DriveLetter()));
       EXPECT_FALSE(drives.IsDriveReady(L'Q'));
       EXPECT_FALSE(drives.MakeDriveCurrent(L'Q'));
       ASSERT_TRUE(drives.MakeFolderCurrent(f.Root()));
       EXPECT_EQ(drives.CurrentFolder(), f.Root());
       EXPECT_EQ(drives.CurrentFolderOf(f.DriveLetter()), f.Root());
       EXPECT_NE(drives.DriveLetters().find(f.DriveLetter()), std::wstring::npos);
     },
     true},
};

// The cases that hold on this system.
inline std::vector<ContractCase> ContractCasesFor(bool windows) {
  std::vector<ContractCase> cases;
  for (const auto& c : kFileSystemContract) {
    if (windows || !c.windows_only) cases.push_back(c);
  }
  return cases;
}

}  // namespace pel::testing
