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
// Values keep the file's bytes exactly; nothing is decoded. Each byte of the data is
// looked at once, the end mark included: the reader finds it as it comes to it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pel {

// The byte that ends a file's data.
inline constexpr char kEndOfFileMark = '\x1A';

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
  explicit FieldReader(std::string_view bytes) : bytes_(bytes), end_(bytes.size()) {}

  // True when only spaces, tabs and line ends remain before the data's end.
  bool AtEnd();

  // Where the next field will start: past the blanks before it (and at a line's start
  // past blank lines), as its span will say.
  std::size_t NextFieldStart();

  // The next field's value, as a view into the file's bytes, or into `scratch` when the
  // value had to be joined (text after a closing quote); valid until the next call. At
  // end it gives the empty text.
  std::string_view ReadField(std::string& scratch, FieldSpan& span);
  std::string ReadField();

  // Moves past the next field.
  void SkipField(FieldSpan& span);
  void SkipField();

  // The data as far as the reader knows it: up to the end mark once it has come to it.
  std::string_view data() const { return bytes_.substr(0, end_); }
  // Where the next field begins, or blanks before it.
  std::size_t position() const { return pos_; }
  // Goes on at `pos`, the first byte after a separator (a line end where `line_start`),
  // as if the fields before it were read: for what a RecordScan took.
  void MoveTo(std::size_t pos, bool line_start) {
    pos_ = pos;
    at_line_start_ = line_start;
    content_known_ = false;
  }

  // The first 0x1A, once the reader has come to it.
  std::optional<std::size_t> end_mark() const { return end_ < bytes_.size() ? std::optional(end_) : std::nullopt; }

 private:
  // A value is the first part, then the second (text after a closing quote).
  struct Parts {
    std::string_view first;
    std::string_view second;
    FieldSpan span;
  };
  Parts Scan();
  // The first byte at or after `from` that is `a`, `b` or `c`, or the end mark (which
  // then ends the data); end_ when there is none.
  std::size_t Find(std::size_t from, char a, char b, char c);

  std::string_view bytes_;
  std::size_t end_;        // the data's end: the first 0x1A once found, else the file's end
  std::size_t pos_ = 0;
  bool at_line_start_ = true;
  std::size_t content_ = 0;      // what AtEnd found: the first byte from pos_ that is no blank or line end
  bool content_known_ = false;   // content_ is for the present pos_
};

// The same search, byte by byte: the reference the vectorised one is checked against.
std::size_t FindPlain(std::string_view bytes, std::size_t from, char a, char b, char c, char d);
// The first of `a`..`d` at or after `from`, 16 bytes at a time where the machine has
// SSE2 (every x86-64 one); bytes.size() when there is none.
std::size_t FindAny(std::string_view bytes, std::size_t from, char a, char b, char c, char d);

}  // namespace pel
