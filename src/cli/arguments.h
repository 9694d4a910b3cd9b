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
  std::wstring wrong;  // for kWrong: what is wrong, for the usage message
};

// --help and --version win over everything else; options may stand anywhere.
Command ParseArguments(const std::vector<std::wstring>& args);

}  // namespace pel::cli
