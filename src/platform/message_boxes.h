// Modal message boxes.
#pragma once

#include <string>

namespace pel {

enum class MessageButtons { kOk, kYesNo };
enum class MessageIcon { kNone, kExclamation, kQuestion, kInformation };
enum class MessageAnswer { kOk, kYes, kNo };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual MessageAnswer Show(const std::wstring& text, const std::wstring& caption, MessageButtons buttons,
                             MessageIcon icon) = 0;
};

}  // namespace pel
