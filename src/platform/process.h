// The process's surroundings: its program folder, its environment, its message queue.
#pragma once

#include <string>

namespace pel {

class ProcessEnvironment {
 public:
  virtual ~ProcessEnvironment() = default;
  // The folder of the program file, without a trailing "\" unless it is a drive root.
  virtual std::wstring ProgramFolder() const = 0;
  // The value of an environment variable; empty when it is not set.
  virtual std::wstring Variable(const std::wstring& name) const = 0;
  // Lets the window events that are waiting run once.
  virtual void LetEventsRun() = 0;
};

// The platform's help viewer (WinHelp on Windows), called with a help file, a command
// and a data value.
class HelpViewer {
 public:
  virtual ~HelpViewer() = default;
  virtual void Invoke(const std::wstring& help_file, unsigned command, unsigned long data) = 0;
};

}  // namespace pel
