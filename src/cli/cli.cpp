#include "cli/cli.h"

#include <algorithm>
#include <map>
#include <optional>

#include "util/folder_paths.h"
#include "run/conversion.h"
#include "util/cp932.h"
#include "util/message_lines.h"
#include "util/user_texts.h"

#ifndef PEL_VERSION
#define PEL_VERSION "0.0.0"
#endif

namespace pel::cli {
namespace {

constexpr wchar_t kVersion[] = L"" PEL_VERSION;

// --- What one folder came to ------------------------------------------------------

struct FolderError {
  std::string kind;  // stable, for JSON
  std::wstring message;
  std::wstring file;
  int record = 0, field = 0;
  std::string value;  // source bytes
};

struct FolderResult {
  std::wstring source;
  std::optional<std::wstring> destination;
  bool written = false;
  std::optional<FolderError> error;
  std::optional<ConversionReport> report;
};

FolderError Failure(std::string kind, std::wstring message, std::wstring file) {
  FolderError e;
  e.kind = std::move(kind);
  e.message = std::move(message);
  e.file = std::move(file);
  return e;
}

constexpr const char* ErrorKindCode(ConversionError::Kind kind) {
  switch (kind) {
    case ConversionError::Kind::kUnreadable: return "unreadable";
    case ConversionError::Kind::kTooManyRecords: return "too-many-records";
    case ConversionError::Kind::kTooManyPoints: return "too-many-points";
    case ConversionError::Kind::kValueTooWide: return "value-too-wide";
    case ConversionError::Kind::kWriteFailed: return "write-failed";
    case ConversionError::Kind::kFolderUnreadable: return "folder-unreadable";
  }
  return "unknown";
}

// A message on one line: the program's messages break lines for message boxes.
std::wstring OneLine(std::wstring text) {
  std::replace(text.begin(), text.end(), L'\n', L' ');
  return text;
}

FolderError FromConversionError(const ConversionError& error) {
  FolderError e;
  e.kind = ErrorKindCode(error.kind);
  e.message = OneLine(DescribeConversionError(error));
  e.file = error.path;
  e.record = error.record;
  e.field = error.field;
  e.value = error.value;
  return e;
}

// A text that came from the system holds U+DC80+byte for a byte that was not UTF-8.
bool HasUndecodableBytes(std::wstring_view text) {
  return std::any_of(text.begin(), text.end(), [](wchar_t c) { return c >= 0xDC80 && c <= 0xDCFF; });
}

wchar_t FoldCase(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; }

bool EndsWithTxt(const std::wstring& path) {
  if (path.size() < 4) return false;
  std::wstring end = path.substr(path.size() - 4);
  std::transform(end.begin(), end.end(), end.begin(), FoldCase);
  return end == L".txt";
}

// --- JSON ----------------------------------------------------------------------------

// One JSON document, built as text; the console writes it as UTF-8.
class Json {
 public:
  Json& Key(std::string_view key) {
    Ascii(key);
    out_ += L':';
    fresh_ = true;
    return *this;
  }
  Json& Open(wchar_t bracket) {
    Comma();
    out_ += bracket;
    fresh_ = true;
    return *this;
  }
  Json& Close(wchar_t bracket) {
    out_ += bracket;
    fresh_ = false;
    return *this;
  }
  Json& String(std::string_view ascii) { return Ascii(ascii); }
  // Text; a character the system gave as an undecodable byte shows as U+FFFD.
  Json& Text(std::wstring_view text) {
    Comma();
    out_ += L'"';
    for (wchar_t c : text) {
      switch (c) {
        case L'"': out_ += L"\\\""; break;
        case L'\\': out_ += L"\\\\"; break;
        case L'\n': out_ += L"\\n"; break;
        case L'\r': out_ += L"\\r"; break;
        case L'\t': out_ += L"\\t"; break;
        default:
          if (c < 0x20) {
            static constexpr wchar_t kHex[] = L"0123456789abcdef";
            out_ += L"\\u00";
            out_ += kHex[c >> 4];
            out_ += kHex[c & 15];
          } else {
            out_ += c >= 0xDC80 && c <= 0xDCFF ? wchar_t{0xFFFD} : c;
          }
      }
    }
    out_ += L'"';
    fresh_ = false;
    return *this;
  }
  Json& Bytes(std::string_view cp932) { return Text(Cp932ToWide(cp932)); }
  Json& Number(long long n) {
    Comma();
    out_ += std::to_wstring(n);
    fresh_ = false;
    return *this;
  }
  Json& Bool(bool b) {
    Comma();
    out_ += b ? L"true" : L"false";
    fresh_ = false;
    return *this;
  }
  Json& Null() {
    Comma();
    out_ += L"null";
    fresh_ = false;
    return *this;
  }
  Json& NumberOrNull(int n) { return n > 0 ? Number(n) : Null(); }
  const std::wstring& str() const { return out_; }

