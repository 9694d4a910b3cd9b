#include "discovery/patdat.h"

#include <gtest/gtest.h>

#include "support/fake_file_system.h"
#include "support/fakes.h"

namespace pel {
namespace {

using testing::FakeDrives;
using testing::FakeFileSystem;
using testing::FakeProcess;

struct DiscoveryCase {
  const char* name;
  std::wstring program_folder;
  std::wstring ready_drives;
  std::vector<std::wstring> folders;                         // in listing order
  std::vector<std::pair<std::wstring, std::string>> files;  // in listing order
  std::wstring expected;
};

TEST(FindPatdatFolder, FindsTheFirstQualifyingFolderInWalkOrder) {
  const std::string marker = "SAND 1.85\r\n";
  const DiscoveryCase cases[] = {
      {"beside_program", L"C:\\pel", L"C", {}, {{L"C:\\pel\\PATDAT\\kishitu.txt", marker}}, L"C:\\pel\\PATDAT\\"},
      {"program_at_root", L"C:\\", L"C", {}, {{L"C:\\PATDAT\\kishitu.txt", marker}}, L"C:\\PATDAT\\"},
      {"empty_marker_beside_program_searches_drives", L"C:\\pel", L"CD", {},
       {{L"C:\\pel\\PATDAT\\kishitu.txt", ""}, {L"D:\\GEO\\PATDAT\\kishitu.txt", marker}}, L"D:\\GEO\\PATDAT\\"},
      {"root_candidate_before_deeper", L"C:\\pel", L"D", {},
       {{L"D:\\A\\PATDAT\\kishitu.txt", marker}, {L"D:\\PATDAT\\kishitu.txt", marker}}, L"D:\\PATDAT\\"},
      {"listing_order_decides", L"C:\\pel", L"D", {L"D:\\B", L"D:\\A"},
       {{L"D:\\A\\PATDAT\\kishitu.txt", marker}, {L"D:\\B\\PATDAT\\kishitu.txt", marker}}, L"D:\\B\\PATDAT\\"},
      {"patdat_inside_patdat", L"C:\\pel", L"D", {}, {{L"D:\\PATDAT\\PATDAT\\kishitu.txt", marker}},
       L"D:\\PATDAT\\PATDAT\\"},
      {"deep_pre_order", L"C:\\pel", L"D", {L"D:\\A\\B\\C", L"D:\\Z"},
       {{L"D:\\Z\\PATDAT\\kishitu.txt", marker}, {L"D:\\A\\B\\C\\PATDAT\\kishitu.txt", marker}},
       L"D:\\A\\B\\C\\PATDAT\\"},
      {"program_drive_first", L"E:\\pel", L"DE", {},
       {{L"D:\\PATDAT\\kishitu.txt", marker}, {L"E:\\X\\PATDAT\\kishitu.txt", marker}}, L"E:\\X\\PATDAT\\"},
      {"a_to_z_after_program_drive", L"C:\\pel", L"CFE", {},
       {{L"F:\\PATDAT\\kishitu.txt", marker}, {L"E:\\Q\\PATDAT\\kishitu.txt", marker}}, L"E:\\Q\\PATDAT\\"},
      {"drive_not_ready_is_skipped", L"C:\\pel", L"C", {}, {{L"D:\\PATDAT\\kishitu.txt", marker}}, L""},
      {"empty_marker_elsewhere_skipped", L"C:\\pel", L"D", {},
       {{L"D:\\A\\PATDAT\\kishitu.txt", ""}, {L"D:\\B\\PATDAT\\kishitu.txt", marker}}, L"D:\\B\\PATDAT\\"},
      {"marker_must_be_in_the_folder", L"C:\\pel", L"D", {L"D:\\PATDAT\\sub"},
       {{L"D:\\PATDAT\\sub\\kishitu.txt", marker}, {L"D:\\kishitu.txt", marker}}, L""},
      {"marker_name_ignores_case", L"C:\\pel", L"D", {}, {{L"D:\\x\\patdat\\KISHITU.TXT", marker}},
       L"D:\\x\\PATDAT\\"},
      {"nothing_anywhere", L"C:\\pel", L"CDE", {L"D:\\A", L"E:\\PATDAT"}, {{L"C:\\pel\\x.txt", "x"}}, L""},
  };
  for (const auto& c : cases) {
    FakeFileSystem fs;
    for (const auto& folder : c.folders) fs.AddFolder(folder);
    for (const auto& [path, bytes] : c.files) fs.AddFile(path, bytes);
    FakeDrives drives(c.ready_drives);
    FakeProcess process;
    process.program_folder = c.program_folder;
    qpro::Library library(fs, drives);
    EXPECT_EQ(FindPatdatFolder(library, process), c.expected) << c.name;
  }
}

TEST(FindPatdatFolder, BesideTheProgramNoDriveIsWalked) {
  FakeFileSystem fs;
  fs.AddFile(L"C:\\pel\\PATDAT\\kishitu.txt", "x");
  FakeDrives drives(L"C");
  FakeProcess process;
  process.program_folder = L"C:\\pel";
  qpro::Library library(fs, drives);
  EXPECT_EQ(FindPatdatFolder(library, process), L"C:\\pel\\PATDAT\\");
  EXPECT_TRUE(fs.listed().empty());
}

TEST(FindPatdatFolder, LaterDrivesAreNotWalkedAfterAHit) {
  FakeFileSystem fs;
  fs.AddFile(L"D:\\PATDAT\\kishitu.txt", "x");
  fs.AddFile(L"D:\\after\\file.txt", "x");
  fs.AddFolder(L"F:\\other");
  FakeDrives drives(L"DF");
  FakeProcess process;
  process.program_folder = L"C:\\pel";
  qpro::Library library(fs, drives);
  EXPECT_EQ(FindPatdatFolder(library, process), L"D:\\PATDAT\\");
  for (const auto& folder : fs.listed()) EXPECT_NE(folder.substr(0, 2), L"F:") << folder;
  for (const auto& folder : fs.listed()) EXPECT_NE(folder, L"D:\\after\\") << folder;
}

// The walk from D:\PATDAT on drive D; the hits it recorded.
std::vector<std::wstring> WalkDriveD(const FakeFileSystem& fs, FakeProcess& process,
                                     PatdatWalkWatch* watch = nullptr) {
  FakeDrives drives(L"D");
  qpro::Library library(fs, drives);
  std::int16_t hit_count = 0;
  std::vector<std::wstring> hits;
  SearchPatdatTree(library, process, L"D:\\PATDAT", hit_count, hits, kPatdatMarker, watch);
  EXPECT_EQ(static_cast<std::size_t>(hit_count), hits.size());
  return hits;
}

TEST(SearchPatdatTree, ListsEachFolderOnceAndNeverEntersReparsePoints) {
  FakeFileSystem fs;
  fs.AddFolder(L"D:\\A\\B");
  fs.AddFolder(L"D:\\C");
  fs.AddFolder(L"D:\\Junction");
  fs.AddFile(L"D:\\Junction\\PATDAT\\kishitu.txt", "x");
  fs.MarkReparsePoint(L"D:\\Junction");
  FakeProcess process;
  PatdatWalkWatch watch;
  EXPECT_TRUE(WalkDriveD(fs, process, &watch).empty());
  EXPECT_EQ(fs.listed(), (std::vector<std::wstring>{L"D:\\", L"D:\\A\\", L"D:\\A\\B\\", L"D:\\C\\"}));
  EXPECT_EQ(process.event_runs, 4);
  EXPECT_EQ(watch.Folder(), L"D:\\C\\");  // the last folder examined
}

// A stopped walk lists nothing more and finds nothing, though D:\PATDAT is there.
TEST(SearchDrivesForPatdat, AStoppedWalkFindsNothing) {
  FakeFileSystem fs;
  fs.AddFile(L"D:\\PATDAT\\kishitu.txt", "x");
  FakeDrives drives(L"D");
  FakeProcess process;
  qpro::Library library(fs, drives);
  PatdatWalkWatch watch;
  watch.Stop();
  EXPECT_EQ(SearchDrivesForPatdat(library, process, &watch), L"");
  EXPECT_TRUE(fs.listed().empty());
  EXPECT_EQ(SearchDrivesForPatdat(library, process), L"D:\\PATDAT\\");
}

TEST(SearchPatdatTree, SurvivesVeryDeepTrees) {
  FakeFileSystem fs;
  std::wstring deep = L"D:";
  for (int i = 0; i < 1500; ++i) deep += L"\\d";
  fs.AddFile(deep + L"\\PATDAT\\kishitu.txt", "x");
  FakeProcess process;
  const auto hits = WalkDriveD(fs, process);
  ASSERT_EQ(hits.size(), 1u);
  EXPECT_EQ(hits[0], deep + L"\\PATDAT\\");
}

TEST(Qpro, CountsAndReadsListingsFromOneEnumeration) {
  FakeFileSystem fs;
  fs.AddFile(L"D:\\x\\a.txt", "12345");
  fs.AddFile(L"D:\\x\\b.txt", "");
  fs.AddFolder(L"D:\\x\\sub");
  FakeDrives drives(L"D");
  qpro::Library library(fs, drives);
  EXPECT_EQ(library.FCount(L"D:\\x\\*.*"), 2);
  std::vector<qpro::FileRecord> files(3);
  qpro::ReferenceBlock<qpro::FileRecord> file_block;
  qpro::fnAV(file_block, files, 1);
  std::int32_t position = 7;
  library.ReadFileX(L"D:\\x\\*.*", position, file_block);
  EXPECT_EQ(files[1].name, L"a.txt");
  EXPECT_EQ(files[1].value_568, 1);
  EXPECT_EQ(files[2].size, 0);
  EXPECT_EQ(library.DCount(L"D:\\x\\*.*"), 3);  // ".", "..", "sub"
  std::vector<qpro::FolderRecord> folders(4);
  qpro::ReferenceBlock<qpro::FolderRecord> folder_block;
  qpro::fnAV(folder_block, folders, 1);
  library.ReadDirT(L"D:\\x\\*.*", folder_block);
  EXPECT_EQ(qpro::QPTrim(folders[1]), L".");
  EXPECT_EQ(qpro::QPTrim(folders[3]), L"sub");
  EXPECT_EQ(fs.listed().size(), 1u);

  EXPECT_EQ(library.FileSize(L"D:\\x\\a.txt"), 5);
  EXPECT_EQ(library.FileSize(L"D:\\x\\none.txt"), -1);
  EXPECT_EQ(library.FCount(L"D:\\missing\\*.*"), 0);
  EXPECT_EQ(library.GoodDrive(L"D"), -1);
  EXPECT_EQ(library.GoodDrive(L"Q"), 0);
  EXPECT_EQ(library.GoodDrive(L""), 0);
}

}  // namespace
}  // namespace pel
