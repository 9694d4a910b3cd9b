#include "ui/report_window.h"

#include <commctrl.h>
#include <commdlg.h>
#include <windowsx.h>

#include <algorithm>
#include <numeric>

#include "report/report_table.h"
#include "util/folder_paths.h"
#include "ui/window_util.h"
#include "util/user_texts.h"

namespace pel::ui {
namespace {

// The window's design sizes, in twips.
constexpr int kMarginTwips = 120;
constexpr int kButtonWidthTwips = 1500;
constexpr int kButtonHeightTwips = 450;
constexpr int kMessageColumnTwips = 6000;

}  // namespace

bool ReportWindow::Create() {
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const WNDPROC procedure = &WindowThunk<ReportWindow, &ReportWindow::OnMessage, &ReportWindow::window_>;
  if (!RegisterWindowClass(instance, kReportClass, procedure, true, SystemColourBrush(COLOR_BTNFACE)) ||
      !ProfileView::Register(instance)) {
    return false;
  }

  // Owned by Form1: above it, minimised with it. Made where it stays, so that it takes
  // the DPI of Form1's monitor from the start.
  const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  const ScreenRect placed = Placement();
  if (!CreateWindowExW(0, kReportClass, L"", style, placed.left, placed.top, placed.width(), placed.height(), owner_,
                       nullptr, instance, this)) {
    return false;
  }
  // Created in tab order: the list, the details (no tab stop), the profile, the buttons.
  const DWORD child = WS_CHILD | WS_VISIBLE;
  CreateWindowExW(0, L"STATIC", L"", child | SS_LEFT | SS_NOPREFIX, 0, 0, 10, 10, window_,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kReportSummary)), instance, nullptr);
  HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                              child | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0, 10, 10, window_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kReportList)), instance, nullptr);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  for (std::size_t c = 0; c < kReportColumns; ++c) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(texts::kReportColumnTitles[c]);
    column.iSubItem = static_cast<int>(c);
    column.cx = 50;
    ListView_InsertColumn(list, static_cast<int>(c), &column);
  }
  // Read-only and no tab stop: Esc and Enter keep closing the window.
  CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", texts::kReportDetailsHint,
                  child | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0, 0, 10, 10, window_,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kReportDetails)), instance, nullptr);
  profile_.Create(window_, kReportProfile);
  CreateWindowExW(0, L"BUTTON", texts::kReportSave, child | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 10, 10, window_,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kReportSave)), instance, nullptr);
  CreateWindowExW(0, L"BUTTON", texts::kReportClose, child | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 10, 10, window_,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kReportClose)), instance, nullptr);
  ApplyDpi(GetDpiForWindow(window_));
  return true;
}

