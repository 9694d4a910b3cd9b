// The batch window "まとめて変換": a whole site converted into one output folder by the
// core's batch, on a worker thread so that the windows stay responsive. A modeless window
// owned by Form1, of its own class: the two folders, the progress, the folders as they
// finish, and each converted folder's report on demand.
#pragma once

#include <windows.h>
#include <shellapi.h>
#include <shobjidl.h>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "batch/batch.h"
#include "batch/batch_table.h"
#include "platform/file_system.h"
#include "platform/message_boxes.h"
#include "platform/text_codec.h"
#include "platform/win32/win32_handles.h"
#include "ui/report_window.h"

namespace pel::ui {

inline constexpr wchar_t kBatchClass[] = L"PelmoraBatch";

// Child ids of the batch window, in tab order.
enum BatchControlId : int {
  kBatchSiteLabel = 300,
  kBatchSiteText,
  kBatchSiteBrowse,
  kBatchOutputLabel,
  kBatchOutputText,
  kBatchOutputBrowse,
  kBatchRecursiveCheck,
  kBatchStartButton,
  kBatchProgressBar,
  kBatchProgressText,
  kBatchList,
  kBatchSaveButton,
  kBatchCloseButton,
};

// The worker's message to the window: its queue holds something.
inline constexpr UINT kBatchEventMessage = WM_APP + 1;

struct BatchPorts {
  FileSystem& fs;
  const TextCodec& codec;
  MessageBoxes& boxes;
};

class BatchWindow {
 public:
  BatchWindow(HWND owner, BatchPorts ports) : owner_(owner), ports_(ports) {}
  // A running batch is stopped after its current folder and waited for.
  ~BatchWindow();
  BatchWindow(const BatchWindow&) = delete;
  BatchWindow& operator=(const BatchWindow&) = delete;

  // Shows the window, made the first time, and gives it the keyboard.
  bool Open();
  // Without a batch the window goes at once. During one the batch stops after its current
  // folder and the window goes once the worker has ended; `then` runs after that (Form1
  // closes itself so).
  void Close(std::function<void()> then = {});
  bool IsOpen() const { return window_ != nullptr; }
  bool Running() const { return worker_.joinable(); }
  // Tab, Enter and Esc between its controls, and its report's; true when the message was one of theirs.
  bool PreTranslate(MSG& message);

  HWND hwnd() const { return window_; }
  HWND control(BatchControlId id) const { return GetDlgItem(window_, id); }

  // What the buttons and keys do, callable from tests.
  void Start_Click();
  void SortBy(BatchColumn column);
  // The report of the folder in list row `row`, in the batch's own report window; nothing
  // for a folder that failed.
  void OpenReport(int row);
  // Sets the folder of the site row (or, with `output`, the output row) as a drop does.
  void DropFolder(const std::wstring& path, bool output);
  // The site's report page of the last batch, written to `path` as the save button does
  // once its dialog has been answered.
  Expected<void, FsError> SaveSiteReport(const std::wstring& path) const;
  const BatchRecord& record() const { return record_; }
  const std::vector<std::size_t>& order() const { return order_; }
  ReportWindow* report() const { return report_.get(); }

 private:
  // What the worker tells the window, in order: a folder begins, a folder's result, the end.
  struct FolderStarting {
    std::size_t index, total;
    std::wstring relative;
  };
  using Event = std::variant<FolderStarting, FolderResult, BatchSummary>;
  class Worker;

  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Batch_Size(HWND, UINT, int, int) { Layout(); }
  void Batch_GetMinMaxInfo(HWND window, MINMAXINFO* info);
  void Batch_DpiChanged(HWND window, UINT dpi, const RECT* r) {
    ApplyDpi(dpi);
    SetWindowPos(window, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  void Batch_Command(HWND window, int id, HWND control, UINT code);
  LRESULT Batch_Notify(HWND window, int id, NMHDR* header);
  void Batch_DropFiles(HWND window, HDROP drop);
  void Batch_Close(HWND) { Close(); }
  void Batch_Destroy(HWND);
  // The worker's events, taken from the queue.
  void Batch_Event();
  void On(const FolderStarting& starting);
  void On(FolderResult& result);
  void On(const BatchSummary& summary);
  void Browse_Click(BatchControlId text);
  void SaveSiteReport_Click();

  bool Create();
  void ApplyDpi(UINT dpi);
  void Layout();
  void FillList();
  void SetRunning(bool running);
  void ShowTaskbarProgress(std::size_t done, std::size_t total);

  HWND owner_;  // Form1; we don't own it
  BatchPorts ports_;
  HWND window_ = nullptr;
  UINT dpi_ = 96;
  win32::UniqueFont font_;
  std::unique_ptr<ReportWindow> report_;  // the last report opened from a row

  BatchRecord record_;
  std::vector<std::size_t> order_;  // row indexes in list order
  BatchColumn sort_column_ = BatchColumn::kFolder;
  bool sorted_ = false;
  bool descending_ = false;
  std::wstring cell_;  // the text the list asked for last

  std::thread worker_;
  std::atomic<bool> stop_{false};
  std::mutex queue_mutex_;
  std::deque<Event> queue_;  // guarded by queue_mutex_
  std::optional<std::function<void()>> close_pending_;  // Close() during a batch: what runs once it ends
  win32::UniqueCom<ITaskbarList3> taskbar_;  // null until a batch starts, and where the system has none
  bool taskbar_tried_ = false;
};

}  // namespace pel::ui
