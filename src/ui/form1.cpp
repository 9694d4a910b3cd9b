#include "ui/form1.h"
#include "util/user_texts.h"

#include <windowsx.h>

#include <algorithm>

#include "discovery/help.h"
#include "discovery/patdat.h"
#include "platform/qpro/qpro.h"
#include "ui/layout.h"

namespace pel::ui {
namespace {

constexpr COLORREF kLightGrey = RGB(192, 192, 192);

// Installed Japanese UI faces, most preferred first.
constexpr const wchar_t* kFontFaces[] = {L"MS UI Gothic", L"Yu Gothic UI", L"Meiryo UI", L"IPAGothic",
                                         L"Noto Sans CJK JP"};

int Scale(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

std::wstring WindowTextOf(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
  return text;
}

// The first face of kFontFaces that is installed with the Shift-JIS character set.
const wchar_t* ChooseFontFace() {
  HDC dc = GetDC(nullptr);
  const wchar_t* chosen = nullptr;
  for (const wchar_t* face : kFontFaces) {
    LOGFONTW wanted{};
    wanted.lfCharSet = SHIFTJIS_CHARSET;
    lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExW(
        dc, &wanted, [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found_flag) -> int {
          *reinterpret_cast<bool*>(found_flag) = true;
          return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    if (found) {
      chosen = face;
      break;
    }
  }
  ReleaseDC(nullptr, dc);
  return chosen ? chosen : L"MS UI Gothic";
}

const wchar_t* ClassFor(ControlKind kind) {
  switch (kind) {
    case ControlKind::kPictureBox: return kPicture1Class;
    case ControlKind::kFrame:
    case ControlKind::kButton: return L"BUTTON";
    case ControlKind::kFolderList:
    case ControlKind::kFileList: return L"LISTBOX";
    case ControlKind::kDriveList: return L"COMBOBOX";
    case ControlKind::kTextBox: return L"EDIT";
    case ControlKind::kLabel: return L"STATIC";
  }
  return L"STATIC";
}

DWORD StyleFor(ControlKind kind) {
  const DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  switch (kind) {
    case ControlKind::kPictureBox: return child;  // paints under the frames, which are transparent
    case ControlKind::kFrame: return child | BS_GROUPBOX;
    case ControlKind::kButton: return child | BS_PUSHBUTTON;
    case ControlKind::kFolderList:
      return child | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT |
             LBS_WANTKEYBOARDINPUT;
    case ControlKind::kFileList: return child | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
    case ControlKind::kDriveList: return child | WS_VSCROLL | CBS_DROPDOWNLIST;
    case ControlKind::kTextBox: return child | WS_BORDER | ES_AUTOHSCROLL;
    case ControlKind::kLabel: return child | SS_LEFT | SS_NOPREFIX;
  }
  return child;
}

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

Form1* FromWindow(HWND window) { return reinterpret_cast<Form1*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

}  // namespace

Form1::Form1(FormPorts ports, ProgramState& state) : ports_(ports), state_(state) {}

Form1::~Form1() {
  if (form_ && IsWindow(form_)) DestroyWindow(form_);
  if (font_) DeleteObject(font_);
  if (grey_brush_) DeleteObject(grey_brush_);
}

HWND Form1::control(ControlId id) const { return controls_[static_cast<std::size_t>(id - kPicture1)]; }

bool Form1::Create(HINSTANCE instance) {
  grey_brush_ = CreateSolidBrush(kLightGrey);
  WNDCLASSEXW form_class{};
  form_class.cbSize = sizeof form_class;
  form_class.lpfnWndProc = &Form1::FormProc;
  form_class.hInstance = instance;
  form_class.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  form_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  form_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  form_class.lpszClassName = kForm1Class;
  WNDCLASSEXW picture_class{};
  picture_class.cbSize = sizeof picture_class;
  picture_class.lpfnWndProc = &Form1::PictureProc;
  picture_class.hInstance = instance;
  picture_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  // No class brush: the class outlives this window, its brush does not. WM_ERASEBKGND paints.
  picture_class.hbrBackground = nullptr;
  picture_class.lpszClassName = kPicture1Class;
  // A second window in the same process (the tests) finds the classes registered.
  if (!RegisterClassExW(&form_class) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  if (!RegisterClassExW(&picture_class) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  form_ = CreateWindowExW(0, kForm1Class, texts::kForm1Caption, style, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, nullptr,
                          nullptr, instance, this);
  if (!form_) return false;
  CreateControls();
  ApplyDpi(GetDpiForWindow(form_));

  // Both folder lists, and the file list, start on the process's current folder.
  const std::wstring current = ports_.drives.CurrentFolder();
  const std::vector<std::pair<wchar_t, std::wstring>> drives = DriveEntries();
  for (Side side : {Side::kDestination, Side::kSource}) {
    FillDriveList(side, drives);
    FillFolderList(side, current, false);
  }
  FillFileList();
  return true;
}

void Form1::CreateControls() {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(form_, GWLP_HINSTANCE));
  for (const auto& c : kLayout) {
    HWND parent = c.id == kPicture1 ? form_ : picture_;
    HWND window = CreateWindowExW(0, ClassFor(c.kind), c.caption, StyleFor(c.kind), 0, 0, 10, 10, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, this);
    controls_[static_cast<std::size_t>(c.id - kPicture1)] = window;
    if (c.id == kPicture1) picture_ = window;
    if (TakesFocus(c.kind)) tab_order_.push_back(window);
  }
  // Frames lie behind the controls they hold.
  for (ControlId frame : {kFrame1, kFrame2, kFrame3}) {
    SetWindowPos(control(frame), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void Form1::ApplyDpi(UINT dpi) {
  dpi_ = dpi ? dpi : 96;
  LOGFONTW font{};
  font.lfHeight = -MulDiv(kFontTenthsOfPoint, static_cast<int>(dpi_), 720);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = SHIFTJIS_CHARSET;
  font.lfQuality = CLEARTYPE_QUALITY;
  lstrcpynW(font.lfFaceName, ChooseFontFace(), LF_FACESIZE);
  HFONT old = font_;
  font_ = CreateFontIndirectW(&font);

  for (const auto& c : kLayout) {
    HWND window = control(c.id);
    const RECT r = DesignRect(c);
    int height = Scale(r.bottom - r.top, dpi_);
    // A drop-down list's height includes its open list.
    if (c.kind == ControlKind::kDriveList) height = Scale(2400, dpi_);
    MoveWindow(window, Scale(r.left, dpi_), Scale(r.top, dpi_), Scale(r.right - r.left, dpi_), height, FALSE);
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  // Folder list rows: the font's height and a little air.
  const int row = MulDiv(-font.lfHeight, 5, 4) + 2;
  SendMessageW(control(kDir1), LB_SETITEMHEIGHT, 0, row);
  SendMessageW(control(kDir2), LB_SETITEMHEIGHT, 0, row);

  // The client area is the design size at this DPI. The frame is measured after the
  // first sizing too, since a system may draw its frame at another DPI than it reports.
  const int client_width = Scale(kClientWidth, dpi_);
  const int client_height = Scale(kClientHeight, dpi_);
  RECT frame{0, 0, client_width, client_height};
  AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(form_, GWL_STYLE)), FALSE, 0, dpi_);
  int width = frame.right - frame.left, height = frame.bottom - frame.top;
  for (int attempt = 0; attempt < 2; ++attempt) {
    SetWindowPos(form_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    GetClientRect(form_, &client);
    if (client.right == client_width && client.bottom == client_height) break;
    width += client_width - client.right;
    height += client_height - client.bottom;
  }
  InvalidateRect(form_, nullptr, TRUE);
  if (old) DeleteObject(old);
}

bool Form1::Form_Load() {
  RECT window;
  GetWindowRect(form_, &window);
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  SetWindowPos(form_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

  qpro::Library library(ports_.fs, ports_.drives);
  state_.patdat_path = FindPatdatFolder(library, ports_.process);
  if (state_.patdat_path.empty()) {
    ports_.boxes.Show(texts::kNoPatdat, texts::kApplicationTitle, MessageButtons::kOk, MessageIcon::kNone);
    return false;
  }
  FindHelpFile(ports_.fs, ports_.process, state_.help_file_path);
  state_.clear_status_pending = 0;
  SetWindowTextW(control(kText1), DirPath(Side::kDestination).c_str());
  SetWindowTextW(control(kText2), DirPath(Side::kSource).c_str());
  return true;
}

// --- Folder lists and drive lists ---------------------------------------------------

bool Form1::FillFolderList(Side side, const std::wstring& path, bool report) {
  auto items = FolderListItems(ports_.fs, path);
  if (!items) {
    if (report) ReportFolderError(path, items.error());
    return false;
  }
  HWND list = control(side == Side::kDestination ? kDir1 : kDir2);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  int current = 0;
  for (std::size_t i = 0; i < items->size(); ++i) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>((*items)[i].label.c_str()));
    if ((*items)[i].open) current = static_cast<int>(i);
  }
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(current), 0);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  dir_items_[Index(side)] = std::move(*items);
  dir_path_[Index(side)] = path;
  return true;
}

bool Form1::SetDirPath(Side side, const std::wstring& path) {
  const bool same = CompareStringOrdinal(path.c_str(), -1, DirPath(side).c_str(), -1, TRUE) == CSTR_EQUAL;
  if (!FillFolderList(side, path, false)) return false;
  if (same) return true;  // the path did not change: no change event
  if (side == Side::kDestination) {
    Dir1_Change();
  } else {
    Dir2_Change();
  }
  return true;
}

void Form1::OpenFolderItem(Side side, int index) {
  const auto& items = dir_items_[Index(side)];
  if (index < 0 || static_cast<std::size_t>(index) >= items.size()) return;
  const std::wstring path = items[static_cast<std::size_t>(index)].path;
  if (path == DirPath(side)) return;
  if (!FillFolderList(side, path, true)) {
    // Back to the last good folder, listed anew where it still can be.
    FillFolderList(side, DirPath(side), false);
    return;
  }
  if (side == Side::kDestination) {
    Dir1_Change();
  } else {
    Dir2_Change();
  }
}

void Form1::ReportFolderError(const std::wstring& path, const FsError& error) {
  ports_.boxes.Show(texts::FillText(texts::kCannotOpenFolder, {path, error.reason}), texts::kApplicationTitle,
                    MessageButtons::kOk,
                    MessageIcon::kExclamation);
}

std::vector<std::pair<wchar_t, std::wstring>> Form1::DriveEntries() const {
  std::vector<std::pair<wchar_t, std::wstring>> entries;
  for (wchar_t letter : ports_.drives.DriveLetters()) {
    std::wstring text{static_cast<wchar_t>(letter - L'A' + L'a'), L':'};
    const std::wstring label = ports_.drives.VolumeLabel(letter);
    if (!label.empty()) text += L" [" + label + L"]";
    entries.emplace_back(letter, std::move(text));
  }
  return entries;
}

void Form1::FillDriveList(Side side, const std::vector<std::pair<wchar_t, std::wstring>>& drives) {
  HWND list = control(side == Side::kDestination ? kDrive1 : kDrive2);
  SendMessageW(list, CB_RESETCONTENT, 0, 0);
  const std::wstring current = ports_.drives.CurrentFolder();
  int selected = 0;
  for (const auto& [letter, text] : drives) {
    const auto index = SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(list, CB_SETITEMDATA, static_cast<WPARAM>(index), letter);
    if (!current.empty() && (current[0] == letter || current[0] == letter - L'A' + L'a')) selected = static_cast<int>(index);
  }
  SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

int Form1::DriveListIndex(Side side) const {
  return static_cast<int>(SendMessageW(control(side == Side::kDestination ? kDrive1 : kDrive2), CB_GETCURSEL, 0, 0));
}

void Form1::SetDriveListIndex(Side side, int index) {
  if (index == DriveListIndex(side)) return;
  SendMessageW(control(side == Side::kDestination ? kDrive1 : kDrive2), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  DriveChange(side);
}

wchar_t Form1::SelectedDrive(Side side) const {
  HWND list = control(side == Side::kDestination ? kDrive1 : kDrive2);
  const auto index = SendMessageW(list, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return L'\0';
  return static_cast<wchar_t>(SendMessageW(list, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

// A drive that cannot be read puts the list back on the index saved in step 2, or on
// its first entry, and the handler goes on with its next step. Moving the selection
// runs this handler again, nested, for that entry.
void Form1::DriveChange(Side side) {
  std::optional<int> saved;
  auto recover = [&] { SetDriveListIndex(side, saved.value_or(0)); };
  const wchar_t letter = SelectedDrive(side);
  const std::wstring root{letter, L':', L'\\'};
  if (!SetDirPath(side, ports_.drives.CurrentFolderOf(letter)) && !SetDirPath(side, root)) recover();
  saved = DriveListIndex(side);
  if (!ports_.drives.MakeDriveCurrent(SelectedDrive(side))) recover();
}

// File1 lists the files of Dir1's folder.
void Form1::FillFileList() {
  HWND files = control(kFile1);
  SendMessageW(files, WM_SETREDRAW, FALSE, 0);
  SendMessageW(files, LB_RESETCONTENT, 0, 0);
  if (auto names = FileListItems(ports_.fs, DirPath(Side::kDestination))) {
    for (const auto& name : *names) SendMessageW(files, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  SendMessageW(files, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(files, nullptr, TRUE);
}

void Form1::Dir1_Change() {
  FillFileList();
  SetWindowTextW(control(kText1), DirPath(Side::kDestination).c_str());
  ports_.drives.MakeFolderCurrent(DirPath(Side::kDestination));
}

void Form1::Dir2_Change() {
  SetWindowTextW(control(kText2), DirPath(Side::kSource).c_str());
  ports_.drives.MakeFolderCurrent(DirPath(Side::kSource));
}

// --- Buttons, status and help -----------------------------------------------------

void Form1::Command1_Click() {
  RunPorts ports{*this, ports_.boxes, ports_.fs, ports_.drives, ports_.codec};
  RunConversion(ports, state_.clear_status_pending);
}

void Form1::Command2_Click() { DestroyWindow(form_); }

void Form1::Picture1_MouseMove() {
  if (state_.clear_status_pending != 1) return;
  SetStatus(L"");
  state_.clear_status_pending = 0;
}

void Form1::HelpProcedure(std::int16_t topic) { ShowHelp(ports_.help, state_.help_file_path, topic); }

std::wstring Form1::Text(PathBox box) const {
  return WindowTextOf(control(box == PathBox::kText1 ? kText1 : kText2));
}

void Form1::FocusAndSelectAll(PathBox box) {
  HWND edit = control(box == PathBox::kText1 ? kText1 : kText2);
  SetFocus(edit);
  SendMessageW(edit, EM_SETSEL, 0, GetWindowTextLengthW(edit));
}

void Form1::SetStatus(const std::wstring& text) {
  SetWindowTextW(control(kLabel3), text.c_str());
  UpdateWindow(control(kLabel3));
}

void Form1::SetBusyPointer(bool busy) {
  busy_ = busy;
  SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void Form1::RefreshFileList() { FillFileList(); }

// --- Messages ---------------------------------------------------------------------

bool Form1::PreTranslate(const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  if (message.wParam == VK_TAB) {
    if (SendMessageW(GetFocus(), CB_GETDROPPEDSTATE, 0, 0)) return false;
    const bool back = GetKeyState(VK_SHIFT) < 0;
    HWND focus = GetFocus();
    auto it = std::find(tab_order_.begin(), tab_order_.end(), focus);
    if (it == tab_order_.end()) {  // inside a control, such as a drop-down list's edit part
      it = std::find_if(tab_order_.begin() + 1, tab_order_.end(), [&](HWND w) { return IsChild(w, focus); });
    }
    std::size_t index = it == tab_order_.end() ? 0 : static_cast<std::size_t>(it - tab_order_.begin());
    index = back ? (index + tab_order_.size() - 1) % tab_order_.size()
                 : (it == tab_order_.end() ? 0 : (index + 1) % tab_order_.size());
    SetFocus(tab_order_[index]);
    if (GetClassLongPtrW(tab_order_[index], GCW_ATOM) == GetClassLongPtrW(control(kText1), GCW_ATOM)) {
      SendMessageW(tab_order_[index], EM_SETSEL, 0, -1);
    }
    return true;
  }
  if (message.wParam == VK_RETURN) {
    for (ControlId id : {kCommand1, kCommand2}) {
      if (message.hwnd == control(id)) {
        SendMessageW(control(id), BM_CLICK, 0, 0);
        return true;
      }
    }
  }
  return false;
}

LRESULT CALLBACK Form1::FormProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* form = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    form->form_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  Form1* form = FromWindow(window);
  return form ? form->OnFormMessage(message, wparam, lparam) : DefWindowProcW(window, message, wparam, lparam);
}

LRESULT CALLBACK Form1::PictureProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* form = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  Form1* form = FromWindow(window);
  return form ? form->OnPictureMessage(window, message, wparam, lparam)
              : DefWindowProcW(window, message, wparam, lparam);
}

LRESULT Form1::OnFormMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SETCURSOR:
      if (busy_) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_DPICHANGED: {
      // The size comes from the layout at the new DPI; the place from the system.
      ApplyDpi(HIWORD(wparam));
      const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
      SetWindowPos(form_, nullptr, suggested->left, suggested->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE && picture_ && !IsChild(form_, GetFocus())) SetFocus(tab_order_.front());
      return 0;
    case WM_CLOSE:
      DestroyWindow(form_);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(form_, GWLP_USERDATA, 0);
      form_ = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcW(form_, message, wparam, lparam);
}

LRESULT Form1::OnPictureMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  LRESULT result = 0;
  if (OnChildMessage(message, wparam, lparam, result)) return result;
  switch (message) {
    case WM_MOUSEMOVE:
      Picture1_MouseMove();
      return 0;
    case WM_LBUTTONDOWN:
      SetFocus(window);
      return 0;
    case WM_ERASEBKGND: {
      RECT area;
      GetClientRect(window, &area);
      FillRect(reinterpret_cast<HDC>(wparam), &area, grey_brush_);
      return TRUE;
    }
    case WM_SETCURSOR:
      if (busy_) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

bool Form1::OnChildMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      const int code = HIWORD(wparam);
      if (id == kCommand1 && code == BN_CLICKED) Command1_Click();
      else if (id == kCommand2 && code == BN_CLICKED) Command2_Click();
      else if (id == kDrive1 && code == CBN_SELCHANGE) Drive1_Change();
      else if (id == kDrive2 && code == CBN_SELCHANGE) Drive2_Change();
      else if (id == kFile1 && code == LBN_SELCHANGE) File1_Click();
      else if ((id == kDir1 || id == kDir2) && code == LBN_DBLCLK) {
        OpenFolderItem(id == kDir1 ? Side::kDestination : Side::kSource,
                       static_cast<int>(SendMessageW(reinterpret_cast<HWND>(lparam), LB_GETCURSEL, 0, 0)));
      } else {
        return false;
      }
      result = 0;
      return true;
    }
    case WM_VKEYTOITEM: {
      HWND list = reinterpret_cast<HWND>(lparam);
      if (LOWORD(wparam) == VK_RETURN && (list == control(kDir1) || list == control(kDir2))) {
        OpenFolderItem(list == control(kDir1) ? Side::kDestination : Side::kSource, HIWORD(wparam));
        result = -2;
        return true;
      }
      result = -1;
      return true;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      HWND child = reinterpret_cast<HWND>(lparam);
      const auto id = static_cast<ControlId>(GetDlgCtrlID(child));
      const ControlLayout* layout = FindLayout(id);
      if (!layout || !layout->grey) return false;
      HDC dc = reinterpret_cast<HDC>(wparam);
      SetBkColor(dc, kLightGrey);
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      result = reinterpret_cast<LRESULT>(grey_brush_);
      return true;
    }
    case WM_MEASUREITEM: {
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
      measure->itemHeight = static_cast<UINT>(MulDiv(18, static_cast<int>(dpi_), 96));
      result = TRUE;
      return true;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (item->CtlID != static_cast<UINT>(kDir1) && item->CtlID != static_cast<UINT>(kDir2)) return false;
      DrawFolderItem(*item);
      result = TRUE;
      return true;
    }
    default:
      return false;
  }
}

// One folder list row: indentation by level, a folder glyph (open for the levels of
// the path), the name; the current folder highlighted.
void Form1::DrawFolderItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (item.itemID == static_cast<UINT>(-1)) return;
  const auto& items = dir_items_[Index(item.CtlID == static_cast<UINT>(kDir1) ? Side::kDestination : Side::kSource)];
  if (item.itemID >= items.size()) return;
  const FolderItem& folder = items[item.itemID];

  const int unit = MulDiv(1, static_cast<int>(dpi_), 96) > 0 ? MulDiv(1, static_cast<int>(dpi_), 96) : 1;
  const int height = item.rcItem.bottom - item.rcItem.top;
  const int glyph = height - 6 * unit;
  int x = item.rcItem.left + 2 * unit + folder.indent * MulDiv(10, static_cast<int>(dpi_), 96);
  const int y = item.rcItem.top + (height - glyph) / 2;

  // The folder glyph: a tab and a body, drawn in the window's scale.
  HBRUSH body = CreateSolidBrush(folder.open ? RGB(255, 214, 102) : RGB(232, 176, 48));
  HPEN outline = CreatePen(PS_SOLID, unit, RGB(140, 100, 20));
  HGDIOBJ old_brush = SelectObject(dc, body);
  HGDIOBJ old_pen = SelectObject(dc, outline);
  Rectangle(dc, x, y, x + glyph / 2, y + glyph / 4 + unit);
  Rectangle(dc, x, y + glyph / 5, x + glyph + glyph / 4, y + glyph);
  SelectObject(dc, old_pen);
  SelectObject(dc, old_brush);
  DeleteObject(outline);
  DeleteObject(body);

  x += glyph + glyph / 4 + 4 * unit;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  HGDIOBJ old_font = SelectObject(dc, font_);
  RECT text = item.rcItem;
  text.left = x;
  DrawTextW(dc, folder.label.c_str(), static_cast<int>(folder.label.size()), &text,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  SelectObject(dc, old_font);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &item.rcItem);
}

}  // namespace pel::ui
