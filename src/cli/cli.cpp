#include "cli/cli.h"

#include <cstdlib>
#include <ctime>
#include <utility>

#include "batch/batch.h"
#include "batch/site_feed.h"
#include "cli/arguments.h"
#include "cli/json.h"
#include "run/folder_levels.h"
#include "util/message_lines.h"
#include "util/shown_text.h"
#include "util/user_texts.h"

#ifndef PEL_VERSION
#define PEL_VERSION "0.0.0"
#endif

namespace pel::cli {
namespace {

constexpr wchar_t kVersion[] = L"" PEL_VERSION;

bool EndsWithTxt(const std::wstring& path) {
  if (path.size() < 4) return false;
  return SameNameIgnoringCase(path.substr(path.size() - 4), L".txt");
}

// A site report's date: now, in local time, unless fixed.
ReportTime ReportDate(const CliPorts& ports) {
  return SiteReportDate(ports.local_time ? ports.local_time() : ReportTime{static_cast<std::int64_t>(std::time(nullptr)), 0});
}

int StatusOf(const FolderResult& r) {
  if (r.error) return kExitFailed;
  return r.has_warnings() ? kExitWarnings : kExitClean;
}

class Cli : public BatchListener {
 public:
  explicit Cli(CliPorts& ports) : ports_(ports) {}
  int Run(const std::vector<std::wstring>& args);

  // BatchListener
  bool WantsToStop() const override { return out_closed_; }
  void Starting(std::size_t index, std::size_t total, const std::wstring& relative) override;
  void Finished(const FolderResult& result) override;

 private:
  // Nothing more goes to an output that has gone away (a closed pipe); a batch stops.
  void Out(std::wstring_view text) {
    ClearProgress();
    if (!out_closed_ && !ports_.console.Write(Stream::kOut, text)) out_closed_ = true;
  }
  void Err(std::wstring_view text) {
    ClearProgress();
    if (!err_closed_ && !ports_.console.Write(Stream::kErr, text)) err_closed_ = true;
  }
  void ClearProgress();
  // `folder` without separators at its end, as messages name it.
  std::wstring Trimmed(std::wstring folder) const {
    const std::wstring_view separators = SeparatorsFor(ports_.fs.Separator());
    while (folder.size() > 1 && separators.find(folder.back()) != std::wstring_view::npos) folder.pop_back();
    return folder;
  }
  void ReportError(const std::wstring& about, const Outcome& error) {
    Err(EscapeForDisplay(Trimmed(about)) + L": " + texts::kCliError + L": " + DescribeOutcomeOnOneLine(error) + L"\n");
  }
  void Report(const FolderResult& r);
  int Single(const std::wstring& source, const std::optional<std::wstring>& destination);
  int Batch(const std::wstring& parent, const std::wstring& output, bool recursive);
  // Saves the site report; why it could not be written (which it says), if it could not.
  std::optional<Outcome> SaveSiteReport(const std::wstring& parent, const std::wstring& output, const BatchSummary& summary);

