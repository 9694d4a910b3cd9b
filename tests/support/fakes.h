// Fakes of the ports other than the file system: code page 932, drives, message
// boxes and the window as the run sees it.
#pragma once

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/drives.h"
#include "platform/message_boxes.h"
#include "platform/process.h"
#include "platform/text_codec.h"
#include "run/conversion_run.h"
#include "support/cp932_cases.h"

namespace pel::testing {

// Code page 932 for ASCII and the characters of kCp932Cases.
class FakeTextCodec : public TextCodec {
 public:
  std::string ToCp932(std::wstring_view text) const override {
    std::string bytes;
    for (wchar_t c : text) {
      if (c < 0x80) {
        bytes += static_cast<char>(c);
        continue;
      }
      std::string mapped = "?";
      for (const auto& known : kCp932Cases) {
        if (known.text[0] == c && known.text[1] == 0) mapped = known.bytes;
      }
      bytes += mapped;
    }
    return bytes;
  }
  std::wstring FromCp932(std::string_view bytes) const override {
    std::wstring text;
    for (std::size_t i = 0; i < bytes.size();) {
      bool found = false;
      for (const auto& known : kCp932Cases) {
        const std::string_view b(known.bytes);
        if (known.text[1] == 0 && b != "?" && (b.size() == 2 || static_cast<unsigned char>(b[0]) >= 0x80) &&
            bytes.substr(i, b.size()) == b) {
          text += known.text[0];
          i += b.size();
          found = true;
          break;
        }
      }
      if (!found) text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i++]) < 0x80 ? bytes[i - 1] : L'・');
    }
    return text;
  }
};

// Drives: `existing` letters, of which `ready` can be read. Each drive has its own
// current folder; making one current records it.
class FakeDrives : public Drives {
 public:
  explicit FakeDrives(std::wstring ready = L"CDZ", std::wstring existing = L"")
      : ready_(std::move(ready)), existing_(existing.empty() ? ready_ : std::move(existing)) {}
  bool MakeDriveCurrent(wchar_t letter) override {
    const wchar_t upper = letter >= L'a' && letter <= L'z' ? static_cast<wchar_t>(letter - 32) : letter;
    if (!IsDriveReady(upper)) return false;
    current = upper;
    return true;
  }
  bool IsDriveReady(wchar_t letter) const override { return ready_.find(letter) != std::wstring::npos; }
  std::wstring DriveLetters() const override { return existing_; }
  std::wstring VolumeLabel(wchar_t letter) const override { return IsDriveReady(letter) ? L"DATA" : L""; }
  std::wstring CurrentFolderOf(wchar_t letter) const override {
    auto it = folders.find(letter);
    return it != folders.end() ? it->second : std::wstring{letter, L':', L'\\'};
  }
  std::wstring CurrentFolder() const override { return CurrentFolderOf(current); }
  bool MakeFolderCurrent(const std::wstring& folder) override {
    if (folder.size() < 2 || !MakeDriveCurrent(folder[0])) return false;
    folders[current] = folder;
    return true;
  }

  wchar_t current = L'C';
  std::map<wchar_t, std::wstring> folders;

 private:
  std::wstring ready_;
  std::wstring existing_;
};

struct ShownMessage {
  std::wstring text;
  std::wstring caption;
  MessageButtons buttons;
  MessageIcon icon;
};

// Records every box; answers Yes/No questions from a queue (No when it is empty).
class FakeMessageBoxes : public MessageBoxes {
 public:
  MessageAnswer Show(const std::wstring& text, const std::wstring& caption, MessageButtons buttons,
                     MessageIcon icon) override {
    shown.push_back({text, caption, buttons, icon});
    if (buttons == MessageButtons::kOk) return MessageAnswer::kOk;
    if (answers.empty()) return MessageAnswer::kNo;
    const MessageAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  std::vector<ShownMessage> shown;
  std::deque<MessageAnswer> answers;
};

class FakeRunWindow : public RunWindow {
 public:
  std::wstring Text(PathBox box) const override { return box == PathBox::kText1 ? text1 : text2; }
  void FocusAndSelectAll(PathBox box) override { focused = box == PathBox::kText1 ? L"Text1" : L"Text2"; }
  void SetStatus(const std::wstring& text) override {
    status = text;
    statuses.push_back(text);
  }
  void SetBusyPointer(bool busy) override {
    this->busy = busy;
    pointer_changes.push_back(busy);
  }
  void RefreshFileList() override { ++refreshes; }

  std::wstring text1, text2, status, focused;
  std::vector<std::wstring> statuses;
  std::vector<bool> pointer_changes;
  bool busy = false;
  int refreshes = 0;
};

class FakeProcess : public ProcessEnvironment {
 public:
  std::wstring ProgramFolder() const override { return program_folder; }
  std::wstring Variable(const std::wstring& name) const override {
    ++variable_reads;
    auto it = variables.find(name);
    return it == variables.end() ? std::wstring() : it->second;
  }
  void LetEventsRun() override { ++event_runs; }

  std::wstring program_folder = L"C:\\Program Files\\pel";
  std::map<std::wstring, std::wstring> variables;
  mutable int variable_reads = 0;
  int event_runs = 0;
};

class FakeHelpViewer : public HelpViewer {
 public:
  void Invoke(const std::wstring& help_file, unsigned command, unsigned long data) override {
    calls.push_back(help_file + L"|" + std::to_wstring(command) + L"|" + std::to_wstring(data));
  }
  std::vector<std::wstring> calls;
};

}  // namespace pel::testing
