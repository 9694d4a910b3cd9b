#include <gtest/gtest.h>

#include "support/fake_file_system.h"
#include "ui/folder_lists.h"
#include "ui/layout.h"
#include "ui/placement.h"

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

// Form1 at `dpi` centred on a screen: its client area from the layout, in a fixed frame
// and under a caption of 8 and 31 pixels at 96 dpi, a little more than Windows draws.
ScreenRect CentredForm1(int screen_width, int screen_height, int dpi) {
  const int width = TwipsToPixels(kClientWidth, dpi) + 2 * 8 * dpi / 96;
  const int height = TwipsToPixels(kClientHeight, dpi) + (31 + 8) * dpi / 96;
  const int left = (screen_width - width) / 2, top = (screen_height - height) / 2;
  return {left, top, left + width, top + height};
}

ScreenRect PlaceReport(const ScreenRect& work, const ScreenRect& form, int dpi) {
  return PlaceBeside(work, form, TwipsToPixels(kReportWidthTwips, dpi), TwipsToPixels(kReportHeightTwips, dpi),
                     TwipsToPixels(kReportMinWidthTwips, dpi));
}

// The screens the report must stand beside the centred Form1 on, its buttons uncovered.
TEST(PlaceBeside, BesideTheCentredForm1OnAFullHdScreenAndItsDoubleAt144Dpi) {
  const struct {
    int width, height, dpi;
  } screens[] = {{1920, 1080, 96}, {2880, 1620, 144}};
  for (const auto& screen : screens) {
    SCOPED_TRACE(screen.dpi);
    const ScreenRect work{0, 0, screen.width, screen.height - 40 * screen.dpi / 96};  // a taskbar
    const ScreenRect form = CentredForm1(screen.width, screen.height, screen.dpi);
    const ScreenRect report = PlaceReport(work, form, screen.dpi);
    EXPECT_EQ(report.left, form.right);  // the right side, with as much room as the left
    EXPECT_EQ(report.right, work.right);
    EXPECT_EQ(report.top, form.top);
    EXPECT_EQ(report.height(), TwipsToPixels(kReportHeightTwips, screen.dpi));
  }
}

TEST(PlaceBeside, TheSideWithMoreRoomOverTheFormOnlyWhereNeitherHasRoom) {
  // At 96 dpi: 900 pixels wanted, 500 at least, 480 high; Form1 is 622 x 472.
  const ScreenRect full_hd{0, 0, 1920, 1040};
  const struct {
    const char* name;
    ScreenRect work, form, expected;
  } cases[] = {
      {"small screen: over the form, against the edge", {0, 0, 1024, 728}, {201, 148, 823, 620}, {524, 148, 1024, 628}},
      {"smaller than wanted: at least the least width", {0, 0, 800, 600}, {89, 64, 711, 536}, {300, 64, 800, 544}},
      {"form at the left edge: the whole width wanted", full_hd, {0, 100, 622, 572}, {622, 100, 1522, 580}},
      {"form near the right edge: on the left", full_hd, {1290, 0, 1912, 472}, {390, 0, 1290, 480}},
      {"form low on the screen: raised into the work area", full_hd, {649, 900, 1271, 1372}, {1271, 560, 1920, 1040}},
      {"a monitor left of the main one", {-1920, 0, 0, 1040}, {-1271, 304, -649, 776}, {-649, 304, 0, 784}},
  };
  for (const auto& c : cases) {
    const ScreenRect r = PlaceReport(c.work, c.form, 96);
    EXPECT_EQ(r, c.expected) << c.name << ": " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
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