  CliPorts& ports_;
  bool json_ = false;
  bool out_closed_ = false, err_closed_ = false;
  std::size_t progress_columns_ = 0;  // the width of the progress line on the screen; 0: none
  Json document_;                     // a batch's JSON, printed a folder at a time
  bool document_open_ = false;
  std::wstring report_file_;          // --report: where the site report goes
  std::optional<SiteReport> site_;    // what it shows, a folder at a time
  std::wstring relative_;             // the folder Starting named, until it is finished
  int status_ = kExitClean;
};

int Cli::Run(const std::vector<std::wstring>& args) {
  const Command command = ParseArguments(args);
  json_ = command.json;
  report_file_ = command.report;
  if (command.utf8) ports_.console.UseUtf8();
  const auto& operands = command.operands;
  switch (command.kind) {
    case Command::Kind::kHelp: Out(HelpText()); return kExitClean;
    case Command::Kind::kVersion: Out(std::wstring(L"pelmora2liq-cli ") + kVersion + L"\n"); return kExitClean;
    case Command::Kind::kConvert: {
      std::wstring destination = operands[1];
      if (!EndsWithTxt(destination)) destination += L".txt";
      return Single(operands[0], destination);
    }
    case Command::Kind::kCheck: return Single(operands[0], std::nullopt);
    case Command::Kind::kBatch: return Batch(operands[0], operands[1], command.recursive);
    case Command::Kind::kWrong: break;
  }
  Err(texts::FillText(texts::kCliUsage, {command.wrong}) + L"\n");
  return kExitUsage;
}

// Findings as FOLDER/FILE:LINE: 警告: message, which terminals and editors can follow;
// an error as FOLDER: エラー: message on the error stream.
void Cli::Report(const FolderResult& r) {
  if (r.error) {
    ReportError(r.source, *r.error);
    return;
  }
  const std::wstring folder = Trimmed(r.source);
  std::wstring text;
  for (const Finding& f : r.report->findings) {
    // A finding on a missing file has no line.
    text += EscapeForDisplay(ports_.fs.Join(folder, f.file)) + (f.line > 0 ? L":" + std::to_wstring(f.line) : L"") +
            L": " + (f.severity == Severity::kInfo ? texts::kCliInfo : texts::kCliWarning) + L": " + f.message + L"\n";
  }
  if (!text.empty()) Out(text);
}

int Cli::Single(const std::wstring& source, const std::optional<std::wstring>& destination) {
  const FolderResult r = ConvertFolder(ports_.fs, source, destination);
  if (json_) {
    Json j;
    WriteFolder(j, r);
    Out(j.str() + L"\n");
    if (r.error) ReportError(r.source, *r.error);
  } else {
    Report(r);
  }
  // A conversion ends with what it wrote, where a batch writes its summary.
  if (r.written) {
    const ConversionCounts& n = r.report->counts;
    const std::wstring line =
        texts::FillText(texts::kCliConverted, {EscapeForDisplay(*r.destination), std::to_wstring(n.layers_written),
                                               std::to_wstring(n.points_written), std::to_wstring(r.report->warnings()),
                                               std::to_wstring(r.report->infos())}) +
        L"\n";
    json_ ? Err(line) : Out(line);
  }
  return StatusOf(r);
}

void Cli::Starting(std::size_t index, std::size_t total, const std::wstring& relative) {
  relative_ = relative;
  if (json_ || !ports_.console.IsTerminal(Stream::kErr)) return;
  ClearProgress();
  const std::wstring line =
      L"[" + std::to_wstring(index + 1) + L"/" + std::to_wstring(total) + L"] " + EscapeForDisplay(relative);
  Err(line);
  for (wchar_t c : line) progress_columns_ += static_cast<std::size_t>(DisplayColumns(c));
}

void Cli::Finished(const FolderResult& r) {
  status_ = std::max(status_, StatusOf(r));
  if (site_) {
    // A folder of the site that could not be listed had no Starting: its path names it.
    AddToSiteReport(*site_, r, relative_.empty() ? std::wstring_view(r.source) : std::wstring_view(relative_));
  }
  relative_.clear();
  if (!json_) {
    Report(r);
    return;
  }
  if (r.error) ReportError(r.source, *r.error);
  // The document goes out a folder at a time: a batch of any size keeps none of it.
  if (!document_open_) document_.Open(L'{').Key("folders").Open(L'[');
  document_open_ = true;
  WriteFolder(document_, r);
  Out(document_.Take());
}

int Cli::Batch(const std::wstring& parent, const std::wstring& output, bool recursive) {
  if (!report_file_.empty()) site_.emplace();
  const BatchSummary summary = RunBatch(ports_.fs, parent, output, recursive, ports_.stop, *this);
  ClearProgress();
  if (summary.error) {
    // The batch could not start: no folder was read, nothing made.
    if (json_) {
      Json j;
      j.Open(L'{').Key("error");
      WriteError(j, *summary.error).Close(L'}');
      Out(j.str() + L"\n");
    }
    ReportError(summary.error->path, *summary.error);
    return kExitFailed;
  }
  // The report is written once the batch is done, before the summary that says so.
  std::optional<Outcome> report_error;
  if (site_) {
    report_error = SaveSiteReport(parent, output, summary);
    if (report_error) status_ = kExitFailed;
  }
  if (json_) {
    Json& j = document_;
    if (!document_open_) j.Open(L'{').Key("folders").Open(L'[');
    j.Close(L']');
    j.Key("summary").Open(L'{');
    j.Key("folders").Number(summary.folders).Key("converted").Number(summary.converted);
    j.Key("with_warnings").Number(summary.with_warnings).Key("failed").Number(summary.failed);
    j.Close(L'}');
    j.Key("stopped").Bool(summary.stopped);
    if (!report_file_.empty()) {
      j.Key("report").Open(L'{').Key("file").Text(report_file_).Key("error");
      report_error ? WriteError(j, *report_error) : j.Null();
      j.Close(L'}');
    }
    j.Close(L'}');
    Out(j.Take() + L"\n");
  } else {
    Out(texts::FillText(texts::kCliSummary, {std::to_wstring(summary.folders), std::to_wstring(summary.converted),
                                             std::to_wstring(summary.with_warnings), std::to_wstring(summary.failed)}) +
        L"\n");
  }
  if (!summary.stopped) return status_;
  Err(std::wstring(texts::kCliStopped) + L"\n");
  return kExitFailed;
}

std::optional<Outcome> Cli::SaveSiteReport(const std::wstring& parent, const std::wstring& output,
                                           const BatchSummary& summary) {
  const wchar_t separator = ports_.fs.Separator();
  site_->SetSummary(SiteSummaryOf(summary));
  SiteReportHeader header;
  header.site_folder = Trimmed(AbsolutePath(ports_.current_folder, parent, separator));
  header.output_folder = Trimmed(AbsolutePath(ports_.current_folder, output, separator));
  header.report_file = report_file_;
  header.base_folder = ports_.current_folder;
  header.separator = separator;
  header.time = ReportDate(ports_);
  header.version = kVersion;
  const std::string page = SiteReportHtml(*site_, header);
  site_.reset();  // its memory is not needed while the page is written
  // Missing folders above the report are made, as for a converted file.
  const std::vector<std::wstring> levels = FolderLevels(report_file_, separator);
  std::optional<Outcome> error;
  if (levels.size() > 1) {
    if (auto made = CreateFolderLevels(ports_.fs, {levels.begin(), levels.end() - 1}); !made) {
      error = MakeOutcome(OutcomeKind::kReportWriteFailed, report_file_, made.error().system);
    }
  }
  if (!error) {
    if (auto written = ports_.fs.AtomicReplace(report_file_, page); !written) {
      error = MakeOutcome(OutcomeKind::kReportWriteFailed, report_file_, std::move(written.error()));
    }
  }
  if (error) ReportError(report_file_, *error);
  return error;
}

// Blanks over the progress line, the cursor back at its start.
void Cli::ClearProgress() {
  const std::size_t columns = std::exchange(progress_columns_, 0);
  if (columns > 0) Err(L"\r" + std::wstring(columns, L' ') + L"\r");
}

}  // namespace

std::wstring HelpText() { return texts::FillText(texts::kCliHelp, {kVersion}); }

int RunCli(const std::vector<std::wstring>& args, CliPorts& ports) { return Cli(ports).Run(args); }

}  // namespace pel::cli
