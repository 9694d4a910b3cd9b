#include "ui/form1.h"

#include <algorithm>
#include <cwctype>

#include "discovery/patdat.h"
#include "util/folder_paths.h"
#include "platform/qpro/qpro.h"
#include "ui/layout.h"
#include "ui/patdat_search.h"
#include "ui/window_util.h"
#include "util/user_texts.h"

#ifndef PEL_VERSION
#define PEL_VERSION "0.0.0"
#endif

namespace pel::ui {
namespace {

constexpr COLORREF kLightGrey = RGB(192, 192, 192);

// Each kind of control's window class and style, in ControlKind order.
constexpr struct { const wchar_t* window_class; DWORD style; } kKinds[] = {
    {kPicture1Class, 0},  // paints under the frames, which are transparent
    {L"BUTTON", BS_GROUPBOX},
    {L"LISTBOX", WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT |
                     LBS_WANTKEYBOARDINPUT},
    {L"COMBOBOX", WS_VSCROLL | CBS_DROPDOWNLIST},
    {L"LISTBOX", WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT},
    {L"BUTTON", BS_PUSHBUTTON},
    {L"EDIT", WS_BORDER | ES_AUTOHSCROLL},
    // SS_NOTIFY: a label takes the pointer itself instead of handing it to Picture1.
    {L"STATIC", SS_LEFT | SS_NOPREFIX | SS_NOTIFY},
};
static_assert(std::size(kKinds) == static_cast<std::size_t>(ControlKind::kLabel) + 1, "one entry per kind");

// A control's position in Picture1, in twips: its Left and Top plus its container's.
RECT DesignRect(const ControlLayout& c) {
  int left = c.left, top = c.top;
  if (c.container != kPicture1 && c.id != kPicture1) {
    const ControlLayout* box = FindLayout(c.container);
    left += box->left;
    top += box->top;
  }
  return RECT{left, top, left + c.width, top + c.height};
}

}  // namespace

Expected<void, std::wstring> Form1::Create(HINSTANCE instance) {
  if (form_) DestroyWindow(form_);  // a second Create starts over
  grey_brush_.reset(CreateSolidBrush(kLightGrey));
  if (!grey_brush_) return Fail(LastErrorText());

  // Picture1's class has no brush: the class outlives this window, its brush does not.
  if (!RegisterWindowClass(instance, kForm1Class, &WindowThunk<Form1, &Form1::OnFormMessage, &Form1::form_>, true,
                           SystemColourBrush(COLOR_WINDOW)) ||
      !RegisterWindowClass(instance, kPicture1Class, &WindowThunk<Form1, &Form1::OnPictureMessage>, false, nullptr)) {
    return Fail(LastErrorText());
  }

  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  // WS_EX_ACCEPTFILES: folders dropped from Explorer, on the source side or the destination side.
  if (!CreateWindowExW(WS_EX_ACCEPTFILES, kForm1Class, texts::kForm1Caption, style, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, nullptr,
                       nullptr, instance, this)) {
    return Fail(LastErrorText());
  }
  // The system menu opens the report of the last written file, once there is one.
  HMENU menu = GetSystemMenu(form_, FALSE);
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING | MF_GRAYED, kReportCommand, texts::kReportMenu);
  AppendMenuW(menu, MF_STRING, kBatchCommand, texts::kBatchMenu);
  AppendMenuW(menu, MF_STRING, kManualCommand, texts::kManualMenu);
  AppendMenuW(menu, MF_STRING, kAboutCommand, texts::kAboutMenu);
  auto made = CreateControls(instance);
  if (made) made = ApplyDpi(GetDpiForWindow(form_));
  if (!made) {
    DestroyWindow(form_);
    return made;
  }

  // Both folder lists, and the file list, start on the process's current folder.
  const DriveEntries drives = ReadDriveEntries(ports_.drives);
  for (FolderPane& pane : panes_) pane.Start(drives, ports_.drives.CurrentFolder());
  return {};
}

