// Form1: the converter's only window. Its window procedure cracks messages and hands
// them to handlers named after their control and event; the handlers gather control
// texts, call the portable code and show the outcome.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "discovery/help.h"
#include "platform/drives.h"
#include "platform/file_system.h"
#include "platform/message_boxes.h"
#include "platform/process.h"
#include "platform/text_codec.h"
#include "platform/win32/win32_handles.h"
#include "run/conversion_run.h"
#include "ui/batch_window.h"
#include "ui/control_ids.h"
#include "ui/folder_pane.h"
#include "ui/report_window.h"
#include "ui/window_util.h"
#include "util/expected.h"

namespace pel::ui {

// The program-wide values.
struct ProgramState {
  std::wstring patdat_path;
  std::wstring help_file_path;
  std::int16_t clear_status_pending = 0;
};

struct FormPorts {
  FileSystem& fs;
  Drives& drives;
  const TextCodec& codec;
  ProcessEnvironment& process;
  MessageBoxes& boxes;
  HelpViewer& help;
};

enum class Side { kDestination, kSource };  // Drive1/Dir1/File1/Text1, Drive2/Dir2/Text2

// The system menu's command that opens the report of the last written file.
inline constexpr UINT kReportCommand = 0x0010;
// texts::kManualMenu (the guide beside the program) and texts::kAboutMenu.
inline constexpr UINT kManualCommand = 0x0020;
inline constexpr UINT kAboutCommand = 0x0030;
// texts::kBatchMenu: the batch window.
inline constexpr UINT kBatchCommand = 0x0040;

class Form1 : public RunWindow {
 public:
  Form1(FormPorts ports, ProgramState& state)
      : ports_(ports),
        state_(state),
        panes_{FolderPane(ports.fs, ports.drives, ports.boxes, [this] { Dir1_Change(); }),
               FolderPane(ports.fs, ports.drives, ports.boxes, [this] { Dir2_Change(); })} {}
  ~Form1() override {
    batch_.reset();  // a running batch ends after its current folder
    if (form_ && IsWindow(form_)) DestroyWindow(form_);
  }
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Creates the window and its controls, hidden. The folder lists and the file list
  // show the process's current folder, the drive lists its drive. On failure, the
  // system's reason; what was made is taken down again.
  Expected<void, std::wstring> Create(HINSTANCE instance);
  // The start-up sequence. False when the program must end (no PATDAT folder); the
  // window has then never been shown.
  bool Form_Load();
  // Keyboard handling before dispatch: Tab order, Enter on buttons and folder lists.
  bool PreTranslate(MSG& message);

  HWND hwnd() const { return form_; }
  // Picture1 is the form's child kPicture1; the other controls are Picture1's children.
  HWND control(ControlId id) const {
    HWND picture = GetDlgItem(form_, kPicture1);
    return id == kPicture1 ? picture : GetDlgItem(picture, id);
  }
  FolderPane& pane(Side side) { return panes_[side == Side::kDestination ? 0 : 1]; }
  // The batch window; null until the system menu has opened it.
  BatchWindow* batch() const { return batch_.get(); }
  // The system menu's texts::kBatchMenu: the batch window, made the first time.
  void OpenBatch() {
    if (!batch_) batch_ = std::make_unique<BatchWindow>(form_, BatchPorts{ports_.fs, ports_.codec, ports_.boxes});
    batch_->Open();
  }
  // The report of the conversion check; null until a run has shown one.
  ReportWindow* report() const { return report_.get(); }
  // The system menu's texts::kReportMenu: the report of the last written file.
  void OpenReport() {
    if (last_run_) ShowReport(true);
  }
  // Makes `path` (a folder, or a file standing for its folder) the folder of `side`
  // as if it were chosen in the side's drive list and then its folder list; on the
  // destination side the keyboard then goes to Text1, the caret at its end. A path that
  // names nothing, or a network path without a drive letter, gets a message.
  void ChooseFolder(Side side, const std::wstring& path);
  // The window's help procedure: shows a topic of the help file.
  void HelpProcedure(std::int16_t topic) { ShowHelp(ports_.help, state_.help_file_path, topic); }

 private:
  // Event handlers.
  void Command1_Click();
  // During a batch the window goes once the batch has stopped after its current folder.
  void Command2_Click() {
    if (batch_ && batch_->Running()) return batch_->Close([this] { DestroyWindow(form_); });
    DestroyWindow(form_);
  }
  void Drive1_Change() { pane(Side::kDestination).DriveChange(); }
  void Drive2_Change() { pane(Side::kSource).DriveChange(); }
  void Dir1_Change();
  void Dir2_Change() {
    SetWindowTextW(control(kText2), pane(Side::kSource).DirPath().c_str());
    ports_.drives.MakeFolderCurrent(pane(Side::kSource).DirPath());
  }
  void File1_Click() {}

