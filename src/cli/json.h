// The command line's JSON: a small writer, and the shapes of a folder's result and of a
// finding that --json prints.
#pragma once

#include <string>
#include <string_view>

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
  // Text; a character the system gave as an undecodable byte shows as U+FFFD.
  Json& Text(std::wstring_view text);
  Json& Bytes(std::string_view cp932);
  Json& Number(long long n);
  Json& Bool(bool b);
  Json& Null();
  Json& NumberOrNull(int n) { return n > 0 ? Number(n) : Null(); }
  const std::wstring& str() const { return out_; }

 private:
  Json& Literal(std::wstring_view text);
  void Comma();
  std::wstring out_;
  bool fresh_ = true;
};

void WriteFinding(Json& j, const Finding& f);
// source, destination, written, error, counts, findings.
void WriteFolder(Json& j, const FolderResult& r);

}  // namespace pel::cli
