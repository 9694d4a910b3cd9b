#include "ui/batch_window.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <numeric>
#include <system_error>

#include "batch/site_feed.h"
#include "report/site_report.h"
#include "util/folder_paths.h"
#include "util/outcomes.h"
#include "ui/window_util.h"
#include "util/user_texts.h"

namespace pel::ui {

namespace {

// The site's report page, one self-contained HTML file, from what the batch kept, dated
// when the batch started in local time (unless fixed); written whole or not at all.
Expected<void, FsError> WriteSiteReport(FileSystem& fs, const BatchRecord& record, const std::wstring& path) {
  SiteReport site;
  for (const BatchRow& row : record.rows) AddToSiteReport(site, row.result, row.relative);
  if (record.summary) site.SetSummary(SiteSummaryOf(*record.summary));
  SiteReportHeader header;
  header.site_folder = WithoutBackslash(record.site);
  header.output_folder = WithoutBackslash(record.output);
  header.report_file = path;
  header.separator = L'\\';
  __time64_t started = std::chrono::system_clock::to_time_t(record.started);
  struct tm local {};
  _localtime64_s(&local, &started);
  header.time = SiteReportDate({static_cast<std::int64_t>(started), static_cast<int>((_mkgmtime64(&local) - started) / 60)});
  header.version = L"" PEL_VERSION;
  return fs.AtomicReplace(path, SiteReportHtml(site, header));
}

// The window's design sizes, in twips.
constexpr int kMarginTwips = 120;
constexpr int kGapTwips = 90;
constexpr int kRowHeightTwips = 420;
constexpr int kLabelWidthTwips = 1900;
constexpr int kBrowseWidthTwips = 1200;
constexpr int kButtonHeightTwips = 450;
constexpr int kStartWidthTwips = 1500;
constexpr int kCheckWidthTwips = 3600;
constexpr int kSaveWidthTwips = 3000;
constexpr int kCloseWidthTwips = 1500;
constexpr int kWidthTwips = 12000;
constexpr int kHeightTwips = 7800;
constexpr int kMinWidthTwips = 8400;
constexpr int kMinHeightTwips = 5400;
// The list's columns, in BatchColumn order.
constexpr int kColumnTwips[] = {1800, 1400, 1000, 1000, 800, 1100, 4400};
static_assert(std::size(kColumnTwips) == kBatchColumns, "one width per column");

// The children, in tab order: window class, text, style, extended style.
constexpr struct {
  BatchControlId id;
  const wchar_t* window_class;
  const wchar_t* text;
  DWORD style, ex_style;
} kChildren[] = {
    {kBatchSiteLabel, L"STATIC", texts::kBatchSiteLabel, SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, 0},
    {kBatchSiteText, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
    {kBatchSiteBrowse, L"BUTTON", texts::kBatchBrowse, WS_TABSTOP | BS_PUSHBUTTON, 0},
    {kBatchOutputLabel, L"STATIC", texts::kBatchOutputLabel, SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, 0},
    {kBatchOutputText, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
    {kBatchOutputBrowse, L"BUTTON", texts::kBatchBrowse, WS_TABSTOP | BS_PUSHBUTTON, 0},
    {kBatchRecursiveCheck, L"BUTTON", texts::kBatchRecursive, WS_TABSTOP | BS_AUTOCHECKBOX, 0},
    {kBatchStartButton, L"BUTTON", texts::kBatchStart, WS_TABSTOP | BS_DEFPUSHBUTTON, 0},
    {kBatchProgressBar, PROGRESS_CLASSW, L"", 0, 0},
    {kBatchProgressText, L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE | SS_ENDELLIPSIS, 0},
    {kBatchList, WC_LISTVIEWW, L"", WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL | LVS_OWNERDATA,
     WS_EX_CLIENTEDGE},
    {kBatchSaveButton, L"BUTTON", texts::kBatchSaveSiteReport, WS_TABSTOP | BS_PUSHBUTTON | WS_DISABLED, 0},
    {kBatchCloseButton, L"BUTTON", texts::kBatchClose, WS_TABSTOP | BS_PUSHBUTTON, 0},
};

// `typed` as an absolute path, as the system reads it; empty where it cannot.
std::wstring FullPath(const std::wstring& typed) {
  const DWORD size = GetFullPathNameW(typed.c_str(), 0, nullptr, nullptr);
  if (size == 0) return {};
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(typed.c_str(), size, full.data(), nullptr);
  full.resize(length < size ? length : 0);
  return full;
}

// COM on the window thread, loaded at its first use so that start-up does not pay for
// it; false where it cannot be had. It stays for the life of the process.
bool UseCom() {
  static const bool ready = [] {
    const auto initialize = SystemFunction<decltype(CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
    return initialize && SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
  }();
  return ready;
}

template <class Interface>
win32::UniqueCom<Interface> CreateComObject(REFCLSID object) {
  static const auto create = SystemFunction<decltype(CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
  Interface* made = nullptr;
  if (!UseCom() || !create || FAILED(create(object, nullptr, CLSCTX_INPROC_SERVER, __uuidof(Interface),
                                            reinterpret_cast<void**>(&made)))) {
    return {};
  }
  return win32::UniqueCom<Interface>(made);
}

// The system's folder picker, opened on `start` where it names a folder; nothing when
// it is cancelled or the system has none.
std::optional<std::wstring> PickFolder(HWND owner, const std::wstring& start) {
  static const auto item_from_path =
      SystemFunction<decltype(SHCreateItemFromParsingName)>(L"shell32.dll", "SHCreateItemFromParsingName");
  static const auto free_text = SystemFunction<decltype(CoTaskMemFree)>(L"ole32.dll", "CoTaskMemFree");
  const auto dialog = CreateComObject<IFileOpenDialog>(__uuidof(FileOpenDialog));
  if (!dialog || !free_text) return std::nullopt;
  FILEOPENDIALOGOPTIONS options = 0;
  dialog.get()->GetOptions(&options);
  dialog.get()->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
  IShellItem* folder = nullptr;
  if (item_from_path && !start.empty() &&
      SUCCEEDED(item_from_path(start.c_str(), nullptr, __uuidof(IShellItem), reinterpret_cast<void**>(&folder)))) {
    const win32::UniqueCom<IShellItem> owned(folder);
    dialog.get()->SetFolder(owned.get());
  }
  IShellItem* chosen = nullptr;
  if (FAILED(dialog.get()->Show(owner)) || FAILED(dialog.get()->GetResult(&chosen))) return std::nullopt;
  const win32::UniqueCom<IShellItem> item(chosen);
  wchar_t* path = nullptr;
  if (FAILED(item.get()->GetDisplayName(SIGDN_FILESYSPATH, &path))) return std::nullopt;
  std::wstring result = path;
  free_text(path);
  return result;
}

}  // namespace

// The batch's listener on the worker thread: each event goes into the window's queue,
// and the window is told by a posted message. It never waits for the window thread.
class BatchWindow::Worker : public BatchListener {
 public:
  Worker(BatchWindow& owner, HWND window) : owner_(owner), window_(window) {}
  void Starting(std::size_t index, std::size_t total, const std::wstring& relative) override {
    Post(FolderStarting{index, total, relative});
  }
  void Finished(const FolderResult& result) override { Post(result); }
  void Post(Event event) {
    {
      const std::lock_guard<std::mutex> lock(owner_.queue_mutex_);
      owner_.queue_.push_back(std::move(event));
    }
    PostMessageW(window_, kBatchEventMessage, 0, 0);
  }

 private:
  BatchWindow& owner_;
  HWND window_;
};

BatchWindow::~BatchWindow() {
  if (window_) DestroyWindow(window_);  // waits for a running worker
}

bool BatchWindow::Create() {
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const WNDPROC procedure = &WindowThunk<BatchWindow, &BatchWindow::OnMessage, &BatchWindow::window_>;
  if (!RegisterWindowClass(instance, kBatchClass, procedure, true, SystemColourBrush(COLOR_BTNFACE))) return false;
  // Owned by Form1, as the report is; WS_EX_ACCEPTFILES: folders dropped from Explorer.
  if (!CreateWindowExW(WS_EX_ACCEPTFILES | WS_EX_CONTROLPARENT, kBatchClass, texts::kBatchCaption,
                       WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, owner_, nullptr,
                       instance, this)) {
    return false;
  }
  for (const auto& c : kChildren) {
    if (!CreateWindowExW(c.ex_style, c.window_class, c.text, WS_CHILD | WS_VISIBLE | c.style, 0, 0, 10, 10, window_,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr)) {
      DestroyWindow(window_);
      return false;
    }
  }
  HWND list = control(kBatchList);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  for (std::size_t c = 0; c < kBatchColumns; ++c) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM | LVCF_FMT;
    column.fmt = c >= 2 && c <= 5 ? LVCFMT_RIGHT : LVCFMT_LEFT;  // the counts and the depth
    column.pszText = const_cast<wchar_t*>(texts::kBatchColumnTitles[c]);
    column.iSubItem = static_cast<int>(c);
    column.cx = 50;
    ListView_InsertColumn(list, static_cast<int>(c), &column);
  }
  ApplyDpi(GetDpiForWindow(window_));
  // A batch's results are kept until the next one, also over a close and a reopen.
  if (!record_.site.empty()) {
    SetWindowTextW(control(kBatchSiteText), record_.site.c_str());
    SetWindowTextW(control(kBatchOutputText), record_.output.c_str());
    Button_SetCheck(control(kBatchRecursiveCheck), record_.recursive ? BST_CHECKED : BST_UNCHECKED);
  }
  FillList();
  SetRunning(false);
  // Over Form1's top left corner, a little in, never off the monitor's work area.
  RECT form;
  GetWindowRect(owner_, &form);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(owner_, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT work = monitor.rcWork;
  const int width = std::min<int>(DpiScale(kWidthTwips, dpi_), work.right - work.left);
  const int height = std::min<int>(DpiScale(kHeightTwips, dpi_), work.bottom - work.top);
  const int step = DpiScale(4 * kMarginTwips, dpi_);
  const int x = std::max<int>(work.left, std::min<int>(form.left + step, work.right - width));
  const int y = std::max<int>(work.top, std::min<int>(form.top + step, work.bottom - height));
  SetWindowPos(window_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

bool BatchWindow::Open() {
  if (!window_ && !Create()) return false;
  ShowWindow(window_, IsIconic(window_) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(window_);
  if (!IsChild(window_, GetFocus())) SetFocus(control(Running() ? kBatchStartButton : kBatchSiteText));
  return true;
}

void BatchWindow::Close(std::function<void()> then) {
  if (Running()) {
    // The worker ends after its current folder; On(BatchSummary) then closes.
    if (then || !close_pending_) close_pending_ = std::move(then);
    stop_ = true;
    EnableWindow(control(kBatchStartButton), FALSE);
    return;
  }
  if (window_) DestroyWindow(window_);
  if (then) then();
}

bool BatchWindow::PreTranslate(MSG& message) {
  if (report_ && report_->PreTranslate(message)) return true;
  if (!window_ || (message.hwnd != window_ && !IsChild(window_, message.hwnd))) return false;
  return IsDialogMessageW(window_, &message) != 0;
}

void BatchWindow::ApplyDpi(UINT dpi) {
  dpi_ = dpi ? dpi : 96;
  if (!SetChildrenUiFont(window_, dpi_, font_)) return;  // the old font stays
  for (std::size_t c = 0; c < kBatchColumns; ++c) {
    ListView_SetColumnWidth(control(kBatchList), static_cast<int>(c), DpiScale(kColumnTwips[c], dpi_));
  }
  Layout();
}

// The two folder rows across the top, the check box and the start button under them,
// the progress, the list filling the rest, the buttons along the bottom.
void BatchWindow::Layout() {
  const RECT client = ClientRect(window_);
  auto px = [&](int twips) { return DpiScale(twips, dpi_); };
  const int margin = px(kMarginTwips), gap = px(kGapTwips), row = px(kRowHeightTwips), button = px(kButtonHeightTwips);
  const int right = client.right - margin;
  const int text_left = margin + px(kLabelWidthTwips) + gap;
  auto place = [&](BatchControlId id, int x, int y, int w, int h) {
    MoveWindow(control(id), x, y, std::max(w, 1), std::max(h, 1), TRUE);
  };
  int y = margin;
  for (auto [label, text, browse] : {std::array{kBatchSiteLabel, kBatchSiteText, kBatchSiteBrowse},
                                     std::array{kBatchOutputLabel, kBatchOutputText, kBatchOutputBrowse}}) {
    place(label, margin, y, px(kLabelWidthTwips), row);
    place(text, text_left, y, right - px(kBrowseWidthTwips) - gap - text_left, row);
    place(browse, right - px(kBrowseWidthTwips), y, px(kBrowseWidthTwips), row);
    y += row + gap;
  }
  place(kBatchRecursiveCheck, text_left, y, px(kCheckWidthTwips), button);
  place(kBatchStartButton, right - px(kStartWidthTwips), y, px(kStartWidthTwips), button);
  y += button + gap;
  const int bar_width = (right - margin) * 2 / 5;
  place(kBatchProgressBar, margin, y + row / 4, bar_width, row / 2);
  place(kBatchProgressText, margin + bar_width + gap, y, right - margin - bar_width - gap, row);
  y += row + gap;
  const int bottom = client.bottom - margin - button;
  place(kBatchList, margin, y, right - margin, bottom - gap - y);
  place(kBatchSaveButton, margin, bottom, px(kSaveWidthTwips), button);
  place(kBatchCloseButton, right - px(kCloseWidthTwips), bottom, px(kCloseWidthTwips), button);
}

void BatchWindow::Batch_GetMinMaxInfo(HWND, MINMAXINFO* info) {
  info->ptMinTrackSize = {DpiScale(kMinWidthTwips, dpi_), DpiScale(kMinHeightTwips, dpi_)};
}

// --- The batch ------------------------------------------------------------------------

void BatchWindow::Start_Click() {
  if (Running()) {  // 中止: the batch ends after its current folder
    stop_ = true;
    EnableWindow(control(kBatchStartButton), FALSE);
    return;
  }
  // Both folders as absolute paths: the folder lists of Form1 change the current folder.
  auto folder = [&](BatchControlId id, const wchar_t* missing) -> std::wstring {
    const std::wstring typed = WindowText(control(id));
    const bool blank = typed.find_first_not_of(L' ') == std::wstring::npos;
    std::wstring full = blank ? std::wstring() : FullPath(typed);
    if (full.empty()) {
      ports_.boxes.Show(blank ? std::wstring(missing) : texts::FillText(texts::kBatchBadFolder, {typed}),
                        texts::kApplicationTitle, MessageButtons::kOk, MessageIcon::kExclamation);
      SetFocus(control(id));
      Edit_SetSel(control(id), 0, -1);
    }
    return full;
  };
  const std::wstring site = folder(kBatchSiteText, texts::kBatchNoSiteFolder);
  if (site.empty()) return;
  const std::wstring output = folder(kBatchOutputText, texts::kBatchNoOutputFolder);
  if (output.empty()) return;
  const bool recursive = Button_GetCheck(control(kBatchRecursiveCheck)) == BST_CHECKED;

  record_ = BatchRecord{site, output, recursive, std::chrono::system_clock::now(), {}, std::nullopt};
  order_.clear();
  FillList();
  SetWindowTextW(control(kBatchProgressText), L"");
  SendMessageW(control(kBatchProgressBar), PBM_SETPOS, 0, 0);
  stop_ = false;
  SetRunning(true);
  auto run = [this, window = window_, site, output, recursive] {
    Worker worker(*this, window);
    worker.Post(RunBatch(ports_.fs, site, output, recursive, stop_, worker));
  };
  try {
    worker_ = std::thread(run);
  } catch (const std::system_error&) {
    run();  // no thread to be had: the batch runs here, its events handled once it ends
  }
}

void BatchWindow::SetRunning(bool running) {
  SetWindowTextW(control(kBatchStartButton), running ? texts::kBatchStop : texts::kBatchStart);
  EnableWindow(control(kBatchStartButton), TRUE);
  for (BatchControlId id : {kBatchSiteText, kBatchSiteBrowse, kBatchOutputText, kBatchOutputBrowse, kBatchRecursiveCheck}) {
    EnableWindow(control(id), !running);
  }
  // A batch that could not start has no page to save.
  EnableWindow(control(kBatchSaveButton), !running && record_.summary && !record_.summary->error);
  // The keyboard never stays on a control that was just disabled.
  if (running && !IsWindowEnabled(GetFocus()) && IsChild(window_, GetFocus())) SetFocus(control(kBatchStartButton));
}

void BatchWindow::Batch_Event() {
  std::deque<Event> events;
  {
    const std::lock_guard<std::mutex> lock(queue_mutex_);
    events.swap(queue_);
  }
  for (Event& event : events) std::visit([this](auto& e) { On(e); }, event);
}

void BatchWindow::On(const FolderStarting& starting) {
  SetWindowTextW(control(kBatchProgressText),
                 texts::FillText(texts::kBatchProgress, {std::to_wstring(starting.index + 1), std::to_wstring(starting.total),
                                                         starting.relative})
                     .c_str());
  HWND bar = control(kBatchProgressBar);
  SendMessageW(bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(starting.total));
  SendMessageW(bar, PBM_SETPOS, starting.index, 0);
  ShowTaskbarProgress(starting.index, starting.total);
}

void BatchWindow::On(FolderResult& result) {
  std::wstring relative = RelativeName(record_.site, result.source, ports_.fs.Separator());
  record_.rows.push_back({std::move(relative), std::move(result)});
  order_.push_back(record_.rows.size() - 1);
  HWND list = control(kBatchList);
  ListView_SetItemCountEx(list, static_cast<int>(order_.size()), LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
  if (!sorted_) ListView_EnsureVisible(list, static_cast<int>(order_.size()) - 1, FALSE);
}

void BatchWindow::On(const BatchSummary& summary) {
  if (worker_.joinable()) worker_.join();
  record_.summary = summary;
  SetRunning(false);
  HWND bar = control(kBatchProgressBar);
  if (!summary.stopped) SendMessageW(bar, PBM_SETPOS, SendMessageW(bar, PBM_GETRANGE, FALSE, 0), 0);
  std::wstring text;
  if (!summary.error) {
    text = texts::FillText(texts::kCliSummary, {std::to_wstring(summary.folders), std::to_wstring(summary.converted),
                                                std::to_wstring(summary.with_warnings), std::to_wstring(summary.failed)});
    if (summary.stopped) text += std::wstring(texts::kReportSummaryGap) + texts::kCliStopped;
  }
  SetWindowTextW(control(kBatchProgressText), text.c_str());
  ShowTaskbarProgress(0, 0);
  if (sorted_) FillList();
  if (close_pending_) {
    const std::function<void()> then = std::move(*close_pending_);
    close_pending_.reset();
    DestroyWindow(window_);
    if (then) then();
    return;
  }
  if (summary.error) {
    const bool only_deeper = summary.error->kind == OutcomeKind::kNoBoreholeFoldersButDeeper;
    ports_.boxes.Show(only_deeper ? DescribeOutcomeAs(*summary.error, texts::kBatchOnlyDeeper) : DescribeOutcome(*summary.error),
                      texts::kApplicationTitle, MessageButtons::kOk, MessageIcon::kExclamation);
  }
}

// The program's taskbar button shows the batch's progress where the system offers it;
// `total` 0 takes it away.
void BatchWindow::ShowTaskbarProgress(std::size_t done, std::size_t total) {
  if (!taskbar_tried_ && total > 0) {
    taskbar_tried_ = true;
    taskbar_ = CreateComObject<ITaskbarList3>(__uuidof(TaskbarList));
    if (taskbar_ && FAILED(taskbar_.get()->HrInit())) taskbar_.reset();
  }
  if (!taskbar_) return;
  HWND button = owner_ ? owner_ : window_;  // an owned window has no button of its own
  if (total == 0) {
    taskbar_.get()->SetProgressState(button, TBPF_NOPROGRESS);
  } else {
    taskbar_.get()->SetProgressValue(button, done, total);
  }
}

void BatchWindow::Batch_Destroy(HWND) {
  // The last guard: the window never goes before the worker has ended.
  if (Running()) {
    stop_ = true;
    worker_.join();
  }
  const std::lock_guard<std::mutex> lock(queue_mutex_);
  queue_.clear();
}

// --- The list ---------------------------------------------------------------------------

void BatchWindow::SortBy(BatchColumn column) {
  descending_ = sorted_ && sort_column_ == column ? !descending_ : false;
  sorted_ = true;
  sort_column_ = column;
  FillList();
}

void BatchWindow::FillList() {
  if (sorted_) {
    order_ = SortedBatchRows(record_.rows, sort_column_, descending_);
  } else {
    order_.resize(record_.rows.size());
    std::iota(order_.begin(), order_.end(), std::size_t{0});
  }
  HWND list = control(kBatchList);
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemCountEx(list, static_cast<int>(order_.size()), 0);
  InvalidateRect(list, nullptr, TRUE);
  ShowColumnTitles(list, texts::kBatchColumnTitles, kBatchColumns, sorted_ ? static_cast<int>(sort_column_) : -1,
                   descending_);
}

void BatchWindow::OpenReport(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= order_.size()) return;
  const FolderResult& r = record_.rows[order_[static_cast<std::size_t>(row)]].result;
  if (!r.written || !r.report || !r.destination) return;
  if (!report_) report_ = std::make_unique<ReportWindow>(window_, ReportPorts{ports_.fs, ports_.codec, ports_.boxes});
  report_->Show(WrittenRun{r.source, *r.destination, *r.report}, true);
}

// The list's cells come from the kept results as it shows them; a column click sorts, a
// double-click opens the folder's report.
LRESULT BatchWindow::Batch_Notify(HWND, int id, NMHDR* header) {
  if (id != kBatchList) return 0;
  if (header->code == LVN_GETDISPINFOW) {
    LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
    const auto row = static_cast<std::size_t>(item.iItem);
    if ((item.mask & LVIF_TEXT) && row < order_.size() && item.iSubItem >= 0 &&
        static_cast<std::size_t>(item.iSubItem) < kBatchColumns && item.cchTextMax > 0) {
      cell_ = BatchCells(record_.rows[order_[row]])[static_cast<std::size_t>(item.iSubItem)];
      lstrcpynW(item.pszText, cell_.c_str(), item.cchTextMax);
    }
  } else if (header->code == LVN_COLUMNCLICK) {
    SortBy(static_cast<BatchColumn>(reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem));
  } else if (header->code == NM_DBLCLK) {
    OpenReport(reinterpret_cast<const NMITEMACTIVATE*>(header)->iItem);
  }
  return 0;
}

// --- Buttons, keys and drops --------------------------------------------------------------

void BatchWindow::Batch_Command(HWND, int id, HWND, UINT code) {
  if (code != BN_CLICKED) return;
  switch (id) {
    case kBatchStartButton: Start_Click(); break;
    case kBatchSiteBrowse: Browse_Click(kBatchSiteText); break;
    case kBatchOutputBrowse: Browse_Click(kBatchOutputText); break;
    case kBatchSaveButton: SaveSiteReport_Click(); break;
    case kBatchCloseButton: Close(); break;
    case IDCANCEL:  // Esc
      if (!Running()) Close();
      break;
    case IDOK: {  // Enter: on the list it opens the folder's report, on a button it presses it, else it starts
      HWND focus = GetFocus();
      if (focus == control(kBatchList)) {
        OpenReport(ListView_GetNextItem(focus, -1, LVNI_FOCUSED));
      } else if (focus == control(kBatchSiteBrowse) || focus == control(kBatchOutputBrowse) ||
                 focus == control(kBatchSaveButton) || focus == control(kBatchCloseButton)) {
        ClickButton(focus);
      } else if (IsWindowEnabled(control(kBatchStartButton))) {
        Start_Click();
      }
      break;
    }
    default: break;
  }
}

void BatchWindow::Browse_Click(BatchControlId text) {
  if (const auto chosen = PickFolder(window_, WindowText(control(text)))) SetWindowTextW(control(text), chosen->c_str());
}

void BatchWindow::DropFolder(const std::wstring& path, bool output) {
  if (Running()) return;  // the folders of a running batch stay as they are
  // A file stands for its folder.
  const bool file = ports_.fs.EntryExists(path) && !ports_.fs.ListFolder(path);
  const std::wstring folder = file ? WithoutBackslash(PathParent(path)) : path;
  SetWindowTextW(control(output ? kBatchOutputText : kBatchSiteText), folder.c_str());
}

// A drop on the output row (its label, text box or button) sets the output folder;
// anywhere else the site folder.
void BatchWindow::Batch_DropFiles(HWND, HDROP drop) {
  static const auto query_point = SystemFunction<decltype(DragQueryPoint)>(L"shell32.dll", "DragQueryPoint");
  static const auto query_file = SystemFunction<decltype(DragQueryFileW)>(L"shell32.dll", "DragQueryFileW");
  static const auto finish = SystemFunction<decltype(DragFinish)>(L"shell32.dll", "DragFinish");
  if (!query_point || !query_file || !finish) return;
  POINT at;
  query_point(drop, &at);
  std::wstring path(static_cast<std::size_t>(query_file(drop, 0, nullptr, 0)) + 1, L'\0');
  path.resize(query_file(drop, 0, path.data(), static_cast<UINT>(path.size())));
  finish(drop);
  RECT label, browse, row;
  GetWindowRect(control(kBatchOutputLabel), &label);
  GetWindowRect(control(kBatchOutputBrowse), &browse);
  UnionRect(&row, &label, &browse);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&row), 2);
  if (!path.empty()) DropFolder(path, PtInRect(&row, at) != 0);
}

Expected<void, FsError> BatchWindow::SaveSiteReport(const std::wstring& path) const {
  return WriteSiteReport(ports_.fs, record_, path);
}

void BatchWindow::SaveSiteReport_Click() {
  if (Running() || !record_.summary) return;
  // Named after the site folder, in the output folder.
  const std::wstring site = WithoutBackslash(record_.site);
  std::wstring path = site.substr(PathParent(site).size());
  path = (path.empty() || path.back() == L':' ? std::wstring(L"site") : path) + L".html";
  path.resize(MAX_PATH * 4);  // the dialog's buffer
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = window_;
  dialog.lpstrFilter = texts::kBatchSiteReportFilter;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrInitialDir = record_.output.c_str();
  dialog.lpstrDefExt = L"html";
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  static const auto save_file_name = SystemFunction<decltype(GetSaveFileNameW)>(L"comdlg32.dll", "GetSaveFileNameW");
  if (!save_file_name || !save_file_name(&dialog)) return;
  path.resize(wcslen(path.c_str()));
  if (auto written = SaveSiteReport(path); !written) {
    const Outcome failed = MakeOutcome(OutcomeKind::kReportWriteFailed, path, std::move(written.error()));
    ports_.boxes.Show(DescribeOutcome(failed), texts::kApplicationTitle, MessageButtons::kOk, MessageIcon::kExclamation);
  }
}

LRESULT BatchWindow::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    HANDLE_MSG(window, WM_SIZE, Member(this, &BatchWindow::Batch_Size));
    HANDLE_MSG(window, WM_GETMINMAXINFO, Member(this, &BatchWindow::Batch_GetMinMaxInfo));
    HANDLE_MSG(window, WM_DPICHANGED, Member(this, &BatchWindow::Batch_DpiChanged));
    HANDLE_MSG(window, WM_COMMAND, Member(this, &BatchWindow::Batch_Command));
    HANDLE_MSG(window, WM_NOTIFY, Member(this, &BatchWindow::Batch_Notify));
    HANDLE_MSG(window, WM_DROPFILES, Member(this, &BatchWindow::Batch_DropFiles));
    HANDLE_MSG(window, WM_CLOSE, Member(this, &BatchWindow::Batch_Close));
    HANDLE_MSG(window, WM_DESTROY, Member(this, &BatchWindow::Batch_Destroy));
    case kBatchEventMessage:
      Batch_Event();
      return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace pel::ui
