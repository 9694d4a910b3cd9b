// End to end: the real pelmora2liq.exe, started and worked from this second process as
// a user would work it: texts typed, buttons pressed, message boxes read and answered,
// files checked on disk.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/batch_window.h"
#include "ui/control_ids.h"
#include "ui/form1.h"
#include "ui/layout.h"
#include "ui/report_window.h"
#include "win32/dialog_driver.h"
#include "platform/win32/win32_handles.h"
#include "win32/test_folders.h"

namespace pel::e2e {
namespace {

using testing::AnswerMessageBox;
using testing::FindMessageBox;
using testing::MessageBoxText;
using testing::WaitFor;
using testing::WaitForMessageBox;
using testing::WindowText;

std::wstring ModuleFolder() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  return folder.substr(0, folder.find_last_of(L'\\'));
}

using testing::Exists;
using testing::ReadBytes;

// The program beside this driver, or in the folder above it.
std::wstring ProgramPath() {
  const std::wstring here = ModuleFolder() + L"\\pelmora2liq.exe";
  if (Exists(here)) return here;
  const std::wstring folder = ModuleFolder();
  return folder.substr(0, folder.find_last_of(L'\\')) + L"\\pelmora2liq.exe";
}

// The sample borehole folders are worked where a user keeps such folders, at a path the
// window accepts wherever this checkout lies (its own path may hold a blank or a dotted
// folder name, which the window rightly refuses).
const std::wstring kSampleFolder = L"C:\\ボーリング";


// A Unix path from the environment as a Windows path on drive Z:.
std::wstring FromUnixVariable(const wchar_t* name) {
  wchar_t value[MAX_PATH] = {};
  if (!GetEnvironmentVariableW(name, value, MAX_PATH)) return {};
  std::wstring path = L"Z:";
  for (const wchar_t* p = value; *p; ++p) path += *p == L'/' ? L'\\' : *p;
  return path;
}

// The sample borehole folders, without the sample PATDAT that lies beside them: the
// reference data belongs beside the program, and on drive C: it would be found by the
// start-up test that must find none.
void CopySamples() {
  testing::CopyTree(FromUnixVariable(L"PEL_EXAMPLES"), kSampleFolder);
  testing::RemoveTree(kSampleFolder + L"\\PATDAT");
}


// The converter, running.
class App {
 public:
  explicit App(const std::wstring& folder, const std::wstring& program = ProgramPath(), const std::wstring& argument = L"") {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring command = L"\"" + program + L"\"";
    if (!argument.empty()) command += L" \"" + argument + L"\"";
    if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &process_)) {
      return;
    }
    thread_.reset(process_.hThread);
    handle_.reset(process_.hProcess);
    WaitForInputIdle(process_.hProcess, 20000);
  }
  ~App() {
    if (handle_ && WaitForSingleObject(handle_.get(), 0) == WAIT_TIMEOUT) {
      if (form_) PostMessageW(form_, WM_CLOSE, 0, 0);
      if (WaitForSingleObject(handle_.get(), 10000) == WAIT_TIMEOUT) TerminateProcess(handle_.get(), 1);
    }
  }
  DWORD pid() const { return process_.dwProcessId; }
  HANDLE handle() const { return handle_.get(); }

  // Waits for the window to be shown; false when it never is.
  bool WaitForWindow() {
    return WaitFor([&] {
      form_ = nullptr;
      EnumWindows(
          [](HWND window, LPARAM param) -> BOOL {
            auto* app = reinterpret_cast<App*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t cls[64] = {};
            GetClassNameW(window, cls, 64);
            if (owner == app->pid() && std::wstring(cls) == ui::kForm1Class && IsWindowVisible(window)) {
              app->form_ = window;
              return FALSE;
            }
            return TRUE;
          },
          reinterpret_cast<LPARAM>(this));
      return form_ != nullptr;
    });
  }
  HWND form() const { return form_; }
  HWND control(ui::ControlId id) const {
    HWND picture = FindWindowExW(form_, nullptr, ui::kPicture1Class, nullptr);
    return id == ui::kPicture1 ? picture : GetDlgItem(picture, id);
  }
  void Type(ui::ControlId id, const std::wstring& text) {
    SendMessageW(control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  std::wstring Text(ui::ControlId id) const { return WindowText(control(id)); }
  void Click(ui::ControlId id) { PostMessageW(control(id), BM_CLICK, 0, 0); }
  bool WaitForStatus(const std::wstring& status) {
    return WaitFor([&] { return Text(ui::kLabel3) == status; });
  }
  HWND Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(form_, nullptr), &info);
    return info.hwndFocus;
  }

 private:
  PROCESS_INFORMATION process_{};
  win32::UniqueHandle thread_, handle_;  // process_'s handles, owned
  HWND form_ = nullptr;
};