// Beside Form1, in the work area of its monitor, at Form1's DPI. Only the first showing
// places the window: later runs leave it where the user put it.
ScreenRect ReportWindow::Placement() const {
  RECT form;
  GetWindowRect(owner_, &form);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(owner_, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& work = monitor.rcWork;
  const UINT dpi = GetDpiForWindow(owner_);
  return PlaceBeside({work.left, work.top, work.right, work.bottom}, {form.left, form.top, form.right, form.bottom},
                     DpiScale(kReportWidthTwips, dpi), DpiScale(kReportHeightTwips, dpi),
                     DpiScale(kReportMinWidthTwips, dpi));
}

void ReportWindow::ApplyDpi(UINT dpi) {
  dpi_ = dpi ? dpi : 96;
  if (!SetChildrenUiFont(window_, dpi_, font_)) return;  // the old font stays
  profile_.SetFont(font_.get(), dpi_);
  ListView_SetColumnWidth(control(kReportList), static_cast<int>(kReportColumns) - 1,
                         DpiScale(kMessageColumnTwips, dpi_));
  FitColumns();
  Layout();
}

// The summary across the top, the profile on the left third, the list on the right with
// the details under it, the buttons at the bottom.
void ReportWindow::Layout() {
  const RECT client = ClientRect(window_);
  const int margin = DpiScale(kMarginTwips, dpi_);
  const int line = MulDiv(UiFontHeight(dpi_), 3, 2);
  const int button_w = DpiScale(kButtonWidthTwips, dpi_), button_h = DpiScale(kButtonHeightTwips, dpi_);
  const int top = margin + 2 * line + margin / 2;
  const int bottom = client.bottom - margin - button_h - margin;
  const int profile_w = (client.right - 3 * margin) / 3;
  MoveWindow(control(kReportSummary), margin, margin, static_cast<int>(client.right) - 2 * margin, 2 * line, TRUE);
  MoveWindow(profile_.hwnd(), margin, top, profile_w, std::max(bottom - top, 1), TRUE);
  const int list_x = 2 * margin + profile_w;
  const int list_w = std::max<int>(client.right - margin - list_x, 1);
  // The message, a blank line, where the line is and the line itself.
  const int details_h = std::min(4 * line + margin, (bottom - top) / 2);
  const int details_y = bottom - details_h;
  MoveWindow(control(kReportList), list_x, top, list_w, std::max(details_y - margin / 2 - top, 1), TRUE);
  MoveWindow(control(kReportDetails), list_x, details_y, list_w, std::max(details_h, 1), TRUE);
  const int button_y = client.bottom - margin - button_h;
  MoveWindow(control(kReportClose), client.right - margin - button_w, button_y, button_w, button_h, TRUE);
  MoveWindow(control(kReportSave), client.right - 2 * (margin + button_w) + margin, button_y, button_w, button_h, TRUE);
}

bool ReportWindow::Show(const WrittenRun& run, bool activate) {
  if (busy_) return false;  // its save dialog is open: nothing replaces what it shows
  if (!window_ && !Create()) return false;
  run_ = run;
  Fill();
  if (activate) {
    ShowWindow(window_, IsIconic(window_) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(window_);
    return true;
  }
  // Restoring a minimised window may activate it on some systems: the keyboard goes back.
  HWND active = GetForegroundWindow();
  ShowWindow(window_, SW_SHOWNOACTIVATE);
  if (active && active != window_ && GetForegroundWindow() == window_) SetForegroundWindow(active);
  return true;
}

std::wstring ReportWindow::Summary() const {
  const ConversionReport& r = run_.report;
  const ConversionCounts& n = r.counts;
  std::wstring counts = texts::FillText(
      texts::kReportCounts, {std::to_wstring(n.layers_written), std::to_wstring(n.layers),
                             std::to_wstring(n.points_written), std::to_wstring(n.points),
                             std::to_wstring(r.warnings()), std::to_wstring(r.infos())});
  if (r.warnings() == 0) counts += std::wstring(texts::kReportSummaryGap) + texts::kReportNoWarnings;
  return run_.destination_file + L"\n" + counts;
}

void ReportWindow::Fill() {
  const std::wstring name = run_.destination_file.substr(PathParent(run_.destination_file).size());
  SetWindowTextW(window_, (std::wstring(texts::kReportCaption) + name).c_str());
  SetWindowTextW(control(kReportSummary), Summary().c_str());
  // The list keeps the user's sorting across runs; until then, file order.
  order_.resize(run_.report.findings.size());
  std::iota(order_.begin(), order_.end(), std::size_t{0});
  if (sorted_) order_ = SortedRows(run_.report.findings, sort_column_, descending_);
  profile_.Show(ProfilePointsOf(run_.report.points, run_.report.findings));
  FillList();
  SelectionChanged();
}

void ReportWindow::FillList() {
  HWND list = control(kReportList);
  filling_ = true;
  SetWindowRedraw(list, FALSE);
  ListView_DeleteAllItems(list);
  for (std::size_t i = 0; i < order_.size(); ++i) {
    const auto cells = FindingCells(run_.report.findings[order_[i]]);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = static_cast<int>(i);
    item.pszText = const_cast<wchar_t*>(cells[0].c_str());
    item.lParam = static_cast<LPARAM>(order_[i]);
    ListView_InsertItem(list, &item);
    for (std::size_t c = 1; c < cells.size(); ++c) {
      ListView_SetItemText(list, static_cast<int>(i), static_cast<int>(c), const_cast<wchar_t*>(cells[c].c_str()));
    }
  }
  FitColumns();
  SetWindowRedraw(list, TRUE);
  InvalidateRect(list, nullptr, TRUE);
  ShowColumnTitles(list, texts::kReportColumnTitles, kReportColumns, sorted_ ? static_cast<int>(sort_column_) : -1,
                   descending_);
  filling_ = false;
}

// Every column as wide as its title (with room for the sort mark) and its widest cell,
// measured in the window's own font; 内容 keeps its own width.
void ReportWindow::FitColumns() {
  HWND list = control(kReportList);
  const win32::ScopedGetDC screen(list);
  const win32::ScopedSelectObject use_font(screen.get(), font_.get());
  auto width_of = [&](const std::wstring& text) {
    SIZE size{};
    GetTextExtentPoint32W(screen.get(), text.c_str(), static_cast<int>(text.size()), &size);
    return static_cast<int>(size.cx);
  };
  const int padding = DpiScale(kMarginTwips, dpi_);
  for (std::size_t c = 0; c + 1 < kReportColumns; ++c) {
    int widest = width_of(std::wstring(texts::kReportColumnTitles[c]) + texts::kReportSortedDescending);
    for (std::size_t row : order_) widest = std::max(widest, width_of(FindingCells(run_.report.findings[row])[c]));
    ListView_SetColumnWidth(list, static_cast<int>(c), widest + padding);
  }
}

void ReportWindow::SortBy(ReportColumn column) {
  const std::vector<std::size_t> selected = SelectedFindings();
  descending_ = sorted_ && sort_column_ == column ? !descending_ : false;
  sorted_ = true;
  sort_column_ = column;
  order_ = SortedRows(run_.report.findings, column, descending_);
  FillList();
  SelectFindings({selected.begin(), selected.end()});
}

std::vector<std::size_t> ReportWindow::SelectedFindings() const {
  std::vector<std::size_t> selected;
  HWND list = control(kReportList);
  for (int i = ListView_GetNextItem(list, -1, LVNI_SELECTED); i >= 0; i = ListView_GetNextItem(list, i, LVNI_SELECTED)) {
    selected.push_back(order_[static_cast<std::size_t>(i)]);
  }
  return selected;
}

void ReportWindow::SelectFindings(const std::set<std::size_t>& findings) {
  HWND list = control(kReportList);
  filling_ = true;
  int first = -1;
  for (std::size_t i = 0; i < order_.size(); ++i) {
    const bool on = findings.count(order_[i]) > 0;
    ListView_SetItemState(list, static_cast<int>(i), on ? LVIS_SELECTED : 0, LVIS_SELECTED);
    if (on && first < 0) first = static_cast<int>(i);
  }
  if (first >= 0) {
    ListView_SetItemState(list, first, LVIS_FOCUSED, LVIS_FOCUSED);
    ListView_EnsureVisible(list, first, FALSE);
  }
  filling_ = false;
  SelectionChanged();
}

void ReportWindow::SelectionChanged() {
  const std::vector<std::size_t> selected = SelectedFindings();
  std::set<int> rows;
  for (std::size_t f : selected) {
    const Finding& finding = run_.report.findings[f];
    if (finding.section == Section::kPoint && finding.row > 0) rows.insert(finding.row);
  }
  profile_.Highlight(std::move(rows));
  const std::wstring details =
      selected.empty() ? std::wstring(texts::kReportDetailsHint) : FindingDetails(run_.report.findings[selected.front()]);
  SetWindowTextW(control(kReportDetails), details.c_str());
}

std::wstring ReportWindow::CopySelection() {
  const std::vector<std::size_t> selected = SelectedFindings();
  const std::wstring text = RowsAsTabText(run_.report.findings, selected);
  if (text.empty() || !OpenClipboard(window_)) return text;
  EmptyClipboard();
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
    GlobalUnlock(memory);
    if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);  // the clipboard owns it once set
  }
  CloseClipboard();
  return text;
}

