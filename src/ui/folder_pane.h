// One side of Form1's folder choice: its drive list, its folder list and, on the
// destination side, the folder's file list. A plain object over controls that Form1
// makes and lays out; no window of its own.
#pragma once

#include <windows.h>
#include <windowsx.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/drives.h"
#include "platform/file_system.h"
#include "platform/message_boxes.h"
#include "ui/folder_lists.h"

namespace pel::ui {

// Drive list entries "c: [label]" with their drive letters, read once for both panes.
using DriveEntries = std::vector<std::pair<wchar_t, std::wstring>>;
DriveEntries ReadDriveEntries(const Drives& drives);

class FolderPane {
 public:
  // `changed` is the side's folder list change handler (Dir1_Change or Dir2_Change).
  FolderPane(FileSystem& fs, Drives& drives, MessageBoxes& boxes, std::function<void()> changed)
      : fs_(fs), drives_(drives), boxes_(boxes), changed_(std::move(changed)) {}

  // The pane's controls, Form1's; `files` is null on the source side.
  void Attach(HWND drive_list, HWND folder_list, HWND files) {
    drive_list_ = drive_list;
    folder_list_ = folder_list;
    files_ = files;
  }
  // Lists `drives` and `folder` (and its files) without raising any change handler.
  void Start(const DriveEntries& drives, const std::wstring& folder) {
    FillDriveList(drives);
    FillFolderList(folder, false);
    if (files_) FillFileList();
  }

  const std::wstring& DirPath() const { return path_; }
  // Lists `path`; one that differs from the current folder raises the change handler.
  // False when it cannot be listed (the reason shown where `report`), the list as it was.
  bool SetDirPath(const std::wstring& path, bool report = false);
  // Double-click (or Enter) on a folder list item: opens that folder. A folder that
  // cannot be opened is reported and the list stays on its last good folder.
  void OpenFolderItem(int index);

  // The drive list's selection; setting one that moves it raises DriveChange.
  int DriveListIndex() const { return ComboBox_GetCurSel(drive_list_); }
  void SetDriveListIndex(int index) {
    if (index == DriveListIndex()) return;
    ComboBox_SetCurSel(drive_list_, index);
    DriveChange();
  }
  // The drive list's index of the drive `letter` (upper case); -1 when it is not listed.
  int DriveListIndexOf(wchar_t letter) const {
    for (int i = 0; i < ComboBox_GetCount(drive_list_); ++i) {
      if (static_cast<wchar_t>(ComboBox_GetItemData(drive_list_, i)) == letter) return i;
    }
    return -1;
  }
  // Lists `drives`, the process's current drive selected.
  void FillDriveList(const DriveEntries& drives);
  // The drive list's change: the folder list goes to the drive's current folder.
  void DriveChange();

  void FillFileList();
  // The folder list's row height and indentation at `dpi`, for the font it holds.
  void ApplyDpi(UINT dpi);
  // One folder list row: indentation by level, a folder glyph (open for the levels of
  // the path), the name; the current folder highlighted.
  void DrawFolderItem(const DRAWITEMSTRUCT& item) const;

 private:
  bool FillFolderList(const std::wstring& path, bool report);
  wchar_t SelectedDrive() const {
    const int index = DriveListIndex();
    return index == CB_ERR ? L'\0' : static_cast<wchar_t>(ComboBox_GetItemData(drive_list_, index));
  }

  FileSystem& fs_;
  Drives& drives_;
  MessageBoxes& boxes_;
  std::function<void()> changed_;
  HWND drive_list_ = nullptr;  // Form1's controls; Picture1 destroys them
  HWND folder_list_ = nullptr;
  HWND files_ = nullptr;
  UINT dpi_ = 96;
  std::wstring path_;
  std::vector<FolderItem> items_;  // the folder list's rows
};

}  // namespace pel::ui