Expected<void, std::wstring> Form1::CreateControls(HINSTANCE instance) {
  tab_order_.clear();
  for (const auto& c : kLayout) {
    const auto& kind = kKinds[static_cast<std::size_t>(c.kind)];
    HWND window = CreateWindowExW(0, kind.window_class, c.caption, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kind.style,
                                  0, 0, 10, 10, c.id == kPicture1 ? form_ : control(kPicture1),
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, this);
    if (!window) return Fail(LastErrorText());
    if (TakesFocus(c.kind)) tab_order_.push_back(window);
    // The pointer over a frame's empty inside is over the frame, not over Picture1.
    if (c.kind == ControlKind::kFrame) SetWindowSubclass(window, &FrameSubclassProc, 0, 0);
  }
  // Labels and frames lie under the controls they touch, frames lowest: a label that runs
  // under its text box is covered by it, and a frame never covers what it holds.
  for (ControlKind lowest : {ControlKind::kLabel, ControlKind::kFrame}) {
    for (const auto& c : kLayout) {
      if (c.kind == lowest) SetWindowPos(control(c.id), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
  pane(Side::kDestination).Attach(control(kDrive1), control(kDir1), control(kFile1));
  pane(Side::kSource).Attach(control(kDrive2), control(kDir2), nullptr);
  return {};
}

Expected<void, std::wstring> Form1::ApplyDpi(UINT dpi) {
  dpi_ = dpi ? dpi : 96;
  if (auto made = ApplyFont(); !made) return made;
  ApplyLayout();
  ApplyClientSize();
  InvalidateRect(form_, nullptr, TRUE);
  return {};
}

Expected<void, std::wstring> Form1::ApplyFont() {
  win32::UniqueFont scaled = CreateUiFont(dpi_);
  if (!scaled) return Fail(LastErrorText());
  for (const auto& c : kLayout) SetWindowFont(control(c.id), scaled.get(), FALSE);
  // The controls hold the new font now; the old one can go.
  font_ = std::move(scaled);
  for (FolderPane& pane : panes_) pane.ApplyDpi(dpi_);
  return {};
}

void Form1::ApplyLayout() {
  for (const auto& c : kLayout) {
    const RECT r = DesignRect(c);
    // A drop-down list's height includes its open list.
    const int height = c.kind == ControlKind::kDriveList ? kDriveListOpenTwips : r.bottom - r.top;
    MoveWindow(control(c.id), DpiScale(r.left, dpi_), DpiScale(r.top, dpi_), DpiScale(r.right - r.left, dpi_),
               DpiScale(height, dpi_), FALSE);
  }
}

// The client area is the design size at this DPI. The frame is measured after the
// first sizing too, since a system may draw its frame at another DPI than it reports.
void Form1::ApplyClientSize() {
  const int client_width = DpiScale(kClientWidth, dpi_);
  const int client_height = DpiScale(kClientHeight, dpi_);
  RECT frame{0, 0, client_width, client_height};
  AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(form_, GWL_STYLE)), FALSE, 0, dpi_);
  int width = frame.right - frame.left, height = frame.bottom - frame.top;
  for (int attempt = 0; attempt < 2; ++attempt) {
    SetWindowPos(form_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT client = ClientRect(form_);
    if (client.right == client_width && client.bottom == client_height) break;
    width += client_width - client.right;
    height += client_height - client.bottom;
  }
}

bool Form1::Form_Load() {
  RECT window;
  GetWindowRect(form_, &window);
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  SetWindowPos(form_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

  qpro::Library library(ports_.fs, ports_.drives);
  state_.patdat_path = PatdatBesideProgram(library, ports_.process);
  if (state_.patdat_path.empty()) state_.patdat_path = SearchDrivesShowingProgress(library, ports_.process);
  if (state_.patdat_path.empty()) {
    ports_.boxes.Show(texts::kNoPatdat, texts::kApplicationTitle, MessageButtons::kOk, MessageIcon::kNone);
    return false;
  }
  FindHelpFile(ports_.fs, ports_.process, state_.help_file_path);
  state_.clear_status_pending = 0;
  SetWindowTextW(control(kText1), pane(Side::kDestination).DirPath().c_str());
  SetWindowTextW(control(kText2), pane(Side::kSource).DirPath().c_str());
  return true;
}

// --- Folder lists, buttons, status and help ----------------------------------------

void Form1::Dir1_Change() {
  pane(Side::kDestination).FillFileList();
  SetWindowTextW(control(kText1), pane(Side::kDestination).DirPath().c_str());
  ports_.drives.MakeFolderCurrent(pane(Side::kDestination).DirPath());
}

void Form1::Command1_Click() {
  // The batch writes through the same file system: one conversion at a time.
  if (batch_ && batch_->Running()) {
    ports_.boxes.Show(texts::kBatchBusy, texts::kApplicationTitle, MessageButtons::kOk, MessageIcon::kExclamation);
    return;
  }
  RunPorts ports{*this, ports_.boxes, ports_.fs, ports_.drives, ports_.codec};
  // The run's message boxes are modal for the report too.
  HWND report = report_ ? report_->hwnd() : nullptr;
  if (report) EnableWindow(report, FALSE);
  auto written = RunConversion(ports, state_.clear_status_pending);
  if (report && IsWindow(report)) EnableWindow(report, TRUE);
  if (!written) return;  // the report, if any, stays as it was
  last_run_ = std::move(*written);
  EnableMenuItem(GetSystemMenu(form_, FALSE), kReportCommand, MF_BYCOMMAND | MF_ENABLED);
  if (last_run_->report.warnings() > 0) {
    ShowReport(false);
  } else {
    CloseReport();
  }
}

std::optional<Side> Form1::SideAt(POINT client) const {
  auto in = [&](ControlId first, ControlId last) {
    RECT a, b, both;
    GetWindowRect(control(first), &a);
    GetWindowRect(control(last), &b);
    UnionRect(&both, &a, &b);
    MapWindowPoints(nullptr, form_, reinterpret_cast<POINT*>(&both), 2);
    return PtInRect(&both, client) != 0;
  };
  if (in(kLabel2, kText2) || in(kFrame2, kFrame2)) return Side::kSource;
  if (in(kLabel1, kText1) || in(kFrame1, kFrame1)) return Side::kDestination;
  return std::nullopt;
}

void Form1::Form_DropFiles(HWND, HDROP drop) {
  static const auto query_point = SystemFunction<decltype(DragQueryPoint)>(L"shell32.dll", "DragQueryPoint");
  static const auto query_file = SystemFunction<decltype(DragQueryFileW)>(L"shell32.dll", "DragQueryFileW");
  static const auto finish = SystemFunction<decltype(DragFinish)>(L"shell32.dll", "DragFinish");
  if (!query_point || !query_file || !finish) return;
  POINT at;
  const bool inside = query_point(drop, &at) != 0;
  std::wstring path(static_cast<std::size_t>(query_file(drop, 0, nullptr, 0)) + 1, L'\0');
  path.resize(query_file(drop, 0, path.data(), static_cast<UINT>(path.size())));
  finish(drop);
  if (const auto side = inside ? SideAt(at) : std::nullopt; side && !path.empty()) ChooseFolder(*side, path);
}

void Form1::ChooseFolder(Side side, const std::wstring& given) {
  auto refuse = [&](const wchar_t* message) {
    ports_.boxes.Show(texts::FillText(message, {given}), texts::kApplicationTitle, MessageButtons::kOk,
                      MessageIcon::kExclamation);
  };
  std::wstring path = WithoutBackslash(given);
  if (path.size() < 2 || path[1] != L':') return refuse(texts::kDropNeedsDrive);
  if (path.size() == 2) path += L'\\';  // "D:" is the drive's root
  // A file stands for its folder.
  if (!FolderListItems(ports_.fs, path)) {
    if (!ports_.fs.EntryExists(path)) return refuse(texts::kBadArgument);
    path = FolderAbove(path);
  }
  // The drive first, as a user would choose it; a drive not yet listed is read in again.
  FolderPane& chosen = pane(side);
  const wchar_t letter = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(path[0])));
  if (chosen.DriveListIndexOf(letter) < 0) {
    const DriveEntries drives = ReadDriveEntries(ports_.drives);
    for (FolderPane& each : panes_) each.FillDriveList(drives);
  }
  if (const int index = chosen.DriveListIndexOf(letter); index >= 0) chosen.SetDriveListIndex(index);
  if (!chosen.SetDirPath(path, true)) return;
  if (side == Side::kDestination) {
    HWND text1 = control(kText1);
    SetFocus(text1);
    const int end = GetWindowTextLengthW(text1);
    Edit_SetSel(text1, end, end);
  }
}

void Form1::OpenManual() {
  const std::wstring manual = JoinPath(ports_.process.ProgramFolder(), texts::kManualFile);
  static const auto execute = SystemFunction<decltype(ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
  const auto opened =
      execute ? reinterpret_cast<INT_PTR>(execute(form_, L"open", manual.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) : 0;
  if (opened > 32) return;  // ShellExecute's success
  ports_.boxes.Show(texts::FillText(texts::kNoManual, {manual, win32::SystemErrorText(GetLastError())}),
                    texts::kApplicationTitle, MessageButtons::kOk, MessageIcon::kExclamation);
}

void Form1::ShowAbout() {
  ports_.boxes.Show(texts::FillText(texts::kAbout, {L"" PEL_VERSION}), texts::kAboutCaption, MessageButtons::kOk,
                    MessageIcon::kInformation);
}

void Form1::ShowReport(bool activate) {
  if (!report_) report_ = std::make_unique<ReportWindow>(form_, ReportPorts{ports_.fs, ports_.codec, ports_.boxes});
  POINT pointer;
  if (GetCursorPos(&pointer)) pointer_at_report_change_ = pointer;
  report_->Show(*last_run_, activate);
}

void Form1::CloseReport() {
  if (!report_ || !report_->IsOpen()) return;
  POINT pointer;
  if (GetCursorPos(&pointer)) pointer_at_report_change_ = pointer;
  report_->Close();
}

void Form1::Picture1_MouseMove(HWND, int, int, UINT) {
  POINT pointer;
  if (pointer_at_report_change_ && GetCursorPos(&pointer) && pointer.x == pointer_at_report_change_->x &&
      pointer.y == pointer_at_report_change_->y) {
    return;  // the report appeared or went under a pointer that did not move
  }
  pointer_at_report_change_.reset();
  if (state_.clear_status_pending != 1) return;
  SetStatus(L"");
  state_.clear_status_pending = 0;
}

// --- Messages ---------------------------------------------------------------------

bool Form1::PreTranslate(MSG& message) {
  if (report_ && report_->PreTranslate(message)) return true;
  if (batch_ && batch_->PreTranslate(message)) return true;
  if (message.message != WM_KEYDOWN || (message.hwnd != form_ && !IsChild(form_, message.hwnd))) return false;
  if (message.wParam == VK_TAB) {
    HWND focus = GetFocus();
    if (ComboBox_GetDroppedState(focus)) return false;
    const bool back = GetKeyState(VK_SHIFT) < 0;
    auto it = std::find(tab_order_.begin(), tab_order_.end(), focus);
    if (it == tab_order_.end()) {  // inside a control, such as a drop-down list's edit part
      it = std::find_if(tab_order_.begin() + 1, tab_order_.end(), [&](HWND w) { return IsChild(w, focus); });
    }
    std::size_t index = it == tab_order_.end() ? 0 : static_cast<std::size_t>(it - tab_order_.begin());
    index = back ? (index + tab_order_.size() - 1) % tab_order_.size()
                 : (it == tab_order_.end() ? 0 : (index + 1) % tab_order_.size());
    HWND next = tab_order_[index];
    SetFocus(next);
    if (next == control(kText1) || next == control(kText2)) Edit_SetSel(next, 0, -1);
    return true;
  }
  if (message.wParam != VK_RETURN || (message.hwnd != control(kCommand1) && message.hwnd != control(kCommand2))) {
    return false;
  }
  ClickButton(message.hwnd);
  return true;
}

LRESULT Form1::OnFormMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    HANDLE_MSG(window, WM_SETCURSOR, Member(this, &Form1::Form_SetCursor));
    HANDLE_MSG(window, WM_DPICHANGED, Member(this, &Form1::Form_DpiChanged));
    HANDLE_MSG(window, WM_DROPFILES, Member(this, &Form1::Form_DropFiles));
    HANDLE_MSG(window, WM_SYSCOMMAND, Member(this, &Form1::Form_SysCommand));
    HANDLE_MSG(window, WM_ACTIVATE, Member(this, &Form1::Form_Activate));
    HANDLE_MSG(window, WM_CLOSE, Member(this, &Form1::Form_Close));
    HANDLE_MSG(window, WM_DESTROY, Member(this, &Form1::Form_Unload));
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

LRESULT Form1::OnPictureMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    HANDLE_MSG(window, WM_COMMAND, Member(this, &Form1::Picture1_Command));
    HANDLE_MSG(window, WM_VKEYTOITEM, Member(this, &Form1::Picture1_VKeyToItem));
    HANDLE_MSG(window, WM_CTLCOLORSTATIC, Member(this, &Form1::Picture1_CtlColor));
    HANDLE_MSG(window, WM_CTLCOLORBTN, Member(this, &Form1::Picture1_CtlColor));
    HANDLE_MSG(window, WM_MOUSEMOVE, Member(this, &Form1::Picture1_MouseMove));
    HANDLE_MSG(window, WM_LBUTTONDOWN, Member(this, &Form1::Picture1_MouseDown));
    HANDLE_MSG(window, WM_ERASEBKGND, Member(this, &Form1::Picture1_EraseBackground));
    case WM_DRAWITEM:
      HANDLE_WM_DRAWITEM(window, wParam, lParam, Member(this, &Form1::Picture1_DrawItem));
      return TRUE;
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

void Form1::Form_SysCommand(HWND window, UINT command, int x, int y) {
  switch (command & 0xFFF0) {
    case kReportCommand: OpenReport(); break;
    case kManualCommand: OpenManual(); break;
    case kAboutCommand: ShowAbout(); break;
    case kBatchCommand: OpenBatch(); break;
    default: FORWARD_WM_SYSCOMMAND(window, command, x, y, DefWindowProcW);
  }
}

void Form1::Picture1_Command(HWND, int id, HWND control_window, UINT code) {
  if (id == kCommand1 && code == BN_CLICKED) Command1_Click();
  if (id == kCommand2 && code == BN_CLICKED) Command2_Click();
  if (id == kDrive1 && code == CBN_SELCHANGE) Drive1_Change();
  if (id == kDrive2 && code == CBN_SELCHANGE) Drive2_Change();
  if (id == kFile1 && code == LBN_SELCHANGE) File1_Click();
  // A folder list opens the folder double-clicked.
  if (code == LBN_DBLCLK && PaneOf(id)) PaneOf(id)->OpenFolderItem(ListBox_GetCurSel(control_window));
}

// Picture1's grey behind the frames and labels that the layout paints grey.
HBRUSH Form1::Picture1_CtlColor(HWND window, HDC dc, HWND child, int type) {
  const ControlLayout* layout = FindLayout(static_cast<ControlId>(GetDlgCtrlID(child)));
  if (!layout || !layout->grey) {
    return type == CTLCOLOR_STATIC ? FORWARD_WM_CTLCOLORSTATIC(window, dc, child, DefWindowProcW)
                                   : FORWARD_WM_CTLCOLORBTN(window, dc, child, DefWindowProcW);
  }
  SetBkColor(dc, kLightGrey);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  return grey_brush_.get();
}

}  // namespace pel::ui