// The window's pixels as the screen shows them (0x00RRGGBB).
struct Capture {
  RECT frame{};
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t at(int screen_x, int screen_y) const {
    return pixels[static_cast<std::size_t>((screen_y - frame.top) * width + (screen_x - frame.left))];
  }
};

// The screen's pixels in `area`, once what shows there has been painted.
Capture CaptureArea(const RECT& area) {
  Capture shot;
  shot.frame = area;
  shot.width = shot.frame.right - shot.frame.left;
  shot.height = shot.frame.bottom - shot.frame.top;
  const win32::ScopedGetDC screen(nullptr);
  const win32::UniqueMemoryDC memory(CreateCompatibleDC(screen.get()));
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), shot.width, -shot.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const win32::UniqueBitmap bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const win32::ScopedSelectObject use_bitmap(memory.get(), bitmap.get());
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  const std::size_t count = static_cast<std::size_t>(shot.width) * static_cast<std::size_t>(shot.height);
  // Wait until the window has been painted (its middle is no longer black) and has
  // settled: two captures 50 ms apart are the same.
  std::vector<std::uint32_t> before;
  WaitFor([&] {
    BitBlt(memory.get(), 0, 0, shot.width, shot.height, screen.get(), shot.frame.left, shot.frame.top, SRCCOPY);
    if ((pixels[count / 2] & 0xFFFFFF) == 0) return false;
    const bool settled = before.size() == count && std::equal(before.begin(), before.end(), pixels);
    before.assign(pixels, pixels + count);
    if (!settled) Sleep(50);
    return settled;
  });
  shot.pixels.assign(pixels, pixels + count);
  for (auto& p : shot.pixels) p &= 0xFFFFFF;  // the screen leaves the alpha byte undefined
  return shot;
}

Capture CaptureWindow(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT frame;
  GetWindowRect(window, &frame);
  return CaptureArea(frame);
}

// The smallest area that shows both windows.
Capture CaptureWindows(HWND first, HWND second) {
  RECT a, b, both;
  for (HWND window : {first, second}) RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  GetWindowRect(first, &a);
  GetWindowRect(second, &b);
  UnionRect(&both, &a, &b);
  return CaptureArea(both);
}

void SaveBitmap(const Capture& shot, const std::wstring& path) {
  BITMAPINFOHEADER header{sizeof header, shot.width, -shot.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  const auto bytes = static_cast<DWORD>(shot.pixels.size() * 4);
  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof header + bytes), 0, 0,
                        sizeof(BITMAPFILEHEADER) + sizeof header};
  std::vector<std::uint32_t> opaque(shot.pixels);
  for (auto& p : opaque) p |= 0xFF000000u;
  std::string image(reinterpret_cast<const char*>(&file), sizeof file);
  image.append(reinterpret_cast<const char*>(&header), sizeof header);
  image.append(reinterpret_cast<const char*>(opaque.data()), bytes);
  testing::WriteBytes(path, image);
}

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::wstring samples = FromUnixVariable(L"PEL_EXAMPLES");
    ASSERT_FALSE(samples.empty()) << "PEL_EXAMPLES names the sample borehole folders";
    CopySamples();
    examples = kSampleFolder;
    out = testing::FreshTestFolder(L"e2e");
  }
  void TearDown() override {
    testing::RemoveTree(out);
    testing::RemoveTree(kSampleFolder);
  }
  std::wstring examples;
  std::wstring out;
};

