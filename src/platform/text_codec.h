// Code page 932 (Shift-JIS), the encoding of every file the program reads or writes and
// of the byte measures of a path. On Windows WideCharToMultiByte / MultiByteToWideChar
// with code page 932, whatever the system's own code page.
#pragma once

#include <string>
#include <string_view>

namespace pel {

class TextCodec {
 public:
  virtual ~TextCodec() = default;
  // A character that code page 932 cannot hold becomes one byte ("?").
  virtual std::string ToCp932(std::wstring_view text) const = 0;
  virtual std::wstring FromCp932(std::string_view bytes) const = 0;
};

}  // namespace pel
