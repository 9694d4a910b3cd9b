// Form1's handlers in process, on a real window, with the file system, drives and
// message boxes faked so that every case is exact.
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "util/user_texts.h"
#include "support/fake_file_system.h"
#include "support/fakes.h"
#include "ui/form1.h"
#include "ui/layout.h"
#include "ui/window_util.h"

namespace pel::ui {
namespace {

class Form1Test : public ::testing::Test {
 protected:
  void SetUp() override {
    fs.AddFile(L"C:\\pel\\PATDAT\\kishitu.txt", "SAND 1.85");
    fs.AddFile(L"C:\\work\\B-1\\titl01.txt", "\"No.1\"");
    fs.AddFile(L"C:\\work\\B-1\\X1.txt", "1,2.5,a,b");
    fs.AddFile(L"C:\\work\\B-1\\X5.txt", "1,1.0,5,4,5,6,7,8,9,10,11\r\n");  // X100.txt may be missing
    fs.AddFile(L"C:\\work\\notes.txt", "");
    fs.AddFolder(L"C:\\work\\out");
    fs.AddFolder(L"D:\\data");
    drives.folders[L'C'] = L"C:\\work";
    drives.folders[L'D'] = L"D:\\data";
    drives.current = L'C';
    process.program_folder = L"C:\\pel";
  }
  void TearDown() override {
    form.reset();
    // Closing the window posts WM_QUIT to this thread; a later modal loop must not see it.
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }

  void Start() {
    form = std::make_unique<Form1>(FormPorts{fs, drives, codec, process, boxes, help}, state);
    ASSERT_TRUE(form->Create(GetModuleHandleW(nullptr)));
    ASSERT_TRUE(form->Form_Load());
    ShowWindow(form->hwnd(), SW_SHOW);
  }
  std::wstring TextOf(ControlId id) {
    wchar_t text[512] = {};
    GetWindowTextW(form->control(id), text, 512);
    return text;
  }
  int FolderItemIndex(Side side, const std::wstring& label) {
    HWND list = form->control(side == Side::kDestination ? kDir1 : kDir2);
    return static_cast<int>(SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(label.c_str())));
  }

