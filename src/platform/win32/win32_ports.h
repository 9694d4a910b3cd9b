// The drives, code page 932 and message-box ports on Win32.
#pragma once

#include <windows.h>

#include "platform/drives.h"
#include "platform/message_boxes.h"
#include "platform/process.h"
#include "platform/text_codec.h"

namespace pel::win32 {

class Win32Drives : public Drives {
 public:
  bool MakeDriveCurrent(wchar_t letter) override;
  // A drive of a known type whose volume answers (a medium is in it).
  bool IsDriveReady(wchar_t letter) const override;
  std::wstring DriveLetters() const override;
  std::wstring VolumeLabel(wchar_t letter) const override;
  // Each drive keeps its own current folder in the environment variable "=D:", as the
  // C runtime keeps it; "D:out.txt" then names a file in drive D's current folder.
  std::wstring CurrentFolderOf(wchar_t letter) const override;
  std::wstring CurrentFolder() const override;
  bool MakeFolderCurrent(const std::wstring& folder) override;
};

class Win32Process : public ProcessEnvironment {
 public:
  std::wstring ProgramFolder() const override;
  std::wstring Variable(const std::wstring& name) const override;
  void LetEventsRun() override;
};

class Win32HelpViewer : public HelpViewer {
 public:
  explicit Win32HelpViewer(HWND owner = nullptr) : owner_(owner) {}
  void set_owner(HWND owner) { owner_ = owner; }
  void Invoke(const std::wstring& help_file, unsigned command, unsigned long data) override;

 private:
  HWND owner_;
};

class Win32TextCodec : public TextCodec {
 public:
  std::string ToCp932(std::wstring_view text) const override;
  std::wstring FromCp932(std::string_view bytes) const override;
};

class Win32MessageBoxes : public MessageBoxes {
 public:
  explicit Win32MessageBoxes(HWND owner = nullptr) : owner_(owner) {}
  void set_owner(HWND owner) { owner_ = owner; }
  MessageAnswer Show(const std::wstring& text, const std::wstring& caption, MessageButtons buttons,
                     MessageIcon icon) override;

 private:
  HWND owner_;
};

}  // namespace pel::win32
