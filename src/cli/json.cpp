#include "cli/json.h"

#include <algorithm>
#include <cstdint>

#include "util/cp932.h"
#include "util/shown_text.h"

namespace pel::cli {

Json& Json::Key(std::string_view key) {
  String(key);
  out_ += L':';
  fresh_ = true;
  return *this;
}

Json& Json::Open(wchar_t bracket) {
  Comma();
  out_ += bracket;
  fresh_ = true;
  return *this;
}

Json& Json::Close(wchar_t bracket) {
  out_ += bracket;
  fresh_ = false;
  return *this;
}

// Only ASCII is written: everything else as \u escapes (a pair of them beyond U+FFFF), so
// that no code page on the way can garble it.
Json& Json::Text(std::wstring_view text) {
  Comma();
  out_ += L'"';
  auto unit = [&](unsigned u) {
    static constexpr wchar_t kHex[] = L"0123456789abcdef";
    out_ += L"\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out_ += kHex[(u >> shift) & 15];
  };
  for (wchar_t c : text) {
    const auto u = static_cast<std::uint32_t>(c);
    switch (c) {
      case L'"': out_ += L"\\\""; break;
      case L'\\': out_ += L"\\\\"; break;
      case L'\n': out_ += L"\\n"; break;
      case L'\r': out_ += L"\\r"; break;
      case L'\t': out_ += L"\\t"; break;
      default:
        if (IsUndecodableByte(c)) {
          // A byte of a system name that was not UTF-8, as \xHH (its backslash escaped).
          out_ += L'\\' + EscapeForDisplay(std::wstring_view(&c, 1));
        } else if (u < 0x20 || u >= 0x7F) {
          if (u > 0xFFFF) {
            unit(0xD800 + ((u - 0x10000) >> 10));
            unit(0xDC00 + ((u - 0x10000) & 0x3FF));
          } else {
            unit(u);
          }
        } else {
          out_ += c;
        }
    }
  }
  out_ += L'"';
  fresh_ = false;
  return *this;
}

Json& Json::Bytes(std::string_view cp932) { return Text(Cp932ToWide(cp932)); }
Json& Json::Number(long long n) { return Literal(std::to_wstring(n)); }
Json& Json::Bool(bool b) { return Literal(b ? L"true" : L"false"); }
Json& Json::Null() { return Literal(L"null"); }

Json& Json::Literal(std::wstring_view text) {
  Comma();
  out_ += text;
  fresh_ = false;
  return *this;
}

void Json::Comma() {
  if (!fresh_ && started_) out_ += L',';
  fresh_ = false;
  started_ = true;
}

void WriteFinding(Json& j, const Finding& f) {
  j.Open(L'{');
  j.Key("kind").String(InfoOf(f.kind).code);
  j.Key("severity").String(f.severity == Severity::kInfo ? "info" : "warning");
  j.Key("file").Text(f.file);
  j.Key("line").NumberOrNull(f.line);
  j.Key("record").NumberOrNull(f.record);
  j.Key("field").NumberOrNull(f.field);
  j.Key("row").NumberOrNull(f.row);
  j.Key("text").Text(Cp932ToWide(f.text) + (f.text_cut ? std::wstring(1, kCutMark) : std::wstring()));
  if (f.text_cut) j.Key("text_cut").Bool(true);
  j.Key("output");
  f.output.empty() ? j.Null() : j.String(f.output);
  j.Key("message").Text(f.message);
  if (f.count >= 0) j.Key("count").Number(f.count);
  j.Close(L'}');
}

Json& WriteError(Json& j, const Outcome& e) {
  j.Open(L'{');
  j.Key("kind").String(InfoOf(e.kind).code);
  j.Key("message").Text(DescribeOutcomeOnOneLine(e));
  if (!e.path.empty()) j.Key("file").Text(e.path);
  if (e.line > 0) j.Key("line").Number(e.line);
  if (e.record > 0) j.Key("record").Number(e.record);
  if (e.field > 0) j.Key("field").Number(e.field);
  if (e.kind == OutcomeKind::kValueTooWide) {
    j.Key("value").Text(Cp932ToWide(e.value) + (e.value_cut ? std::wstring(1, kCutMark) : std::wstring()));
    if (e.value_cut) j.Key("value_cut").Bool(true);
  }
  return j.Close(L'}');
}

void WriteFolder(Json& j, const FolderResult& r) {
  j.Open(L'{');
  j.Key("source").Text(r.source);
  j.Key("destination");
  r.destination ? j.Text(*r.destination) : j.Null();
  j.Key("written").Bool(r.written);
  j.Key("error");
  r.error ? WriteError(j, *r.error) : j.Null();
  j.Key("counts");
  if (r.report) {
    const ConversionCounts& n = r.report->counts;
    j.Open(L'{');
    j.Key("layers").Number(n.layers).Key("layers_written").Number(n.layers_written);
    j.Key("x5").Number(n.x5).Key("x100").Number(n.x100);
    j.Key("points").Number(n.points).Key("points_written").Number(n.points_written);
    j.Close(L'}');
  } else {
    j.Null();
  }
  j.Key("findings").Open(L'[');
  if (r.report) {
    for (const Finding& f : r.report->findings) WriteFinding(j, f);
  }
  j.Close(L']');
  j.Close(L'}');
}

}  // namespace pel::cli