TEST_F(EndToEnd, ConvertsTheSampleBoreholeByteForByte) {
  // The program's argument is the source folder, as if chosen in Drive2 and Dir2.
  App app(examples, ProgramPath(), examples + L"\\B-1");
  ASSERT_TRUE(app.WaitForWindow());
  ASSERT_TRUE(WaitFor([&] { return app.Text(ui::kText2) == examples + L"\\B-1"; }));
  EXPECT_EQ(app.Text(ui::kText1), examples);
  app.Type(ui::kText1, out + L"\\b1");
  app.Click(ui::kCommand1);
  ASSERT_TRUE(app.WaitForStatus(L"変換が正常に終了しました。"));
  EXPECT_EQ(ReadBytes(out + L"\\b1.txt"), ReadBytes(FromUnixVariable(L"PEL_E2E_EXPECTED") + L"\\B-1.txt"));
  EXPECT_EQ(FindMessageBox(app.pid()), nullptr);
}

TEST_F(EndToEnd, FolderQuestionYesCreatesTheFoldersAndNoWritesNothing) {
  App app(examples + L"\\B-2");
  ASSERT_TRUE(app.WaitForWindow());

  app.Type(ui::kText1, out + L"\\no\\deeper\\b2");
  app.Click(ui::kCommand1);
  HWND question = WaitForMessageBox(app.pid());
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(MessageBoxText(question), L"フォルダがありません。新規作成しますか？");
  EXPECT_EQ(WindowText(question), L"Vomel");
  ASSERT_TRUE(AnswerMessageBox(question, IDNO));
  ASSERT_TRUE(app.WaitForStatus(L""));
  EXPECT_FALSE(Exists(out + L"\\no"));

  app.Type(ui::kText1, out + L"\\yes\\deeper\\b2");
  app.Click(ui::kCommand1);
  question = WaitForMessageBox(app.pid());
  ASSERT_NE(question, nullptr);
  ASSERT_TRUE(AnswerMessageBox(question, IDYES));
  ASSERT_TRUE(app.WaitForStatus(L"変換が正常に終了しました。"));
  EXPECT_EQ(ReadBytes(out + L"\\yes\\deeper\\b2.txt").substr(0, 10), "TITLE     ");
}

// A folder with findings: the run ends as every run does (Label3, the focus, the file),
// and the report appears beside the window without taking the keyboard.
TEST_F(EndToEnd, AFolderWithFindingsShowsTheReportWithoutTakingTheKeyboard) {
  App app(examples + L"\\B-4");
  ASSERT_TRUE(app.WaitForWindow());
  SetForegroundWindow(app.form());
  // Written beside the samples, so that the report's screenshot shows a user's path.
  const std::wstring written = examples + L"\\出力\\B-4";
  CreateDirectoryW((examples + L"\\出力").c_str(), nullptr);
  app.Type(ui::kText1, written);
  SendMessageW(app.control(ui::kText1), WM_SETFOCUS, 0, 0);
  app.Click(ui::kCommand1);
  ASSERT_TRUE(app.WaitForStatus(L"変換が正常に終了しました。"));
  HWND report = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    report = FindWindowW(ui::kReportClass, nullptr);
    return report && IsWindowVisible(report);
  }));
  EXPECT_EQ(WindowText(report), L"変換結果の確認 - B-4.txt");
  EXPECT_EQ(GetWindow(report, GW_OWNER), app.form());
  EXPECT_NE(GetForegroundWindow(), report);
  const HWND focus = app.Focus();
  EXPECT_TRUE(focus == app.form() || IsChild(app.form(), focus)) << "the keyboard went to the report";
  // Beside the window where the screen has room (this 1280-pixel screen has none on
  // either side of the centred window), and always wholly on the screen.
  RECT form, beside, work;
  GetWindowRect(app.form(), &form);
  GetWindowRect(report, &beside);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const bool room = form.right + (beside.right - beside.left) <= work.right ||
                    form.left - (beside.right - beside.left) >= work.left;
  if (room) {
    EXPECT_TRUE(beside.left >= form.right || beside.right <= form.left) << "the report covers the window";
  }
  EXPECT_TRUE(beside.left >= work.left && beside.right <= work.right && beside.top >= work.top &&
              beside.bottom <= work.bottom);
  EXPECT_EQ(app.Text(ui::kLabel3), L"変換が正常に終了しました。");
  EXPECT_EQ(ReadBytes(written + L".txt").substr(0, 14), "TITLE     No.4");
  EXPECT_EQ(FindMessageBox(app.pid()), nullptr);
  const std::wstring saved = FromUnixVariable(L"PEL_REPORT_SCREENSHOT");
  if (!saved.empty()) SaveBitmap(CaptureWindow(report), saved);
}

