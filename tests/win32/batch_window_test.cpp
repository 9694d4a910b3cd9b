// The batch window in process, opened from Form1's system menu, its worker thread
// converting a faked site; the fake file system holds the worker at a chosen file so that
// stopping and closing during a batch are exact.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>

#include "support/fake_file_system.h"
#include "support/fakes.h"
#include "ui/batch_window.h"
#include "ui/form1.h"
#include "ui/window_util.h"
#include "util/user_texts.h"

namespace pel::ui {
namespace {

constexpr char kX5[] = "1,1.0,5,4,5,6,7,8,9,10,11\r\n";

class BatchWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs.AddFile(L"C:\\pel\\PATDAT\\kishitu.txt", "SAND 1.85");
    fs.AddFile(L"C:\\site\\B-1\\titl01.txt", "\"No.1\"");
    fs.AddFile(L"C:\\site\\B-1\\X1.txt", "1,2.5,a,b");
    fs.AddFile(L"C:\\site\\B-1\\X5.txt", kX5);
    fs.AddFile(L"C:\\site\\B-2\\X5.txt", "1,1.0,abc,4,5,6,7,8,9,10,11\r\n");
    fs.AddFile(L"C:\\site\\B-3\\X5.txt", kX5);
    fs.MarkUnreadable(L"C:\\site\\B-3\\X5.txt");
    drives.folders[L'C'] = L"C:\\site";
    process.program_folder = L"C:\\pel";
    form = std::make_unique<Form1>(FormPorts{fs, drives, codec, process, boxes, help}, state);
    ASSERT_TRUE(form->Create(GetModuleHandleW(nullptr)));
    ASSERT_TRUE(form->Form_Load());
    ShowWindow(form->hwnd(), SW_SHOW);
    SendMessageW(form->hwnd(), WM_SYSCOMMAND, kBatchCommand, 0);
    ASSERT_NE(form->batch(), nullptr);
    batch = form->batch();
  }
  void TearDown() override {
    fs.Release();  // never leave a worker held
    form.reset();
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }

  // Starts a batch of `site` into C:\out.
  void Start(const wchar_t* site = L"C:\\site", bool recursive = false) {
    SetWindowTextW(batch->control(kBatchSiteText), site);
    SetWindowTextW(batch->control(kBatchOutputText), L"C:\\out");
    Button_SetCheck(batch->control(kBatchRecursiveCheck), recursive ? BST_CHECKED : BST_UNCHECKED);
    ClickButton(batch->control(kBatchStartButton));
  }
  // Runs the message loop, as the program's does, until `done` holds; false after 20 s.
  template <class Condition>
  bool PumpUntil(Condition done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT || form->PreTranslate(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
  }
  std::wstring Cell(int row, BatchColumn column) {
    wchar_t text[512] = {};
    ListView_GetItemText(batch->control(kBatchList), row, static_cast<int>(column), text, 512);
    return text;
  }
  int Rows() { return ListView_GetItemCount(batch->control(kBatchList)); }
  std::wstring TextOf(BatchControlId id) { return WindowText(batch->control(id)); }

  testing::FakeFileSystem fs;
  testing::FakeDrives drives{L"C"};
  testing::FakeTextCodec codec;
  testing::FakeProcess process;
  testing::FakeMessageBoxes boxes;
  testing::FakeHelpViewer help;
  ProgramState state;
  std::unique_ptr<Form1> form;
  BatchWindow* batch = nullptr;
};

TEST_F(BatchWindowTest, ConvertsTheSiteListsEachFolderAndOpensItsReport) {
  EXPECT_EQ(WindowText(batch->hwnd()), L"まとめて変換");
  EXPECT_EQ(GetWindow(batch->hwnd(), GW_OWNER), form->hwnd());
  Start();
  EXPECT_EQ(TextOf(kBatchStartButton), L"中止");
  EXPECT_FALSE(IsWindowEnabled(batch->control(kBatchSiteText)));
  ASSERT_TRUE(PumpUntil([&] { return !batch->Running(); }));
  EXPECT_EQ(TextOf(kBatchStartButton), L"開始");
  EXPECT_TRUE(IsWindowEnabled(batch->control(kBatchSaveButton)));
  EXPECT_EQ(TextOf(kBatchProgressText), L"フォルダ 3、変換 2（うち警告あり 1）、失敗 1");
  ASSERT_EQ(Rows(), 3);
  EXPECT_EQ(Cell(0, BatchColumn::kResult), L"変換");  // X100.txt missing is information only
  EXPECT_EQ(Cell(0, BatchColumn::kOutput), L"C:\\out\\B-1.txt");
  EXPECT_EQ(Cell(2, BatchColumn::kResult), L"失敗");
  EXPECT_TRUE(fs.HasFile(L"C:\\out\\B-2.txt"));
  EXPECT_FALSE(fs.HasFile(L"C:\\out\\B-3.txt"));
  EXPECT_TRUE(boxes.shown.empty());
  // The site report holds every folder of the batch, the failed one with its error.
  ASSERT_TRUE(batch->SaveSiteReport(L"C:\\out\\site.html"));
  const std::string& page = fs.File(L"C:\\out\\site.html");
  for (const char* part : {"id=\"b-1\"", "id=\"b-2\"", "id=\"b-3\"", "href=\"./B-1.txt\"", "C:\\site"}) {
    EXPECT_NE(page.find(part), std::string::npos) << part;
  }

  // Enter on a row opens its report in the batch's own report window; a failed folder has none.
  HWND list = batch->control(kBatchList);
  SetFocus(list);
  ListView_SetItemState(list, 1, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
  MSG enter{list, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
  EXPECT_TRUE(form->PreTranslate(enter));
  ASSERT_NE(batch->report(), nullptr);
  EXPECT_EQ(WindowText(batch->report()->hwnd()), L"変換結果の確認 - B-2.txt");
  EXPECT_EQ(GetWindow(batch->report()->hwnd(), GW_OWNER), batch->hwnd());
  EXPECT_EQ(form->report(), nullptr);
  batch->OpenReport(2);
  EXPECT_EQ(WindowText(batch->report()->hwnd()), L"変換結果の確認 - B-2.txt");

  batch->SortBy(BatchColumn::kResult);  // 変換, 失敗, 警告あり in code point order
  EXPECT_EQ(batch->order(), (std::vector<std::size_t>{0, 2, 1}));
  EXPECT_EQ(Cell(1, BatchColumn::kFolder), L"B-3");

  // Closed by Esc and opened again, the window still holds the batch: its folders, rows and page.
  MSG escape{list, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
  form->PreTranslate(escape);
  ASSERT_FALSE(IsWindow(batch->hwnd()));
  SendMessageW(form->hwnd(), WM_SYSCOMMAND, kBatchCommand, 0);
  EXPECT_EQ(TextOf(kBatchSiteText), L"C:\\site");
  EXPECT_EQ(Rows(), 3);
  EXPECT_EQ(Cell(1, BatchColumn::kFolder), L"B-3");
  EXPECT_TRUE(IsWindowEnabled(batch->control(kBatchSaveButton)));
  // A folder dropped on the output row sets the output folder, anywhere else the site.
  batch->DropFolder(L"C:\\site\\B-1", true);
  batch->DropFolder(L"C:\\out", false);
  EXPECT_EQ(TextOf(kBatchOutputText), L"C:\\site\\B-1");
  EXPECT_EQ(TextOf(kBatchSiteText), L"C:\\out");
}

// Held at B-2: the progress names it, Form1 converts nothing, 中止 ends the batch once B-2
// is written, and B-3 is never read.
TEST_F(BatchWindowTest, StopsBetweenFoldersAndFormOneWaits) {
  fs.HoldReadOf(L"C:\\site\\B-2\\X5.txt");
  Start();
  ASSERT_TRUE(fs.WaitUntilHeld());
  ASSERT_TRUE(PumpUntil([&] { return Rows() == 1 && TextOf(kBatchProgressText) == L"2 / 3 B-2"; }));
  ClickButton(form->control(kCommand1));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, L"まとめて変換の実行中は変換できません。");
  MSG escape{batch->control(kBatchList), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
  form->PreTranslate(escape);  // Esc closes nothing during a batch
  ClickButton(batch->control(kBatchStartButton));
  EXPECT_FALSE(IsWindowEnabled(batch->control(kBatchStartButton)));
  fs.Release();
  ASSERT_TRUE(PumpUntil([&] { return !batch->Running(); }));
  EXPECT_TRUE(IsWindow(batch->hwnd()));
  EXPECT_EQ(Rows(), 2);
  ASSERT_TRUE(batch->record().summary);
  EXPECT_TRUE(batch->record().summary->stopped);
  EXPECT_NE(TextOf(kBatchProgressText).find(texts::kCliStopped), std::wstring::npos);
  EXPECT_TRUE(fs.HasFile(L"C:\\out\\B-2.txt"));
  EXPECT_FALSE(fs.HasFile(L"C:\\out\\B-3.txt"));
}

// Closing the batch window, or the program, during a batch: the window stays until the
// worker has finished its folder, then goes.
TEST_F(BatchWindowTest, ClosingDuringABatchWaitsForTheWorker) {
  for (bool whole_program : {false, true}) {
    SCOPED_TRACE(whole_program ? "Form1 closed" : "batch window closed");
    if (whole_program) SendMessageW(form->hwnd(), WM_SYSCOMMAND, kBatchCommand, 0);  // made anew
    fs.Remove(L"C:\\out");
    fs.HoldReadOf(L"C:\\site\\B-1\\X5.txt");
    Start();
    ASSERT_TRUE(fs.WaitUntilHeld());
    HWND closed = whole_program ? form->hwnd() : batch->hwnd();
    // B-1 begun (its read held on whichever thread took it; B-2 may be read already): it is
    // finished first, and B-2 is not written.
    ASSERT_TRUE(PumpUntil([&] { return TextOf(kBatchProgressText) == L"1 / 3 B-1"; }));
    SendMessageW(closed, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(batch->hwnd()));
    EXPECT_TRUE(IsWindow(closed));
    fs.Release();
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(closed); }));
    EXPECT_FALSE(batch->Running());
    EXPECT_TRUE(fs.HasFile(L"C:\\out\\B-1.txt"));
    EXPECT_FALSE(fs.HasFile(L"C:\\out\\B-2.txt"));
  }
}

// What cannot be converted is said: a batch that cannot start in a box, a clash of output
// names on both folders' rows.
TEST_F(BatchWindowTest, RefusesWhatCannotBeConverted) {
  fs.AddFile(L"C:\\site\\area\\b-1\\X5.txt", kX5);
  fs.AddFolder(L"C:\\empty\\sub");
  const struct {
    const char* name;
    const wchar_t* site;
    bool recursive;
    std::wstring box;     // the message shown, if any
    int failed_rows;
    bool page;            // a site report can be saved
  } cases[] = {
      {"no site", L"  ", false, L"現場フォルダが選択されていません。", 0, false},
      {"no borehole folder", L"C:\\empty", false,
       L"変換するフォルダがありません（titl01.txt、X1.txt、X5.txt、X100.txt のどれかを含むフォルダ）。\nC:\\empty", 0, false},
      {"only deeper folders", L"C:\\site\\..", false,
       L"すぐ下に変換するフォルダがありません。さらに下のフォルダには変換するファイルがあります（「サブフォルダも含める」に印を付けると変換します）。\nC:\\",
       0, false},
      {"B-1 and area\\b-1 clash", L"C:\\site", true, L"", 3, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    boxes.shown.clear();
    Start(c.site, c.recursive);
    ASSERT_TRUE(PumpUntil([&] { return !batch->Running(); }));
    ASSERT_EQ(boxes.shown.size(), c.box.empty() ? 0u : 1u);
    if (!c.box.empty()) {
      EXPECT_EQ(boxes.shown[0].text, c.box);
    }
    int failed = 0;
    for (int row = 0; row < Rows(); ++row) failed += Cell(row, BatchColumn::kResult) == L"失敗";
    EXPECT_EQ(failed, c.failed_rows);
    EXPECT_EQ(IsWindowEnabled(batch->control(kBatchSaveButton)) != FALSE, c.page);
  }
  // area\b-1, after B-3 in ordinal order, names B-1 as the folder it clashes with.
  EXPECT_EQ(Cell(3, BatchColumn::kOutput), L"フォルダ C:\\site\\B-1 と出力ファイル名が重なるため変換しません（C:\\out\\b-1.txt）。");
}

}  // namespace
}  // namespace pel::ui
