// The command line's words, read into one command.
#pragma once

#include <string>
#include <vector>

namespace pel::cli {

struct Command {
  enum class Kind { kHelp, kVersion, kConvert, kCheck, kBatch, kWrong };
  Kind kind = Kind::kWrong;
  std::vector<std::wstring> operands;  // the folders and files, in order
  bool json = false;
  bool recursive = false;
  bool utf8 = false;   // text not written to a console is UTF-8 whatever the code page
  std::wstring report;  // batch: the site report's file; empty for none
  std::wstring wrong;  // for kWrong: what is wrong, for the usage message
};

// --help and --version win over everything else; options may stand anywhere before "--",
// after which every word is an operand.
Command ParseArguments(const std::vector<std::wstring>& args);

}  // namespace pel::cli