TEST_F(EndToEnd, ARejectedSourceGetsTheFocusWithItsTextSelected) {
  App app(examples + L"\\B-1");
  ASSERT_TRUE(app.WaitForWindow());
  app.Type(ui::kText2, L"C:\\my data");
  app.Click(ui::kCommand1);
  HWND box = WaitForMessageBox(app.pid());
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), L"指定されたパスは正しくありません。");
  EXPECT_EQ(WindowText(box), L"C:\\my data");
  ASSERT_TRUE(AnswerMessageBox(box, IDOK));
  ASSERT_TRUE(WaitFor([&] { return app.Focus() == app.control(ui::kText2); }));
  const auto selection = static_cast<DWORD>(SendMessageW(app.control(ui::kText2), EM_GETSEL, 0, 0));
  EXPECT_EQ(LOWORD(selection), 0);
  EXPECT_EQ(HIWORD(selection), 10);
  EXPECT_EQ(app.Text(ui::kLabel3), L"");
}

// The window as the screen shows it: not blank, and every caption drawn (dark pixels
// inside each label, frame title and button).
TEST_F(EndToEnd, TheWindowRendersItsCaptions) {
  App app(examples + L"\\B-1");
  ASSERT_TRUE(app.WaitForWindow());
  const Capture shot = CaptureWindow(app.form());
  const std::wstring saved = FromUnixVariable(L"PEL_SCREENSHOT");
  if (!saved.empty()) SaveBitmap(shot, saved);

  std::vector<std::uint32_t> colours(shot.pixels);
  std::sort(colours.begin(), colours.end());
  EXPECT_GT(std::unique(colours.begin(), colours.end()) - colours.begin(), 20) << "a blank window";

  const UINT dpi = GetDpiForWindow(app.form());
  for (const auto& c : ui::kLayout) {
    if (c.caption[0] == 0 || c.id == ui::kPicture1) continue;
    RECT r;
    GetWindowRect(app.control(c.id), &r);
    // A frame's caption runs along its top edge.
    if (c.kind == ui::ControlKind::kFrame) r.bottom = r.top + MulDiv(315, static_cast<int>(dpi), 1440);
    int dark = 0;
    for (int y = std::max(r.top, shot.frame.top); y < std::min(r.bottom, shot.frame.bottom); ++y) {
      for (int x = std::max(r.left, shot.frame.left); x < std::min(r.right, shot.frame.right); ++x) {
        const std::uint32_t p = shot.at(x, y);
        if (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 200) ++dark;
      }
    }
    EXPECT_GT(dark, 30) << "no caption drawn in " << std::string(c.name, c.name + wcslen(c.name));
  }
}

