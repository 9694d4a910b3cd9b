// Window classes and control ids of the converter's window, shared by the program and
// the test driver that works it from another process.
#pragma once

namespace pel::ui {

inline constexpr wchar_t kForm1Class[] = L"PelmoraForm1";
inline constexpr wchar_t kPicture1Class[] = L"PelmoraPicture1";

// Control ids: children of Picture1, found with GetDlgItem(picture1, id).
enum ControlId : int {
  kPicture1 = 100,
  kFrame1 = 101,
  kDir1 = 102,
  kDrive1 = 103,
  kFile1 = 104,
  kFrame2 = 105,
  kDir2 = 106,
  kDrive2 = 107,
  kCommand1 = 108,
  kCommand2 = 109,
  kText1 = 110,
  kLabel1 = 111,
  kLabel2 = 112,
  kText2 = 113,
  kFrame3 = 114,
  kLabel3 = 115,
};

}  // namespace pel::ui
