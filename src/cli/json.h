// The command line's JSON: a small writer, and the shapes of a folder's result and of a
// finding that --json prints.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "batch/batch.h"
#include "check/findings.h"

namespace pel::cli {

// One JSON document, built as text; commas and nesting are kept by the writer.
class Json {
 public:
  Json& Key(std::string_view key);
  Json& Open(wchar_t bracket);
  Json& Close(wchar_t bracket);
  Json& String(std::string_view ascii) { return Text(std::wstring(ascii.begin(), ascii.end())); }
  // Text, in ASCII; a byte of a system name that was not UTF-8 shows as \\xHH.
  Json& Text(std::wstring_view text);
  Json& Bytes(std::string_view cp932);
  Json& Number(long long n);
  Json& Bool(bool b);
  Json& Null();
  Json& NumberOrNull(int n) { return n > 0 ? Number(n) : Null(); }
  const std::wstring& str() const { return out_; }
  // The text written so far, handed over to be printed; the document goes on after it.
  std::wstring Take() { return std::exchange(out_, {}); }

 private:
  Json& Literal(std::wstring_view text);
  void Comma();
  std::wstring out_;
  bool fresh_ = true;    // nothing yet in the current object or array: no comma before the next value
  bool started_ = false;
};

void WriteFinding(Json& j, const Finding& f);
// kind, message, and where they apply file, line, record, field, value.
Json& WriteError(Json& j, const Outcome& e);
// source, destination, written, error, counts, findings.
void WriteFolder(Json& j, const FolderResult& r);

}  // namespace pel::cli