// Run by ./run where there is no display: the sample conversion through the real window
// on a virtual display, the output file and a screenshot kept in PEL_DEMO_OUT.
TEST(Demo, ConvertTheSampleAndKeepTheResult) {
  const std::wstring kept = FromUnixVariable(L"PEL_DEMO_OUT");
  if (kept.size() <= 2) GTEST_SKIP() << "PEL_DEMO_OUT is not set";
  CopySamples();
  const std::wstring out = kSampleFolder + L"\\出力";
  testing::RemoveTree(out);
  CreateDirectoryW(out.c_str(), nullptr);
  App app(kSampleFolder + L"\\B-1");
  ASSERT_TRUE(app.WaitForWindow());
  app.Type(ui::kText1, out + L"\\B-1");
  app.Click(ui::kCommand1);
  ASSERT_TRUE(app.WaitForStatus(L"変換が正常に終了しました。"));
  // B-1 has a warning: the window with its report beside it.
  HWND report = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (report = FindWindowW(ui::kReportClass, nullptr)) && IsWindowVisible(report); }));
  SaveBitmap(CaptureWindows(app.form(), report), kept + L"\\window.bmp");
  ASSERT_TRUE(CopyFileW((out + L"\\B-1.txt").c_str(), (kept + L"\\B-1.txt").c_str(), FALSE));
}

// Run by tests/package/package_test.sh on the unpacked release package: the window
// program in PEL_PACKAGE_PROGRAM starts (its PATDAT beside it) and shows its window.
TEST(Package, TheUnpackedProgramStartsAndShowsItsWindow) {
  wchar_t value[MAX_PATH] = {};  // a Windows path: C:\pelmora2liq\pelmora2liq.exe
  if (!GetEnvironmentVariableW(L"PEL_PACKAGE_PROGRAM", value, MAX_PATH)) GTEST_SKIP() << "PEL_PACKAGE_PROGRAM is not set";
  const std::wstring program = value;
  const std::wstring folder = program.substr(0, program.find_last_of(L'\\'));
  App app(folder + L"\\B-1", program);
  ASSERT_TRUE(app.WaitForWindow());
  EXPECT_EQ(app.Text(ui::kText2), folder + L"\\B-1");
  EXPECT_EQ(FindMessageBox(app.pid()), nullptr);
}