 private:
  Json& Ascii(std::string_view text) { return Text(std::wstring(text.begin(), text.end())); }
  void Comma() {
    if (!fresh_ && !out_.empty()) out_ += L',';
    fresh_ = false;
  }
  std::wstring out_;
  bool fresh_ = true;
};

void WriteFinding(Json& j, const Finding& f) {
  j.Open(L'{');
  j.Key("kind").String(InfoOf(f.kind).code);
  j.Key("severity").String(f.severity == Severity::kInfo ? "info" : "warning");
  j.Key("file").Text(f.file);
  j.Key("line").Number(f.line);
  j.Key("record").NumberOrNull(f.record);
  j.Key("field").NumberOrNull(f.field);
  j.Key("row").NumberOrNull(f.row);
  j.Key("text").Bytes(f.text);
  j.Key("output");
  f.output.empty() ? j.Null() : j.String(f.output);
  j.Key("message").Text(f.message);
  if (f.count >= 0) j.Key("count").Number(f.count);
  j.Close(L'}');
}

void WriteFolder(Json& j, const FolderResult& r) {
  j.Open(L'{');
  j.Key("source").Text(r.source);
  j.Key("destination");
  r.destination ? j.Text(*r.destination) : j.Null();
  j.Key("written").Bool(r.written);
  j.Key("error");
  if (r.error) {
    j.Open(L'{');
    j.Key("kind").String(r.error->kind);
    j.Key("message").Text(r.error->message);
    if (!r.error->file.empty()) j.Key("file").Text(r.error->file);
    if (r.error->record > 0) j.Key("record").Number(r.error->record);
    if (r.error->field > 0) j.Key("field").Number(r.error->field);
    if (r.error->kind == "value-too-wide") j.Key("value").Bytes(r.error->value);
    j.Close(L'}');
  } else {
    j.Null();
  }
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

// --- The commands ------------------------------------------------------------------

class Cli {
 public:
  explicit Cli(CliPorts& ports) : ports_(ports) {}
  int Run(const std::vector<std::wstring>& args);

 private:
  int Usage(const wchar_t* reason) {
    Err(texts::FillText(texts::kCliUsage, {reason}) + L"\n");
    return kExitUsage;
  }
  void Out(std::wstring_view text) {
    ClearProgress();
    ports_.console.Write(Stream::kOut, text);
  }
  void Err(std::wstring_view text) {
    ClearProgress();
    ports_.console.Write(Stream::kErr, text);
  }
  void Progress(std::size_t done, std::size_t total, const std::wstring& name);
  void ClearProgress();

  std::wstring Join(const std::wstring& folder, const std::wstring& name) const {
    if (!folder.empty() && (folder.back() == ports_.separator || folder.back() == L'/')) return folder + name;
    return folder + ports_.separator + name;
  }
  std::wstring Trimmed(std::wstring folder) const {
    while (folder.size() > 1 && (folder.back() == ports_.separator || folder.back() == L'/')) folder.pop_back();
    return folder;
  }
  std::optional<FolderError> CreateFoldersFor(const std::wstring& file);
  FolderResult ConvertOne(const std::wstring& source, const std::optional<std::wstring>& destination,
                          bool make_folders = true);
  void Report(const FolderResult& r);
  int Single(const std::wstring& source, const std::optional<std::wstring>& destination);
  int Batch(const std::wstring& parent, const std::wstring& output, bool recursive);
  std::vector<std::wstring> BoreholeFolders(const std::wstring& parent, bool recursive,
                                            std::vector<FolderResult>& unreadable);
  bool HoldsBoreholeFiles(const std::vector<FolderEntry>& entries) const;

  CliPorts& ports_;
  bool json_ = false;
  std::size_t progress_columns_ = 0;  // the width of the progress line on the screen; 0: none
};

int Cli::Run(const std::vector<std::wstring>& args) {
  std::vector<std::wstring> words;
  bool recursive = false;
  for (const auto& a : args) {
    if (a == L"--help" || a == L"-h" || a == L"/?") {
      Out(texts::FillText(texts::kCliHelp, {kVersion}));
      return kExitClean;
    }
    if (a == L"--version") {
      Out(std::wstring(L"pelmora2liq-cli ") + kVersion + L"\n");
      return kExitClean;
    }
    if (a == L"--json") {
      json_ = true;
    } else if (a == L"--recursive") {
      recursive = true;
    } else if (a.size() > 1 && a[0] == L'-' && a[1] == L'-') {
      return Usage((std::wstring(texts::kCliUnknownOption) + L": " + a).c_str());
    } else {
      words.push_back(a);
    }
  }
  if (words.empty()) return Usage(texts::kCliUnknownCommand);
  const std::wstring& command = words[0];
  if (recursive && command != L"batch") return Usage((std::wstring(texts::kCliUnknownOption) + L": --recursive").c_str());
  if (command == L"convert" && words.size() == 3) {
    std::wstring destination = words[2];
    if (!EndsWithTxt(destination)) destination += L".txt";
    return Single(words[1], destination);
  }
  if (command == L"check" && words.size() == 2) return Single(words[1], std::nullopt);
  if (command == L"batch" && words.size() == 3) return Batch(words[1], words[2], recursive);
  if (command == L"convert" || command == L"check" || command == L"batch") return Usage(texts::kCliWrongArguments);
  return Usage((std::wstring(texts::kCliUnknownCommand) + L": " + command).c_str());
}

// Creates the folders above `file` that are missing, outermost first.
std::optional<FolderError> Cli::CreateFoldersFor(const std::wstring& file) {
  const std::size_t last = file.find_last_of(ports_.separator == L'\\' ? L"\\/" : L"/");
  if (last == std::wstring::npos || last == 0) return std::nullopt;
  const std::wstring folder = file.substr(0, last);
  // Pieces of a network path's \\server\share, and a drive's root, are never made.
  std::size_t from = folder.rfind(L"\\\\", 0) == 0 ? folder.find_first_of(L"\\/", folder.find_first_of(L"\\/", 2) + 1)
                                                   : 0;
  if (from == std::wstring::npos) return std::nullopt;
  for (std::size_t cut = folder.find_first_of(L"\\/", from + 1);; cut = folder.find_first_of(L"\\/", cut + 1)) {
    const std::wstring level = folder.substr(0, cut);
    const bool is_drive = level.size() == 2 && level[1] == L':';
    if (!level.empty() && !is_drive && !ports_.fs.EntryExists(level)) {
      if (auto made = ports_.fs.CreateFolder(level); !made) {
        FolderError e;
        e.kind = "write-failed";
        e.message = OneLine(texts::FillText(texts::kCannotCreateFolder, {level, made.error().reason}));
        e.file = level;
        return e;
      }
    }
    if (cut == std::wstring::npos) break;
  }
  return std::nullopt;
}

FolderResult Cli::ConvertOne(const std::wstring& source, const std::optional<std::wstring>& destination,
                             bool make_folders) {
  FolderResult r;
  r.source = source;
  r.destination = destination;
  auto prepared = PrepareBorehole(ports_.fs, source, FolderRule::kMustBeReadable);
  if (!prepared) {
    r.error = FromConversionError(prepared.error());
    return r;
  }
  if (destination) {
    if (auto failed = make_folders ? CreateFoldersFor(*destination) : std::nullopt) {
      r.error = std::move(failed);
      return r;
    }
    if (auto written = WritePreparedFile(ports_.fs, *prepared, *destination); !written) {
      r.error = FromConversionError(written.error());
      return r;
    }
    r.written = true;
  }
  r.report = std::move(prepared->report);
  return r;
}

// Findings as FOLDER\FILE:LINE: 警告: message, which terminals and editors can follow;
// an error as FOLDER: エラー: message on the error stream.
void Cli::Report(const FolderResult& r) {
  const std::wstring folder = Trimmed(r.source);
  if (r.error) {
    Err(folder + L": " + texts::kCliError + L": " + r.error->message + L"\n");
    return;
  }
  std::wstring text;
  for (const Finding& f : r.report->findings) {
    text += Join(folder, f.file) + L":" + std::to_wstring(f.line) + L": " +
            (f.severity == Severity::kInfo ? texts::kCliInfo : texts::kCliWarning) + L": " + f.message + L"\n";
  }
  if (!text.empty()) Out(text);
}

int StatusOf(const FolderResult& r) {
  if (r.error) return kExitFailed;
  return r.report->warnings() > 0 ? kExitWarnings : kExitClean;
}

int Cli::Single(const std::wstring& source, const std::optional<std::wstring>& destination) {
  const FolderResult r = ConvertOne(source, destination);
  if (json_) {
    Json j;
    WriteFolder(j, r);
    Out(j.str() + L"\n");
    if (r.error) Report(r);
  } else {
    Report(r);
  }
  return StatusOf(r);
}

bool Cli::HoldsBoreholeFiles(const std::vector<FolderEntry>& entries) const {
  for (const auto& e : entries) {
    if (e.is_folder) continue;
    for (const wchar_t* name : kSourceFileNames) {
      const std::wstring_view wanted(name);
      if (e.name.size() == wanted.size() &&
          std::equal(wanted.begin(), wanted.end(), e.name.begin(),
                     [](wchar_t a, wchar_t b) { return FoldCase(a) == FoldCase(b); })) {
        return true;
      }
    }
  }
  return false;
}

// The folders below `parent` (directly inside, or at any depth) that hold a borehole
// file, as paths relative to it. Links and junctions are never followed.
std::vector<std::wstring> Cli::BoreholeFolders(const std::wstring& parent, bool recursive,
                                               std::vector<FolderResult>& unreadable) {
  std::vector<std::wstring> found;
  std::vector<std::wstring> pending{L""};
  while (!pending.empty()) {
    const std::wstring relative = std::move(pending.back());
    pending.pop_back();
    const std::wstring folder = relative.empty() ? parent : Join(parent, relative);
    auto entries = ports_.fs.ListFolder(WithBackslash(folder));
    if (!entries) {
      FolderResult r;
      r.source = folder;
      r.error = Failure("folder-unreadable",
                            texts::FillText(texts::kCliFolderUnreadable, {folder, entries.error().reason}), folder);
      unreadable.push_back(std::move(r));
      continue;
    }
    if (!relative.empty() && HoldsBoreholeFiles(*entries)) found.push_back(relative);
    if (!relative.empty() && !recursive) continue;
    for (const auto& e : *entries) {
      if (!e.is_folder || e.is_reparse_point || e.name == L"." || e.name == L"..") continue;
      pending.push_back(relative.empty() ? e.name : Join(relative, e.name));
    }
  }
  std::sort(found.begin(), found.end());  // ordinal order of the relative paths
  return found;
}

int Cli::Batch(const std::wstring& parent, const std::wstring& output, bool recursive) {
  // Only the JSON document needs every folder's result at the end; text goes out as it comes.
  std::vector<FolderResult> kept;
  int total = 0, converted = 0, with_warnings = 0, failed = 0, status = kExitClean;
  auto tally = [&](FolderResult r) {
    ++total;
    converted += r.written;
    with_warnings += r.written && r.report->warnings() > 0;
    failed += r.error.has_value();
    status = std::max(status, StatusOf(r));
    if (!json_) {
      Report(r);
      return;
    }
    if (r.error) Err(Trimmed(r.source) + L": " + texts::kCliError + L": " + r.error->message + L"\n");
    kept.push_back(std::move(r));
  };
  std::vector<FolderResult> unreadable;
  const std::vector<std::wstring> folders = BoreholeFolders(parent, recursive, unreadable);
  for (auto& r : unreadable) tally(std::move(r));

  // Output names that two folders share, without regard to letter case: an error for both.
  auto leaf = [](const std::wstring& relative) {
    const std::size_t cut = relative.find_last_of(L"\\/");
    return cut == std::wstring::npos ? relative : relative.substr(cut + 1);
  };
  std::map<std::wstring, std::vector<std::size_t>> by_output;
  for (std::size_t i = 0; i < folders.size(); ++i) {
    std::wstring key = leaf(folders[i]);
    std::transform(key.begin(), key.end(), key.begin(), FoldCase);
    by_output[key].push_back(i);
  }
  std::vector<std::size_t> clash_with(folders.size(), folders.size());
  for (const auto& [key, users] : by_output) {
    if (users.size() < 2) continue;
    for (std::size_t u = 0; u < users.size(); ++u) clash_with[users[u]] = users[u == 0 ? 1 : 0];
  }

  // The output folder is made once, before the first folder is converted.
  const std::optional<FolderError> no_output =
      folders.empty() ? std::nullopt : CreateFoldersFor(Join(output, L"x"));
  bool stopped = false;
  for (std::size_t i = 0; i < folders.size(); ++i) {
    if (ports_.stop.load()) {
      stopped = true;
      break;
    }
    if (ports_.console.IsTerminal(Stream::kErr) && !json_) Progress(i + 1, folders.size(), folders[i]);
    const std::wstring source = Join(parent, folders[i]);
    const std::wstring destination = Join(output, leaf(folders[i]) + L".txt");
    FolderResult r;
    r.source = source;
    if (clash_with[i] < folders.size()) {
      r.destination = destination;
      r.error = Failure("output-name-clash",
                        texts::FillText(texts::kCliOutputNameClash, {Join(parent, folders[clash_with[i]]), destination}),
                        destination);
    } else if (HasUndecodableBytes(folders[i])) {
      r.error = Failure("name-not-utf8", texts::kCliNameNotUtf8, source);
    } else if (no_output) {
      r.destination = destination;
      r.error = no_output;
    } else {
      r = ConvertOne(source, destination, false);
    }
    tally(std::move(r));
  }
  ClearProgress();
  if (stopped) status = kExitFailed;

  if (json_) {
    Json j;
    j.Open(L'{').Key("folders").Open(L'[');
    for (const auto& r : kept) WriteFolder(j, r);
    j.Close(L']');
    j.Key("summary").Open(L'{');
    j.Key("folders").Number(total).Key("converted").Number(converted);
    j.Key("with_warnings").Number(with_warnings).Key("failed").Number(failed);
    j.Close(L'}');
    j.Key("stopped").Bool(stopped);
    j.Close(L'}');
    Out(j.str() + L"\n");
  } else {
    Out(texts::FillText(texts::kCliSummary, {std::to_wstring(total), std::to_wstring(converted),
                                             std::to_wstring(with_warnings), std::to_wstring(failed)}) +
        L"\n");
  }
  if (stopped) Err(std::wstring(texts::kCliStopped) + L"\n");
  return status;
}

void Cli::Progress(std::size_t done, std::size_t total, const std::wstring& name) {
  ClearProgress();
  const std::wstring line = L"[" + std::to_wstring(done) + L"/" + std::to_wstring(total) + L"] " + name;
  ports_.console.Write(Stream::kErr, line);
  progress_columns_ = 0;
  for (wchar_t c : line) progress_columns_ += static_cast<std::size_t>(DisplayColumns(c));
}

// Blanks over the progress line, the cursor back at its start.
void Cli::ClearProgress() {
  if (progress_columns_ == 0) return;
  ports_.console.Write(Stream::kErr, L"\r" + std::wstring(progress_columns_, L' ') + L"\r");
  progress_columns_ = 0;
}

}  // namespace

std::wstring HelpText() { return texts::FillText(texts::kCliHelp, {kVersion}); }

int RunCli(const std::vector<std::wstring>& args, CliPorts& ports) { return Cli(ports).Run(args); }

}  // namespace pel::cli
