// The one rule that decides which entries of a borehole folder are its four files.
#include "source/source_files.h"

#include <gtest/gtest.h>

#include "support/fake_file_system.h"

namespace pel {
namespace {

TEST(MatchSourceFiles, HiddenFilesAndFoldersAreAbsentLetterCaseIsIgnoredTwoAlikeClash) {
  testing::FakeFileSystem fs(L'/');
  fs.AddFile(L"/s/x1.TXT", "1,2,3,4");
  fs.AddFile(L"/s/X5.txt", "x");
  fs.MarkHidden(L"/s/X5.txt");
  fs.AddFolder(L"/s/titl01.txt");
  auto listing = fs.ListFolder(L"/s");
  ASSERT_TRUE(listing);
  auto set = MatchSourceFiles(fs, L"/s", *listing);
  ASSERT_TRUE(set);
  EXPECT_TRUE((*set)[SourceFile::kX1].present);
  EXPECT_EQ((*set)[SourceFile::kX1].name, L"x1.TXT");  // as found on disk
  EXPECT_FALSE((*set)[SourceFile::kX5].present);
  EXPECT_FALSE((*set)[SourceFile::kTitle].present);
  EXPECT_FALSE((*set)[SourceFile::kX100].present);
  EXPECT_EQ((*set)[SourceFile::kX100].name, L"X100.txt");
  EXPECT_TRUE(set->any());

  listing->push_back({L"X1.TXT", false, false, false, 1});
  auto clash = MatchSourceFiles(fs, L"/s", *listing);
  ASSERT_FALSE(clash);
  EXPECT_EQ(clash.error().kind, OutcomeKind::kNameCaseClash);
  EXPECT_EQ(DescribeOutcome(clash.error()),
            L"名前が大文字と小文字だけ違うファイルが 2 つあるため、どちらを読むか決められません。\n/s/x1.TXT\n/s/X1.TXT");
}

}  // namespace
}  // namespace pel