  testing::FakeFileSystem fs;
  testing::FakeDrives drives{L"CD", L"CDU"};
  testing::FakeTextCodec codec;
  testing::FakeProcess process;
  testing::FakeMessageBoxes boxes;
  testing::FakeHelpViewer help;
  ProgramState state;
  std::unique_ptr<Form1> form;
};

TEST_F(Form1Test, StartUpFillsBothTextBoxesWithTheCurrentFolder) {
  Start();
  EXPECT_EQ(state.patdat_path, L"C:\\pel\\PATDAT\\");
  EXPECT_EQ(TextOf(kText1), L"C:\\work");
  EXPECT_EQ(TextOf(kText2), L"C:\\work");
  EXPECT_EQ(TextOf(kLabel3), L"");
  EXPECT_TRUE(boxes.shown.empty());
  wchar_t caption[128] = {};
  GetWindowTextW(form->hwnd(), caption, 128);
  EXPECT_STREQ(caption, L"Pelmora -> 液状化判定ﾌｧｲﾙ");
  // The client area is the design size at the window's DPI.
  RECT client;
  GetClientRect(form->hwnd(), &client);
  const UINT dpi = GetDpiForWindow(form->hwnd());
  EXPECT_EQ(client.right, MulDiv(kClientWidth, static_cast<int>(dpi), 1440));
  EXPECT_EQ(client.bottom, MulDiv(kClientHeight, static_cast<int>(dpi), 1440));
}

// Moved to a monitor of 150 %: the layout table is applied again at the new DPI.
TEST_F(Form1Test, LaysItselfOutAgainWhenTheDpiChanges) {
  Start();
  RECT suggested{0, 0, 2000, 2000};
  SendMessageW(form->hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  RECT client;
  GetClientRect(form->hwnd(), &client);
  EXPECT_EQ(client.right, MulDiv(kClientWidth, 144, 1440));
  EXPECT_EQ(client.bottom, MulDiv(kClientHeight, 144, 1440));
  // Text1 at 2400, 840 twips in Picture1.
  RECT text1;
  GetWindowRect(form->control(kText1), &text1);
  MapWindowPoints(nullptr, form->control(kPicture1), reinterpret_cast<POINT*>(&text1), 2);
  EXPECT_EQ(text1.left, 240);
  EXPECT_EQ(text1.top, 84);
  EXPECT_EQ(text1.right - text1.left, MulDiv(6255, 144, 1440));
}

// Where controls overlap, a label or a frame is always the lower one, so it never paints
// over a control it touches (Label2 runs 75 twips under Text2), and a frame never covers
// what it holds. Label3 sits inside Frame3 and above it.
TEST_F(Form1Test, LabelsAndFramesLieUnderTheControlsTheyTouch) {
  Start();
  auto depth = [&](ControlId id) {  // 0 for the topmost child of Picture1
    int n = 0;
    for (HWND w = GetWindow(form->control(kPicture1), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT), ++n) {
      if (w == form->control(id)) return n;
    }
    return -1;
  };
  auto rect = [&](ControlId id) {
    RECT r;
    GetWindowRect(form->control(id), &r);
    return r;
  };
  auto lowly = [](ControlKind k) { return k == ControlKind::kLabel || k == ControlKind::kFrame; };
  int checked = 0;
  for (const auto& a : kLayout) {
    for (const auto& b : kLayout) {
      if (a.id == kPicture1 || b.id == kPicture1 || a.id == b.id || !lowly(a.kind)) continue;
      RECT ra = rect(a.id), rb = rect(b.id), overlap;
      if (!IntersectRect(&overlap, &ra, &rb)) continue;
      // a must be under b, unless b is a frame under which a (a label) lies.
      const bool a_lower = !(b.kind == ControlKind::kFrame && a.kind == ControlKind::kLabel);
      SCOPED_TRACE(::testing::Message() << "overlap of " << ::testing::PrintToString(std::wstring(a.name)) << " and "
                                      << ::testing::PrintToString(std::wstring(b.name)));
      EXPECT_EQ(depth(a.id) > depth(b.id), a_lower);
      ++checked;
    }
  }
  EXPECT_EQ(checked, 9);  // Label1, Label2, Label3 with Frame3 both ways, the five lists inside Frame1 and Frame2
}

// The pointer over a label or over a frame's empty inside is not over Picture1, so it
// does not clear the status line; over Picture1's own grey it does.
TEST_F(Form1Test, OnlyPicture1ItselfTakesThePointerForTheStatusLine) {
  Start();
  SetWindowPos(form->hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  const UINT dpi = GetDpiForWindow(form->hwnd());
  auto at = [&](int left_twips, int top_twips) {
    POINT p{MulDiv(left_twips, static_cast<int>(dpi), 1440), MulDiv(top_twips, static_cast<int>(dpi), 1440)};
    ClientToScreen(form->control(kPicture1), &p);
    return WindowFromPoint(p);
  };
  const struct {
    const char* where;
    int left, top;  // twips in Picture1
    ControlId expected;
  } cases[] = {
      {"Label2, left of Text2", 400, 400, kLabel2},
      {"Label1", 400, 1000, kLabel1},
      {"Label3", 800, 5050, kLabel3},
      {"Frame1, below Drive1", 3700, 4400, kFrame1},
      {"Frame2, between Dir2 and Drive2", 1000, 3700, kFrame2},
      {"Frame3, below Label3", 4000, 5350, kFrame3},
      {"Picture1, between the buttons", 4800, 5800, kPicture1},
      {"Text2 over the end of Label2", 2430, 400, kText2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(at(c.left, c.top), form->control(c.expected)) << c.where;
  }
}

TEST_F(Form1Test, NoPatdatShowsTheMessageAndNeverTheWindow) {
  fs.Remove(L"C:\\pel\\PATDAT");
  form = std::make_unique<Form1>(FormPorts{fs, drives, codec, process, boxes, help}, state);
  ASSERT_TRUE(form->Create(GetModuleHandleW(nullptr)));
  EXPECT_FALSE(form->Form_Load());
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, L" PATDAT の設定がありません.");
  EXPECT_EQ(boxes.shown[0].caption, L"Vomel");
  EXPECT_EQ(boxes.shown[0].icon, MessageIcon::kNone);
  EXPECT_FALSE(IsWindowVisible(form->hwnd()));
}

TEST_F(Form1Test, OpeningAFolderReplacesTheTypedTextAndListsItsFiles) {
  Start();
  SetWindowTextW(form->control(kText1), L"C:\\work\\typed-name");
  form->pane(Side::kDestination).OpenFolderItem(FolderItemIndex(Side::kDestination, L"out"));
  EXPECT_EQ(form->pane(Side::kDestination).DirPath(), L"C:\\work\\out");
  EXPECT_EQ(TextOf(kText1), L"C:\\work\\out");
  EXPECT_EQ(TextOf(kText2), L"C:\\work");
  EXPECT_EQ(SendMessageW(form->control(kFile1), LB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(drives.CurrentFolder(), L"C:\\work\\out");

  form->pane(Side::kDestination).OpenFolderItem(FolderItemIndex(Side::kDestination, L"work"));
  EXPECT_EQ(SendMessageW(form->control(kFile1), LB_GETCOUNT, 0, 0), 1);  // notes.txt
}

TEST_F(Form1Test, AFolderThatVanishedIsReportedAndTheListStays) {
  Start();
  const int index = FolderItemIndex(Side::kSource, L"B-1");
  fs.Remove(L"C:\\work\\B-1");
  form->pane(Side::kSource).OpenFolderItem(index);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_NE(boxes.shown[0].text.find(L"C:\\work\\B-1"), std::wstring::npos);
  EXPECT_EQ(form->pane(Side::kSource).DirPath(), L"C:\\work");
  EXPECT_EQ(TextOf(kText2), L"C:\\work");
  EXPECT_EQ(FolderItemIndex(Side::kSource, L"B-1"), LB_ERR);  // listed anew
}

TEST_F(Form1Test, ADriveThatIsNotReadyFallsBackToTheFirstEntry) {
  Start();
  // Entries c:, d:, u: (u: not ready). From d:, choose u:.
  form->pane(Side::kSource).SetDriveListIndex(1);
  EXPECT_EQ(form->pane(Side::kSource).DirPath(), L"D:\\data");
  EXPECT_EQ(drives.current, L'D');
  form->pane(Side::kSource).SetDriveListIndex(2);
  EXPECT_EQ(form->pane(Side::kSource).DriveListIndex(), 0);
  EXPECT_EQ(form->pane(Side::kSource).DirPath(), L"C:\\work");
  EXPECT_EQ(TextOf(kText2), L"C:\\work");
  EXPECT_EQ(drives.current, L'C');
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Form1Test, WhenTheFirstEntryIsNotReadyEitherNothingMoves) {
  drives = testing::FakeDrives(L"D", L"ADU");
  drives.folders[L'D'] = L"D:\\data";
  drives.current = L'D';
  Start();
  ASSERT_EQ(form->pane(Side::kSource).DriveListIndex(), 1);
  form->pane(Side::kSource).SetDriveListIndex(2);
  EXPECT_EQ(form->pane(Side::kSource).DriveListIndex(), 0);
  EXPECT_EQ(form->pane(Side::kSource).DirPath(), L"D:\\data");
  EXPECT_EQ(TextOf(kText2), L"D:\\data");
  EXPECT_EQ(drives.current, L'D');
}

TEST_F(Form1Test, MouseMoveClearsTheStatusOnceAfterASuccessfulRun) {
  Start();
  SetWindowTextW(form->control(kText2), L"C:\\work\\B-1");
  SetWindowTextW(form->control(kText1), L"C:\\work\\out\\b1");
  SendMessageW(form->control(kCommand1), BM_CLICK, 0, 0);
  EXPECT_EQ(TextOf(kLabel3), texts::kStatusDone);
  EXPECT_EQ(state.clear_status_pending, 1);
  EXPECT_TRUE(fs.HasFile(L"C:\\work\\out\\b1.txt"));
  // Refreshing the file list after the run leaves the typed destination alone.
  EXPECT_EQ(TextOf(kText1), L"C:\\work\\out\\b1");

  SendMessageW(form->control(kPicture1), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(TextOf(kLabel3), L"");
  EXPECT_EQ(state.clear_status_pending, 0);
  static_cast<RunWindow&>(*form).SetStatus(L"kept");
  SendMessageW(form->control(kPicture1), WM_MOUSEMOVE, 0, MAKELPARAM(6, 6));
  EXPECT_EQ(TextOf(kLabel3), L"kept");
}

TEST_F(Form1Test, RejectedSourceTakesTheFocusWithItsTextSelected) {
  Start();
  SetWindowTextW(form->control(kText2), L"C:\\my folder");
  SendMessageW(form->control(kCommand1), BM_CLICK, 0, 0);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, texts::kBadPath);
  EXPECT_EQ(GetFocus(), form->control(kText2));
  DWORD start = 0, end = 0;
  SendMessageW(form->control(kText2), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 12u);
  EXPECT_EQ(TextOf(kLabel3), L"");
}

TEST_F(Form1Test, TabMovesThroughTheControlsInTabOrder) {
  Start();
  SetForegroundWindow(form->hwnd());
  SetFocus(form->control(kPicture1));
  const ControlId expected[] = {kDir1, kDrive1, kFile1, kDir2, kDrive2, kCommand1, kCommand2, kText1, kText2, kPicture1};
  for (ControlId id : expected) {
    MSG tab{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    ASSERT_TRUE(form->PreTranslate(tab));
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), id);
  }
}

TEST_F(Form1Test, CloseButtonEndsTheWindowAndHelpGoesToTheViewer) {
  Start();
  state.help_file_path = L"C:\\pel\\Vadelqix.HLP";
  form->HelpProcedure(7);
  EXPECT_EQ(help.calls, std::vector<std::wstring>{L"C:\\pel\\Vadelqix.HLP|1|7"});
  SendMessageW(form->control(kCommand2), BM_CLICK, 0, 0);
  EXPECT_EQ(form->hwnd(), nullptr);
  MSG quit;
  EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// --- Folders dropped from Explorer, and the program's argument ----------------------

// A real HDROP of one path, dropped at a client point of the window.
HDROP MakeDrop(POINT client, const std::wstring& path) {
  const std::size_t bytes = sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->pt = client;
  drop->fWide = TRUE;
  std::copy(path.begin(), path.end(), reinterpret_cast<wchar_t*>(drop + 1));
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

TEST_F(Form1Test, AFolderDroppedOnASideBecomesThatSidesFolder) {
  const struct {
    const char* name;
    ControlId target;  // dropped at its middle
    std::wstring path;
    std::wstring source, destination;  // the folders after the drop
    bool message;
  } cases[] = {
      {"folder on Text2", kText2, L"C:\\work\\B-1", L"C:\\work\\B-1", L"C:\\work", false},
      {"file on Label2 stands for its folder", kLabel2, L"C:\\work\\notes.txt", L"C:\\work", L"C:\\work", false},
      {"folder on Frame2, on another drive", kFrame2, L"D:\\data", L"D:\\data", L"C:\\work", false},
      {"folder on Text1", kText1, L"D:\\data", L"C:\\work", L"D:\\data", false},
      {"folder on Frame1", kFrame1, L"C:\\work\\out", L"C:\\work", L"C:\\work\\out", false},
      {"elsewhere: ignored", kCommand1, L"D:\\data", L"C:\\work", L"C:\\work", false},
      {"network path", kText2, L"\\\\server\\share\\B-1", L"C:\\work", L"C:\\work", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Start();
    RECT r;
    GetWindowRect(form->control(c.target), &r);
    POINT middle{(r.left + r.right) / 2, r.top + 3};
    ScreenToClient(form->hwnd(), &middle);
    SendMessageW(form->hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(middle, c.path)), 0);
    EXPECT_EQ(form->pane(Side::kSource).DirPath(), c.source);
    EXPECT_EQ(form->pane(Side::kDestination).DirPath(), c.destination);
    EXPECT_EQ(TextOf(kText2), c.source);
    EXPECT_EQ(boxes.shown.size(), c.message ? 1u : 0u);
    if (c.target == kText1 || c.target == kFrame1) {
      EXPECT_EQ(TextOf(kText1), c.destination);
      EXPECT_EQ(GetFocus(), form->control(kText1));
      DWORD start = 0, end = 0;
      SendMessageW(form->control(kText1), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
      EXPECT_EQ(start, c.destination.size());
      EXPECT_EQ(end, c.destination.size());
    }
    form.reset();
    boxes.shown.clear();
    drives.folders[L'C'] = L"C:\\work";
    drives.folders[L'D'] = L"D:\\data";
    drives.current = L'C';
  }
}

TEST_F(Form1Test, TheProgramsArgumentIsTheSourceFolderOrAMessage) {
  Start();
  form->ChooseFolder(Side::kSource, L"D:\\data\\");
  EXPECT_EQ(form->pane(Side::kSource).DirPath(), L"D:\\data");
  EXPECT_EQ(form->pane(Side::kSource).DriveListIndex(), 1);
  form->ChooseFolder(Side::kSource, L"C:\\nothing\\here");
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, L"指定されたフォルダが見つかりません。\nC:\\nothing\\here");
  EXPECT_EQ(form->pane(Side::kSource).DirPath(), L"D:\\data");
}

TEST_F(Form1Test, TheSystemMenuShowsTheVersionAndLooksForTheGuideBesideTheProgram) {
  Start();
  SendMessageW(form->hwnd(), WM_SYSCOMMAND, kAboutCommand, 0);
  SendMessageW(form->hwnd(), WM_SYSCOMMAND, kManualCommand, 0);  // no manual.html in C:\pel
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[0].caption, L"バージョン情報");
  EXPECT_EQ(boxes.shown[0].text, L"Pelmora -> 液状化判定ﾌｧｲﾙ  (pelmora2liq) 1.0.0\n"
                                 L"Copyright (c) 2026 The pelmora2liq authors\nMIT License (LICENSE.txt)");
  EXPECT_EQ(boxes.shown[1].text.substr(0, boxes.shown[1].text.find(L'\n', 11)),
            L"使い方を開けません。\nC:\\pel\\manual.html");
}

// --- The report of the conversion check ---------------------------------------------

class ReportTest : public Form1Test {
 protected:
  void SetUp() override {
    Form1Test::SetUp();
    fs.AddFile(L"C:\\work\\B-2\\titl01.txt", "\"No.2\"");
    fs.AddFile(L"C:\\work\\B-2\\X1.txt", "1,2.5,a,b");
    fs.AddFile(L"C:\\work\\B-2\\X5.txt",
               "1,1.0,abc,4,5,6,7,8,9,10,11\r\n1,2.0,5,4,5,6,7,8,9,10,11\r\n1,1.5,5,4,5,6,7,8,9,10,11\r\n");
  }
  // A run of `folder` into C:\work\out\<name>; true when it wrote its file.
  bool Run(const wchar_t* folder, const wchar_t* name) {
    SetWindowTextW(form->control(kText2), (std::wstring(L"C:\\work\\") + folder).c_str());
    SetWindowTextW(form->control(kText1), (std::wstring(L"C:\\work\\out\\") + name).c_str());
    SendMessageW(form->control(kCommand1), BM_CLICK, 0, 0);
    return TextOf(kLabel3) == texts::kStatusDone;
  }
  bool ReportShown() const { return form->report() && form->report()->IsOpen() && IsWindowVisible(form->report()->hwnd()); }
  UINT MenuState() const { return GetMenuState(GetSystemMenu(form->hwnd(), FALSE), kReportCommand, MF_BYCOMMAND); }
};

TEST_F(ReportTest, ShownAfterARunWithWarningsWithoutTakingTheKeyboardReplacedAndClosedByLaterRuns) {
  Start();
  SetForegroundWindow(form->hwnd());
  EXPECT_TRUE(MenuState() & MF_GRAYED);
  ASSERT_TRUE(Run(L"B-1", L"b1"));  // no findings: no report
  EXPECT_FALSE(ReportShown());
  EXPECT_FALSE(MenuState() & MF_GRAYED);

  ASSERT_TRUE(Run(L"B-2", L"b2"));
  ASSERT_TRUE(ReportShown());
  HWND report = form->report()->hwnd();
  EXPECT_EQ(WindowText(report), L"変換結果の確認 - b2.txt");
  EXPECT_EQ(GetWindow(report, GW_OWNER), form->hwnd());
  EXPECT_NE(GetForegroundWindow(), report);
  // abc, 1.5 after 2.0, and X100.txt missing (information)
  EXPECT_EQ(ListView_GetItemCount(form->report()->control(kReportList)), 3);

  // Where the user puts it, it stays.
  SetWindowPos(report, nullptr, 10, 20, 700, 500, SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(report, SW_MINIMIZE);
  ASSERT_TRUE(Run(L"B-2", L"again"));
  EXPECT_EQ(form->report()->hwnd(), report);  // replaced, not a second window
  EXPECT_FALSE(IsIconic(report));
  RECT moved;
  GetWindowRect(report, &moved);
  EXPECT_EQ(std::vector<LONG>({moved.left, moved.top, moved.right, moved.bottom}), std::vector<LONG>({10, 20, 710, 520}));
  EXPECT_EQ(WindowText(report), L"変換結果の確認 - again.txt");
  EXPECT_NE(GetForegroundWindow(), report);

  EXPECT_FALSE(Run(L"missing folder", L"x"));  // ended without writing: the report stays
  EXPECT_TRUE(ReportShown());
  ASSERT_TRUE(Run(L"B-1", L"b1"));
  EXPECT_FALSE(ReportShown());
}

TEST_F(ReportTest, TheSystemMenuOpensTheLastReportEvenWithoutWarnings) {
  Start();
  ASSERT_TRUE(Run(L"B-1", L"b1"));
  SendMessageW(form->hwnd(), WM_SYSCOMMAND, kReportCommand, 0);
  ASSERT_TRUE(ReportShown());
  const std::wstring summary = WindowText(form->report()->control(kReportSummary));
  EXPECT_NE(summary.find(L"警告はありません"), std::wstring::npos) << ::testing::PrintToString(summary);
  EXPECT_EQ(summary.substr(0, summary.find(L'\n')), L"C:\\work\\out\\b1.txt");
}

TEST_F(ReportTest, SortsCopiesSavesAndLinksTheListToTheProfile) {
  Start();
  ASSERT_TRUE(Run(L"B-2", L"b2"));
  ReportWindow& report = *form->report();
  // Findings in file order: X5 line 1 (abc), line 3 (1.5 after 2.0), X100.txt missing (no line).
  report.SortBy(ReportColumn::kLine);
  report.SortBy(ReportColumn::kLine);
  EXPECT_EQ(report.order(), (std::vector<std::size_t>{1, 0, 2}));
  wchar_t title[32] = {};
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT;
  column.pszText = title;
  column.cchTextMax = 32;
  ListView_GetColumn(report.control(kReportList), 2, &column);
  EXPECT_STREQ(title, L"行 ▼");

  EXPECT_EQ(WindowText(report.control(kReportDetails)), texts::kReportDetailsHint);
  report.SelectFindings({0});
  EXPECT_EQ(WindowText(report.control(kReportDetails)),
            L"X5 の値「abc」は正の数ではないため、0 として出力しました。\r\n\r\nX5.txt の 1 行目：\r\n"
            L"1,1.0,「abc」,4,5,6,7,8,9,10,11");
  EXPECT_EQ(report.CopySelection(),
            L"警告\tX5.txt\t1\t1\t3\tabc\t0000000.00\tX5 の値「abc」は正の数ではないため、0 として出力しました。\r\n");
  EXPECT_EQ(report.profile().highlighted_rows(), (std::set<int>{1}));

  ASSERT_TRUE(report.SaveCsv(L"C:\\work\\out\\b2.csv"));
  const std::string csv = fs.File(L"C:\\work\\out\\b2.csv");
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 4);  // the header and three rows, CR LF each
  EXPECT_NE(csv.find(",abc,\"=\"\"0000000.00\"\"\","), std::string::npos) << csv;
  EXPECT_NE(csv.find(",C:\\work\\B-2,C:\\work\\out\\b2.txt\r\n"), std::string::npos) << csv;

  // Without X100 the rows keep the X5 order: 1.0, 2.0, then 1.5, the depth out of order.
  report.profile().ClickPoint(2);
  EXPECT_EQ(report.SelectedFindings(), (std::vector<std::size_t>{1}));
  report.profile().ClickPoint(1);
  EXPECT_TRUE(report.SelectedFindings().empty());
  EXPECT_EQ(WindowText(report.control(kReportDetails)), texts::kReportDetailsHint);
}

// The report appearing or going under a pointer that does not move is no movement over
// Picture1: Label3 keeps the success text until the pointer really moves.
TEST_F(ReportTest, ShowingOrClosingTheReportUnderThePointerKeepsLabel3) {
  Start();
  POINT inside{MulDiv(4800, static_cast<int>(GetDpiForWindow(form->hwnd())), 1440), 5};
  ClientToScreen(form->control(kPicture1), &inside);
  SetCursorPos(inside.x, inside.y);
  ASSERT_TRUE(Run(L"B-2", L"b2"));
  ASSERT_TRUE(ReportShown());
  SendMessageW(form->control(kPicture1), WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(TextOf(kLabel3), texts::kStatusDone);
  SetCursorPos(inside.x + 3, inside.y);
  SendMessageW(form->control(kPicture1), WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(TextOf(kLabel3), L"");
}

}  // namespace
}  // namespace pel::ui
