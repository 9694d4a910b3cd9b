#include <gtest/gtest.h>

#include "support/fake_file_system.h"
#include "ui/folder_lists.h"
#include "ui/layout.h"

namespace pel::ui {
namespace {

TEST(Layout, EveryControlLiesInsideItsContainer) {
  for (const auto& c : kLayout) {
    const ControlLayout* box = c.id == kPicture1 ? nullptr : FindLayout(c.container);
    const int width = box ? box->width : kClientWidth;
    const int height = box ? box->height : kClientHeight;
    EXPECT_GE(c.left, 0) << c.name;
    EXPECT_GE(c.top, 0) << c.name;
    EXPECT_LE(c.left + c.width, width) << c.name;
    EXPECT_LE(c.top + c.height, height) << c.name;
  }
}

TEST(FolderLists, LevelsThenSortedSubfolders) {
  testing::FakeFileSystem fs;
  fs.AddFolder(L"C:\\work\\sub\\beta");
  fs.AddFolder(L"C:\\work\\sub\\Alpha");
  fs.AddFolder(L"C:\\work\\sub\\secret");
  fs.MarkHidden(L"C:\\work\\sub\\secret");
  fs.AddFile(L"C:\\work\\sub\\b.txt", "");
  fs.AddFile(L"C:\\work\\sub\\A.txt", "");

  auto items = FolderListItems(fs, L"C:\\work\\sub");
  ASSERT_TRUE(items);
  std::vector<std::wstring> shown;
  for (const auto& item : *items) {
    shown.push_back(std::to_wstring(item.indent) + (item.open ? L"+" : L"-") + item.label + L"=" + item.path);
  }
  EXPECT_EQ(shown, (std::vector<std::wstring>{L"0+C:\\=C:\\", L"1+work=C:\\work", L"2+sub=C:\\work\\sub",
                                               L"3-Alpha=C:\\work\\sub\\Alpha", L"3-beta=C:\\work\\sub\\beta"}));

  auto root = FolderListItems(fs, L"c:\\");
  ASSERT_TRUE(root);
  ASSERT_EQ(root->size(), 2u);
  EXPECT_EQ((*root)[0].label, L"C:\\");
  EXPECT_EQ((*root)[1].path, L"c:\\work");

  EXPECT_EQ(FileListItems(fs, L"C:\\work\\sub").value(), (std::vector<std::wstring>{L"A.txt", L"b.txt"}));
  EXPECT_FALSE(FolderListItems(fs, L"C:\\gone"));
}

}  // namespace
}  // namespace pel::ui