  // Messages, cracked.
  LRESULT OnFormMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnPictureMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // The hourglass over the window and every control in it while a run lasts: a child's
  // default handling asks its parent first.
  BOOL Form_SetCursor(HWND window, HWND under, UINT hit, UINT mouse_message) {
    if (!busy_) return FORWARD_WM_SETCURSOR(window, under, hit, mouse_message, DefWindowProcW);
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    return TRUE;
  }
  // The size comes from the layout at the new DPI; the place from the system. A font
  // that cannot be made at the new DPI leaves the old one in place.
  void Form_DpiChanged(HWND window, UINT dpi, const RECT* suggested) {
    ApplyDpi(dpi);
    SetWindowPos(window, nullptr, suggested->left, suggested->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  void Form_DropFiles(HWND window, HDROP drop);
  void Form_SysCommand(HWND window, UINT command, int x, int y);
  void Form_Activate(HWND window, UINT state, HWND, BOOL) {
    if (state != WA_INACTIVE && control(kPicture1) && !IsChild(window, GetFocus())) SetFocus(tab_order_.front());
  }
  void Form_Close(HWND) { Command2_Click(); }
  void Form_Unload(HWND) { PostQuitMessage(0); }
  void Picture1_Command(HWND picture, int id, HWND control_window, UINT code);
  // Enter on a folder list opens the item under its caret; other keys get the default.
  int Picture1_VKeyToItem(HWND, UINT key, HWND list, int caret) {
    FolderPane* folders = PaneOf(GetDlgCtrlID(list));
    if (key != VK_RETURN || !folders) return -1;
    folders->OpenFolderItem(caret);
    return -2;
  }
  HBRUSH Picture1_CtlColor(HWND picture, HDC dc, HWND child, int type);
  void Picture1_DrawItem(HWND, const DRAWITEMSTRUCT* item) {
    if (FolderPane* folders = PaneOf(static_cast<int>(item->CtlID))) folders->DrawFolderItem(*item);
  }
  void Picture1_MouseMove(HWND picture, int x, int y, UINT keys);
  void Picture1_MouseDown(HWND picture, BOOL, int, int, UINT) { SetFocus(picture); }
  BOOL Picture1_EraseBackground(HWND picture, HDC dc) {
    const RECT area = ClientRect(picture);
    FillRect(dc, &area, grey_brush_.get());
    return TRUE;
  }

  // RunWindow
  std::wstring Text(PathBox box) const override {
    return WindowText(control(box == PathBox::kText1 ? kText1 : kText2));
  }
  void FocusAndSelectAll(PathBox box) override {
    HWND edit = control(box == PathBox::kText1 ? kText1 : kText2);
    SetFocus(edit);
    Edit_SetSel(edit, 0, -1);
  }
  void SetStatus(const std::wstring& text) override {
    SetWindowTextW(control(kLabel3), text.c_str());
    UpdateWindow(control(kLabel3));
  }
  void SetBusyPointer(bool busy) override {
    busy_ = busy;
    SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
  }
  void RefreshFileList() override { pane(Side::kDestination).FillFileList(); }

  Expected<void, std::wstring> CreateControls(HINSTANCE instance);
  // The font, the control positions and the client size at a DPI, in that order.
  Expected<void, std::wstring> ApplyDpi(UINT dpi);
  Expected<void, std::wstring> ApplyFont();
  void ApplyLayout();
  void ApplyClientSize();
  // The pane of the folder list `id`; none for any other control.
  FolderPane* PaneOf(int id) { return id == kDir1 ? &panes_[0] : id == kDir2 ? &panes_[1] : nullptr; }
  // The side whose row (label and text box) or frame holds the client point; none else.
  std::optional<Side> SideAt(POINT client) const;
  // texts::kManualMenu: manual.html beside the program, in the default browser.
  void OpenManual();
  // texts::kAboutMenu: the version, the copyright and the license in one box.
  void ShowAbout();
  void ShowReport(bool activate);
  void CloseReport();

  FormPorts ports_;
  ProgramState& state_;
  HWND form_ = nullptr;
  std::array<FolderPane, 2> panes_;  // the destination side, the source side
  std::vector<HWND> tab_order_;
  UINT dpi_ = 96;
  win32::UniqueFont font_;         // every control's font
  win32::UniqueBrush grey_brush_;  // Picture1, the frames and the labels
  bool busy_ = false;
  std::optional<WrittenRun> last_run_;
  std::unique_ptr<ReportWindow> report_;
  std::unique_ptr<BatchWindow> batch_;
  // Where the pointer was when the report appeared or went: the mouse-move that the
  // system sends then is no movement, and must not empty Label3.
  std::optional<POINT> pointer_at_report_change_;
};

}  // namespace pel::ui
