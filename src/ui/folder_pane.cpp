#include "ui/folder_pane.h"

#include <algorithm>
#include <optional>

#include "platform/win32/win32_handles.h"
#include "ui/layout.h"
#include "ui/window_util.h"
#include "util/user_texts.h"

namespace pel::ui {

using win32::ScopedSelectObject;

DriveEntries ReadDriveEntries(const Drives& drives) {
  DriveEntries entries;
  for (wchar_t letter : drives.DriveLetters()) {
    std::wstring text{static_cast<wchar_t>(letter - L'A' + L'a'), L':'};
    const std::wstring label = drives.VolumeLabel(letter);
    if (!label.empty()) text += L" [" + label + L"]";
    entries.emplace_back(letter, std::move(text));
  }
  return entries;
}

bool FolderPane::FillFolderList(const std::wstring& path, bool report) {
  auto items = FolderListItems(fs_, path);
  if (!items) {
    if (report) {
      boxes_.Show(DescribeOutcome(MakeOutcome(OutcomeKind::kFolderUnreadable, path, items.error())),
                  texts::kApplicationTitle, MessageButtons::kOk, MessageIcon::kExclamation);
    }
    return false;
  }
  SetWindowRedraw(folder_list_, FALSE);
  ListBox_ResetContent(folder_list_);
  int current = 0;
  for (std::size_t i = 0; i < items->size(); ++i) {
    ListBox_AddString(folder_list_, (*items)[i].label.c_str());
    if ((*items)[i].open) current = static_cast<int>(i);
  }
  ListBox_SetCurSel(folder_list_, current);
  SetWindowRedraw(folder_list_, TRUE);
  InvalidateRect(folder_list_, nullptr, TRUE);
  items_ = std::move(*items);
  path_ = path;
  return true;
}

bool FolderPane::SetDirPath(const std::wstring& path, bool report) {
  const bool same = CompareStringOrdinal(path.c_str(), -1, path_.c_str(), -1, TRUE) == CSTR_EQUAL;
  if (!FillFolderList(path, report)) return false;
  if (!same) changed_();  // the path did not change: no change event
  return true;
}

// A folder that cannot be opened: back to the last good folder, listed anew where it
// still can be. (An item's path never differs from the current one in case alone.)
void FolderPane::OpenFolderItem(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) return;
  const std::wstring path = items_[static_cast<std::size_t>(index)].path;
  if (path != path_ && !SetDirPath(path, true)) FillFolderList(path_, false);
}

void FolderPane::FillDriveList(const DriveEntries& drives) {
  ComboBox_ResetContent(drive_list_);
  const std::wstring current = drives_.CurrentFolder();
  int selected = 0;
  for (const auto& [letter, text] : drives) {
    const int index = ComboBox_AddString(drive_list_, text.c_str());
    ComboBox_SetItemData(drive_list_, index, letter);
    if (!current.empty() && (current[0] == letter || current[0] == letter - L'A' + L'a')) selected = index;
  }
  ComboBox_SetCurSel(drive_list_, selected);
}

// A drive that cannot be read puts the list back on the index saved in step 2, or on
// its first entry, and the handler goes on with its next step. Moving the selection
// runs this handler again, nested, for that entry.
void FolderPane::DriveChange() {
  std::optional<int> saved;
  auto recover = [&] { SetDriveListIndex(saved.value_or(0)); };
  const wchar_t letter = SelectedDrive();
  const std::wstring root{letter, L':', L'\\'};
  if (!SetDirPath(drives_.CurrentFolderOf(letter)) && !SetDirPath(root)) recover();
  saved = DriveListIndex();
  if (!drives_.MakeDriveCurrent(SelectedDrive())) recover();
}

void FolderPane::FillFileList() {
  SetWindowRedraw(files_, FALSE);
  ListBox_ResetContent(files_);
  if (auto names = FileListItems(fs_, path_)) {
    for (const auto& name : *names) ListBox_AddString(files_, name.c_str());
  }
  SetWindowRedraw(files_, TRUE);
  InvalidateRect(files_, nullptr, TRUE);
}

// Folder list rows: the font's height and a little air.
void FolderPane::ApplyDpi(UINT dpi) {
  dpi_ = dpi;
  ListBox_SetItemHeight(folder_list_, 0, MulDiv(UiFontHeight(dpi), 5, 4) + DpiScale(kFolderRowAirTwips, dpi));
}

void FolderPane::DrawFolderItem(const DRAWITEMSTRUCT& item) const {
  HDC dc = item.hDC;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (item.itemID >= items_.size()) return;  // also the empty list's -1
  const FolderItem& folder = items_[item.itemID];

  const int unit = std::max(1, DpiScale(kPixelTwips, dpi_));
  const int height = item.rcItem.bottom - item.rcItem.top;
  const int glyph = height - 6 * unit;
  int x = item.rcItem.left + 2 * unit + folder.indent * DpiScale(kFolderIndentTwips, dpi_);
  const int y = item.rcItem.top + (height - glyph) / 2;

  {
    // The folder glyph: a tab and a body, drawn in the window's scale.
    const win32::UniqueBrush body(CreateSolidBrush(folder.open ? RGB(255, 214, 102) : RGB(232, 176, 48)));
    const win32::UniquePen outline(CreatePen(PS_SOLID, unit, RGB(140, 100, 20)));
    const ScopedSelectObject use_brush(dc, body.get());
    const ScopedSelectObject use_pen(dc, outline.get());
    Rectangle(dc, x, y, x + glyph / 2, y + glyph / 4 + unit);
    Rectangle(dc, x, y + glyph / 5, x + glyph + glyph / 4, y + glyph);
  }

  x += glyph + glyph / 4 + 4 * unit;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  const ScopedSelectObject use_font(dc, GetWindowFont(folder_list_));
  RECT text = item.rcItem;
  text.left = x;
  DrawTextW(dc, folder.label.c_str(), static_cast<int>(folder.label.size()), &text,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &item.rcItem);
}

}  // namespace pel::ui
