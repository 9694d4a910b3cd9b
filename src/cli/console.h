// The command line's two output streams, as the platform gives them: on a Windows
// console through WriteConsoleW; elsewhere as bytes with LF line ends, UTF-8 on Linux and
// in the console's or the system's code page on Windows.
#pragma once

#include <string_view>

namespace pel::cli {

enum class Stream { kOut, kErr };

class Console {
 public:
  virtual ~Console() = default;
  // Writes text with "\n" line ends; false where the stream has gone away (a closed
  // pipe), so that nothing more need be written to it.
  virtual bool Write(Stream stream, std::wstring_view text) = 0;
  // True when the stream is a terminal that a person watches (for the progress line).
  virtual bool IsTerminal(Stream stream) const = 0;
  // From now on, text that does not go to a console is UTF-8 whatever the system's code
  // page (--utf8); where text is always UTF-8 there is nothing to do.
  virtual void UseUtf8() {}
};

}  // namespace pel::cli
