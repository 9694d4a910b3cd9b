// The findings of one conversion in plain types, so that two builds of the converter
// (the one under test and an earlier one, built under another namespace) can be compared
// in one program.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace differential {

struct Finding {
  int kind, severity, source;
  std::wstring file;
  int line, record, field, section, row;
  std::string text, output;
  int count;
  std::wstring message;
  bool operator==(const Finding&) const = default;
};

struct Result {
  bool written = false;
  std::string bytes;
  int error = -1;  // the error's kind, when nothing was written
  std::vector<Finding> findings;
};

// titl01.txt, X1.txt, X5.txt and X100.txt (an empty text: the file is absent).
Result ConvertWithEarlierBuild(const std::array<std::string, 4>& files);

}  // namespace differential
