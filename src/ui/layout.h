// The window's design layout in twips (1/1440 inch), in tab order. Positions are
// relative to the container; the window scales them to its DPI.
#pragma once

#include "ui/control_ids.h"
#include "util/user_texts.h"

namespace pel::ui {

enum class ControlKind { kPictureBox, kFrame, kFolderList, kDriveList, kFileList, kButton, kTextBox, kLabel };

struct ControlLayout {
  ControlId id;
  const wchar_t* name;
  ControlKind kind;
  ControlId container;  // kPicture1's own container is the form: kPicture1 itself
  const wchar_t* caption;
  int left, top, width, height;
  bool grey;  // light grey background (RGB 192, 192, 192)
};

inline constexpr int kClientWidth = 9090;
inline constexpr int kClientHeight = 6495;

// Sizes the layout table does not give, in the same twips: one pixel at 96 dpi; the
// air added to a folder list row; a folder list level's indentation; a drive list's
// height with its list open.
inline constexpr int kPixelTwips = 15;
inline constexpr int kFolderRowAirTwips = 2 * kPixelTwips;
inline constexpr int kFolderIndentTwips = 10 * kPixelTwips;
inline constexpr int kDriveListOpenTwips = 2400;

inline constexpr ControlLayout kLayout[] = {
    {kPicture1, L"Picture1", ControlKind::kPictureBox, kPicture1, L"", 0, 0, 9075, 6495, true},
    {kFrame1, L"Frame1", ControlKind::kFrame, kPicture1, texts::kFrame1Caption, 3540, 1620, 5175, 2895, true},
    {kDir1, L"Dir1", ControlKind::kFolderList, kFrame1, L"", 120, 420, 2415, 1530, false},
    {kDrive1, L"Drive1", ControlKind::kDriveList, kFrame1, L"", 120, 2220, 2415, 390, false},
    {kFile1, L"File1", ControlKind::kFileList, kFrame1, L"", 2640, 420, 2415, 2190, false},
    {kFrame2, L"Frame2", ControlKind::kFrame, kPicture1, texts::kFrame2Caption, 240, 1620, 3135, 2895, true},
    {kDir2, L"Dir2", ControlKind::kFolderList, kFrame2, L"", 180, 420, 2595, 1530, false},
    {kDrive2, L"Drive2", ControlKind::kDriveList, kFrame2, L"", 180, 2220, 2595, 390, false},
    {kCommand1, L"Command1", ControlKind::kButton, kPicture1, texts::kCommand1Caption, 2520, 5580, 1935, 555, false},
    {kCommand2, L"Command2", ControlKind::kButton, kPicture1, texts::kCommand2Caption, 5160, 5580, 2055, 555, false},
    {kText1, L"Text1", ControlKind::kTextBox, kPicture1, L"", 2400, 840, 6255, 495, false},
    {kLabel1, L"Label1", ControlKind::kLabel, kPicture1, texts::kLabel1Caption, 240, 900, 2235, 315, true},
    {kLabel2, L"Label2", ControlKind::kLabel, kPicture1, texts::kLabel2Caption, 240, 300, 2235, 315, true},
    {kText2, L"Text2", ControlKind::kTextBox, kPicture1, L"", 2400, 240, 6255, 495, false},
    {kFrame3, L"Frame3", ControlKind::kFrame, kPicture1, texts::kFrame3Caption, 240, 4740, 8475, 675, true},
    {kLabel3, L"Label3", ControlKind::kLabel, kFrame3, L"", 180, 240, 8175, 315, true},
};

inline constexpr const ControlLayout* FindLayout(ControlId id) {
  for (const auto& c : kLayout) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

// Labels and frames never take the focus.
inline constexpr bool TakesFocus(ControlKind kind) { return kind != ControlKind::kLabel && kind != ControlKind::kFrame; }

}  // namespace pel::ui
