// One side's folder choice in Form1: its drive list, its folder list and, on the
// destination side, the list of the folder's files. A plain object over controls that
// Form1 makes and lays out; it has no window of its own.
#pragma once

#include <windows.h>

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

  // The pane's controls, children of Form1; `files` is null on the source side.
  void Attach(HWND drive_list, HWND folder_list, HWND files);
  HWND folder_list() const { return folder_list_; }
  // Lists `drives` and `folder` (and its files) without raising any change handler.
  void Start(const DriveEntries& drives, const std::wstring& folder);

  // The folder list's current folder.
  const std::wstring& DirPath() const { return path_; }
  // Lists `path`; one that differs from the current folder raises the change handler.
  // False when it cannot be listed (the reason shown where `report`), the list as it was.
  bool SetDirPath(const std::wstring& path, bool report = false);
  // Double-click (or Enter) on a folder list item: opens that folder. A folder that
  // cannot be opened is reported and the list stays on its last good folder.
  void OpenFolderItem(int index);

  // The drive list's selection; setting one that moves it raises DriveChange.
  int DriveListIndex() const;
  void SetDriveListIndex(int index);
  // The drive list's index of the drive `letter` (upper case); -1 when it is not listed.
  int DriveListIndexOf(wchar_t letter) const;
  // Lists `drives`, the process's current drive selected.
  void FillDriveList(const DriveEntries& drives);
  // The drive list's change: the folder list goes to the drive's current folder.
  void DriveChange();

  // The file list shows the files of the current folder.
  void FillFileList();
  // The folder list's row height and indentation at `dpi`, for the font it holds.
  void ApplyDpi(UINT dpi);
  // One folder list row: indentation by level, a folder glyph (open for the levels of
  // the path), the name; the current folder highlighted.
  void DrawFolderItem(const DRAWITEMSTRUCT& item) const;

 private:
  bool FillFolderList(const std::wstring& path, bool report);
  wchar_t SelectedDrive() const;

  FileSystem& fs_;
  Drives& drives_;
  MessageBoxes& boxes_;
  std::function<void()> changed_;
  HWND drive_list_ = nullptr;  // Form1's controls: Picture1 destroys them
  HWND folder_list_ = nullptr;
  HWND files_ = nullptr;
  UINT dpi_ = 96;
  std::wstring path_;
  std::vector<FolderItem> items_;  // the folder list's rows
};

}  // namespace pel::ui
