// The report of the conversion check: a modeless window owned by Form1, of its own window
// class, with the depth profile of the written points on the left and the findings in a
// list on the right. It shows what the portable check and profile code computed.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "report/report_table.h"
#include "platform/file_system.h"
#include "platform/message_boxes.h"
#include "platform/text_codec.h"
#include "platform/win32/win32_handles.h"
#include "run/conversion_run.h"
#include "ui/placement.h"
#include "ui/profile_view.h"

namespace pel::ui {

inline constexpr wchar_t kReportClass[] = L"PelmoraReport";

// Child ids of the report window.
enum ReportControlId : int {
  kReportSummary = 200,
  kReportList,
  kReportProfile,
  kReportSave,
  kReportClose,
  kReportDetails,  // the selected finding's whole message and source line
};

struct ReportPorts {
  FileSystem& fs;
  const TextCodec& codec;
  MessageBoxes& boxes;
};

class ReportWindow {
 public:
  ReportWindow(HWND owner, ReportPorts ports)
      : owner_(owner), ports_(ports), profile_([this](int row) { Profile_PointClick(row); }) {}
  ~ReportWindow() { Close(); }
  ReportWindow(const ReportWindow&) = delete;
  ReportWindow& operator=(const ReportWindow&) = delete;

  // Shows `run`, replacing what the window showed. Without `activate` the keyboard stays
  // where it was (a minimised report is restored, still not activated). The window is
  // made the first time, beside its owner (PlaceBeside); later calls never move it.
  bool Show(const WrittenRun& run, bool activate);
  void Close() {
    if (window_ && !busy_) DestroyWindow(window_);
  }
  bool IsOpen() const { return window_ != nullptr; }
  // Tab, Esc and Enter between its controls; true when the message was its own.
  bool PreTranslate(MSG& message) {
    if (!window_ || (message.hwnd != window_ && !IsChild(window_, message.hwnd))) return false;
    return IsDialogMessageW(window_, &message) != 0;
  }

  HWND hwnd() const { return window_; }
  HWND control(ReportControlId id) const { return GetDlgItem(window_, id); }

  // What the buttons and keys do, callable from tests.
  void SortBy(ReportColumn column);
  std::vector<std::size_t> SelectedFindings() const;  // in list order
  void SelectFindings(const std::set<std::size_t>& findings);
  std::wstring CopySelection();  // also puts the text on the clipboard
  Expected<void, FsError> SaveCsv(const std::wstring& path) const {
    return ports_.fs.AtomicReplace(path, ReportCsv(run_.report.findings, run_.source_folder, run_.destination_file,
                                                   ports_.codec));
  }
  const std::vector<std::size_t>& order() const { return order_; }
  ProfileView& profile() { return profile_; }

 private:
  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Report_Size(HWND, UINT, int, int) { Layout(); }
  void Report_GetMinMaxInfo(HWND window, MINMAXINFO* info);
  void Report_DpiChanged(HWND window, UINT dpi, const RECT* r) {
    ApplyDpi(dpi);
    SetWindowPos(window, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  void Report_Command(HWND, int id, HWND, UINT) {
    if (id == kReportSave) SaveWithDialog();
    if (id == kReportClose || id == IDCANCEL) Close();
  }
  LRESULT Report_Notify(HWND window, int id, NMHDR* header);
  // The findings of point row `row` become the list's selection.
  void Profile_PointClick(int row);
  bool Create();
  void ApplyDpi(UINT dpi);
  void Layout();
  ScreenRect Placement() const;
  void Fill();
  void FillList();
  void FitColumns();
  // The profile lights up the selected findings' points; the details show the first.
  void SelectionChanged();
  void SaveWithDialog();
  std::wstring Summary() const;

  HWND owner_;  // Form1; we don't own it
  ReportPorts ports_;
  HWND window_ = nullptr;
  ProfileView profile_;
  UINT dpi_ = 96;
  win32::UniqueFont font_;
  WrittenRun run_;
  std::vector<std::size_t> order_;  // finding indexes in list order
  ReportColumn sort_column_ = ReportColumn::kSeverity;
  bool sorted_ = false;
  bool descending_ = false;
  bool busy_ = false;
  bool filling_ = false;
};

}  // namespace pel::ui
