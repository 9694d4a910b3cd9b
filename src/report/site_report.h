// The site report: one self-contained HTML page of a whole batch. A SiteReport keeps, per
// borehole folder, only what the page shows (its counts, its profile and its first 200
// findings), so that a batch of any size can feed it a folder at a time; SiteReportHtml
// writes the page: the header, an overview of every profile on one depth scale, a table
// of the boreholes and a section per borehole. Portable; the command line and the batch
// window only feed it and save the page.
//
// Nothing from the data becomes markup: every name, path, title and source value is
// shown as text (HTML-escaped, control characters as \xHH), and links are only
// "./" + percent-encoded relative paths, file:/// URLs and the page's own #b-N anchors.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/findings.h"
#include "report/profile.h"
#include "util/outcomes.h"

namespace pel {

enum class SiteResult { kConverted, kWithWarnings, kFailed };

// One borehole folder as the page shows it.
struct SiteBorehole {
  std::wstring name;          // below the site folder (the path, for a site folder that could not be listed)
  SiteResult result = SiteResult::kConverted;
  int layers = 0, points = 0;  // as written
  int warnings = 0, infos = 0;
  std::wstring output;         // the output file; empty where none was named
  std::wstring error;          // a failed folder's message, on one line
  std::vector<ProfilePoint> profile;
  std::vector<Finding> findings;  // the first kSiteFindingsKept, without their source lines
  int findings_total = 0;
};

inline constexpr std::size_t kSiteFindingsKept = 200;

// The batch's counts, the same as the command line's summary.
struct SiteSummary {
  int folders = 0, converted = 0, with_warnings = 0, failed = 0;
  bool stopped = false;
};

class SiteReport {
 public:
  // One folder's result, in the batch's order: `relative` its name below the site folder;
  // `destination` the output file where one was named; `error` why nothing was written;
  // `report` what was read and checked, where the folder was read. (batch/site_feed.h
  // takes these from a FolderResult.)
  void Add(std::wstring_view relative, const std::optional<std::wstring>& destination,
           const std::optional<Outcome>& error, const std::optional<ConversionReport>& report);
  void SetSummary(const SiteSummary& summary) { summary_ = summary; }

  const std::vector<SiteBorehole>& boreholes() const { return boreholes_; }
  const SiteSummary& summary() const { return summary_; }

 private:
  std::vector<SiteBorehole> boreholes_;
  SiteSummary summary_;
};

// A moment as the page dates it: seconds since 1970-01-01 UTC, and the offset of the
// clock's local time from UTC.
struct ReportTime {
  std::int64_t seconds = 0;
  int offset_minutes = 0;
};
// The page's date: SOURCE_DATE_EPOCH (seconds, UTC) where it is set, so that two runs
// give the same page; else `now`.
ReportTime SiteReportDate(const ReportTime& now);

// ISO 8601 with the offset: 2026-12-09T13:05:00+09:00.
std::wstring IsoDateTime(const ReportTime& time);

struct SiteReportHeader {
  std::wstring site_folder, output_folder;
  // Where the page is saved: links to output files below its folder are relative
  // ("./B-1.txt"), others file:/// URLs.
  std::wstring report_file;
  // The folder that relative paths (the page's, the output files') start from: the
  // current folder; empty where every path is absolute.
  std::wstring base_folder;
  wchar_t separator = L'\\';  // of these paths: "\" on Windows, "/" on POSIX systems
  ReportTime time;
  std::wstring version;
};

// Each borehole's own profile is laid out in this area, at 96 dpi.
inline constexpr PixelRect kSiteProfileArea{0, 0, 400, 360};
inline constexpr ProfileMetrics kSiteProfileMetrics{14, 36, 1};

// The page, UTF-8 HTML5.
std::string SiteReportHtml(const SiteReport& report, const SiteReportHeader& header);

// The link from the page at `report_file` to the file `target` (both absolute, with
// `separator`): "./" and the relative path where `target` lies below the page's folder,
// else a file:/// URL; each piece percent-encoded as UTF-8 (a byte of a name that was
// not UTF-8 as itself), so that no piece can read as a scheme or as markup.
std::string FileLink(std::wstring_view report_file, std::wstring_view target, wchar_t separator);

// `text` as HTML text or attribute value, UTF-8: & < > " ' as references, control
// characters and undecodable bytes as \xHH, a lone UTF-16 surrogate as U+FFFD.
std::string HtmlText(std::wstring_view text);

}  // namespace pel
