// FieldReader: the sequential reader of comma- and line-separated fields through
// which every source file of a borehole export is taken apart.
//
// Field syntax:
//  - A field ends at a comma or a line end (CR LF, lone LF and lone CR each count as
//    one line end). Spaces and tabs before a field are skipped; an unquoted field has
//    its trailing spaces and tabs trimmed.
//  - A field that begins with a double quote runs to the next double quote (it may
//    span lines); text between the closing quote and the next separator is appended,
//    its trailing spaces and tabs trimmed. A quote that is never closed runs to the end.
//    A double quote inside an unquoted field is an ordinary character.
//  - Two separators in a row give an empty field; a blank line gives no field.
//  - The data end at the first byte 0x1A, if any. The reader is at end when only
//    spaces, tabs and line ends remain.
// Values keep the file's bytes exactly; nothing is decoded.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pel {

// Where a field lies in the file's bytes, so that a message can name its line.
struct FieldSpan {
  std::size_t start = 0;  // its first byte: the opening quote, or for an empty field the
                          // separator that ends it (the data's end when there is none)
  std::size_t end = 0;    // the separator that ends it, or the data's end
  char separator = 0;     // ',', '\r' or '\n'; 0 at the data's end
  bool quoted = false;
  bool unclosed = false;  // a quote that is never closed: the field took the rest of the data
};

class FieldReader {
 public:
  explicit FieldReader(std::string_view bytes);

  // True when only spaces, tabs and line ends remain.
  bool AtEnd() const;

  // The next field's value. At end it gives the empty text.
  std::string ReadField();

  // The same, as a view into the file's bytes, or into `scratch` when the value had to
  // be joined (text after a closing quote). Valid until the next call.
  std::string_view ReadField(std::string& scratch);

  // The same, with where the field lay.
  std::string_view ReadField(std::string& scratch, FieldSpan& span);

  // Moves past the next field.
  void SkipField();
  // The same, with where the field lay.
  void SkipField(FieldSpan& span);

  // The bytes the fields are read from: the file up to its first 0x1A, if any.
  std::string_view data() const { return data_; }

 private:
  // A value is the first part, then the second (text after a closing quote).
  struct Parts {
    std::string_view first;
    std::string_view second;
    FieldSpan span;
  };
  Parts Scan();

  std::string_view data_;
  std::size_t pos_ = 0;
  bool at_line_start_ = true;
};

}  // namespace pel