// Run by tools/screenshots under a Japanese locale: the guide's pictures of the real
// program, kept in PEL_SCREENSHOTS_OUT. The keyboard stays on Picture1 or a button, so no
// caret shows.
TEST(Screenshots, TheGuidesPictures) {
  const std::wstring kept = FromUnixVariable(L"PEL_SCREENSHOTS_OUT");
  if (kept.size() <= 2) GTEST_SKIP() << "PEL_SCREENSHOTS_OUT is not set";
  CopySamples();
  App app(kSampleFolder + L"\\B-1");
  ASSERT_TRUE(app.WaitForWindow());
  SaveBitmap(CaptureWindow(app.form()), kept + L"\\window.bmp");

  app.Type(ui::kText1, kSampleFolder + L"\\出力\\B-1");
  app.Click(ui::kCommand1);
  HWND question = WaitForMessageBox(app.pid());
  ASSERT_NE(question, nullptr);
  SaveBitmap(CaptureWindow(question), kept + L"\\question.bmp");
  ASSERT_TRUE(AnswerMessageBox(question, IDYES));
  ASSERT_TRUE(app.WaitForStatus(L"変換が正常に終了しました。"));
  HWND report = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (report = FindWindowW(ui::kReportClass, nullptr)) != nullptr; }));
  // B-1's one finding clicked in the list, under its column titles: the details under the
  // list show its whole message and the source line it comes from.
  HWND details = GetDlgItem(report, ui::kReportDetails);
  const std::wstring hint = WindowText(details);
  HWND findings = GetDlgItem(report, ui::kReportList);
  RECT titles{};
  GetWindowRect(FindWindowExW(findings, nullptr, WC_HEADERW, nullptr), &titles);
  const LPARAM first_row = MAKELPARAM(20, titles.bottom - titles.top + 6);
  PostMessageW(findings, WM_LBUTTONDOWN, MK_LBUTTON, first_row);
  PostMessageW(findings, WM_LBUTTONUP, 0, first_row);
  ASSERT_TRUE(WaitFor([&] { return WindowText(details) != hint; }));
  EXPECT_NE(WindowText(details).find(L"X5 の値が空欄のため、0 として出力しました。"), std::wstring::npos);
  EXPECT_NE(WindowText(details).find(L"X5.txt の 7 行目："), std::wstring::npos);
  SaveBitmap(CaptureWindow(report), kept + L"\\report.bmp");
  PostMessageW(report, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(report); }));
  SaveBitmap(CaptureWindow(app.form()), kept + L"\\done.bmp");

  app.Type(ui::kText2, L"C:\\my data");
  app.Click(ui::kCommand1);
  HWND rejected = WaitForMessageBox(app.pid());
  ASSERT_NE(rejected, nullptr);
  SaveBitmap(CaptureWindow(rejected), kept + L"\\bad-path.bmp");
  ASSERT_TRUE(AnswerMessageBox(rejected, IDOK));

  // The batch window after a batch of the sample folders.
  PostMessageW(app.form(), WM_SYSCOMMAND, ui::kBatchCommand, 0);
  HWND batch = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (batch = FindWindowW(ui::kBatchClass, nullptr)) != nullptr && IsWindowVisible(batch); }));
  const std::wstring output = L"C:\\液状化";
  testing::RemoveTree(output);
  for (auto [id, text] : {std::pair{ui::kBatchSiteText, kSampleFolder}, std::pair{ui::kBatchOutputText, output}}) {
    SendMessageW(GetDlgItem(batch, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  // Filled in, before 開始: Tab takes the keyboard from the site folder's text to 開始, so
  // that no caret shows.
  auto focus = [&] {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(batch, nullptr), &info);
    return info.hwndFocus;
  };
  HWND start = GetDlgItem(batch, ui::kBatchStartButton);
  for (int tab = 0; tab < 8 && focus() != start; ++tab) {
    HWND from = focus();
    ASSERT_NE(from, nullptr);
    PostMessageW(from, WM_KEYDOWN, VK_TAB, 0);
    ASSERT_TRUE(WaitFor([&] { return focus() != from; }));
  }
  ASSERT_EQ(focus(), start);
  SaveBitmap(CaptureWindow(batch), kept + L"\\batch-start.bmp");
  PostMessageW(start, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(batch, ui::kBatchSaveButton)) != FALSE; }));
  EXPECT_EQ(SendMessageW(GetDlgItem(batch, ui::kBatchList), LVM_GETITEMCOUNT, 0, 0), 4);
  SaveBitmap(CaptureWindow(batch), kept + L"\\batch-window.bmp");
  testing::RemoveTree(output);
  testing::RemoveTree(kSampleFolder);
}

// Run on its own (tests/e2e/no_patdat.sh): the program alone on drive C:, with no
// PATDAT folder on any drive.
TEST(NoPatdat, OneMessageThenTheProgramEndsWithoutAWindow) {
  App app(L"C:\\", ModuleFolder() + L"\\pelmora2liq.exe");
  ASSERT_NE(app.handle(), nullptr);
  HWND box = WaitForMessageBox(app.pid());
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), L" PATDAT の設定がありません.");
  EXPECT_EQ(WindowText(box), L"Vomel");
  EXPECT_EQ(FindWindowW(ui::kForm1Class, nullptr) != nullptr && IsWindowVisible(FindWindowW(ui::kForm1Class, nullptr)),
            false);
  ASSERT_TRUE(AnswerMessageBox(box, IDOK));
  EXPECT_EQ(WaitForSingleObject(app.handle(), 20000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(app.handle(), &code);
  EXPECT_EQ(code, 0u);
}

}  // namespace
}  // namespace pel::e2e