// The save dialog is modal for both windows: Form1 takes no input meanwhile, so no run
// can replace what is being saved.
void ReportWindow::SaveWithDialog() {
  std::wstring path = run_.destination_file.substr(PathParent(run_.destination_file).size());
  if (path.size() > 4) path.resize(path.size() - 4);
  path += L".csv";
  path.resize(MAX_PATH * 4);  // the dialog's buffer
  const std::wstring folder = PathParent(run_.destination_file);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = window_;
  dialog.lpstrFilter = texts::kReportCsvFilter;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrDefExt = L"csv";
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  busy_ = true;
  EnableWindow(owner_, FALSE);
  static const auto save_file_name = SystemFunction<decltype(GetSaveFileNameW)>(L"comdlg32.dll", "GetSaveFileNameW");
  const bool chosen = save_file_name && save_file_name(&dialog) != 0;
  EnableWindow(owner_, TRUE);
  busy_ = false;
  if (!chosen) return;
  path.resize(wcslen(path.c_str()));
  if (auto saved = SaveCsv(path); !saved) {
    ports_.boxes.Show(texts::FillText(texts::kReportCannotSave, {path, ReasonText(saved.error())}), texts::kApplicationTitle,
                      MessageButtons::kOk, MessageIcon::kExclamation);
  }
}

void ReportWindow::Profile_PointClick(int row) {
  std::set<std::size_t> findings;
  for (std::size_t f = 0; f < run_.report.findings.size(); ++f) {
    const Finding& finding = run_.report.findings[f];
    if (finding.section == Section::kPoint && finding.row == row) findings.insert(f);
  }
  SelectFindings(findings);
}

LRESULT ReportWindow::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    HANDLE_MSG(window, WM_SIZE, Member(this, &ReportWindow::Report_Size));
    HANDLE_MSG(window, WM_GETMINMAXINFO, Member(this, &ReportWindow::Report_GetMinMaxInfo));
    HANDLE_MSG(window, WM_DPICHANGED, Member(this, &ReportWindow::Report_DpiChanged));
    HANDLE_MSG(window, WM_COMMAND, Member(this, &ReportWindow::Report_Command));
    HANDLE_MSG(window, WM_NOTIFY, Member(this, &ReportWindow::Report_Notify));
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

void ReportWindow::Report_GetMinMaxInfo(HWND, MINMAXINFO* info) {
  info->ptMinTrackSize = {DpiScale(kReportMinWidthTwips, dpi_), DpiScale(kReportMinHeightTwips, dpi_)};
}

// The list's column clicks sort it, its selection lights up the profile, Ctrl+C copies.
LRESULT ReportWindow::Report_Notify(HWND, int id, NMHDR* header) {
  if (id != kReportList) return 0;
  if (header->code == LVN_COLUMNCLICK) {
    SortBy(static_cast<ReportColumn>(reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem));
  } else if (header->code == LVN_ITEMCHANGED && !filling_) {
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    if ((change->uChanged & LVIF_STATE) && ((change->uNewState ^ change->uOldState) & LVIS_SELECTED)) {
      SelectionChanged();
    }
  } else if (header->code == LVN_KEYDOWN) {
    if (reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey == 'C' && GetKeyState(VK_CONTROL) < 0) CopySelection();
  }
  return 0;
}

}  // namespace pel::ui
