#include "report/site_report.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>

#include "report/report_table.h"
#include "util/cp932.h"
#include "util/folder_paths.h"
#include "util/shown_text.h"
#include "util/user_texts.h"

namespace pel {
namespace {

// --- Text, links and numbers -------------------------------------------------------------

// Calls `f` with each character of `text`: UTF-16 pairs joined, a lone surrogate as
// U+FFFD; a byte of a name that was not UTF-8 (U+DC80 + the byte) as `byte(b)`.
template <class Character, class Byte>
void ForEachCharacter(std::wstring_view text, Character f, Byte byte) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto c = static_cast<char32_t>(text[i]);
    if (IsUndecodableByte(text[i])) {
      byte(static_cast<unsigned char>(c - 0xDC00));
      continue;
    }
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(text[++i]) - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    f(c);
  }
}

void AppendHtml(std::string& out, std::wstring_view text) {
  // Control characters and undecodable bytes first become \xHH, as everywhere they are shown.
  const std::wstring shown = EscapeForDisplay(text);
  ForEachCharacter(
      shown,
      [&](char32_t c) {
        switch (c) {
          case U'&': out += "&amp;"; break;
          case U'<': out += "&lt;"; break;
          case U'>': out += "&gt;"; break;
          case U'"': out += "&quot;"; break;
          case U'\'': out += "&#39;"; break;
          default: AppendUtf8(out, c);
        }
      },
      [](unsigned char) {});
}

// Each piece of a link: the unreserved characters as they are, every other byte of its
// UTF-8 (or of the name's own bytes) as %HH.
void AppendPercentEncoded(std::string& out, std::wstring_view piece) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  auto byte = [&](unsigned char b) {
    if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '-' || b == '.' || b == '_' ||
        b == '~') {
      out += static_cast<char>(b);
    } else {
      out += '%';
      out += kHex[b >> 4];
      out += kHex[b & 15];
    }
  };
  ForEachCharacter(
      piece,
      [&](char32_t c) {
        std::string utf8;
        AppendUtf8(utf8, c);
        for (char b : utf8) byte(static_cast<unsigned char>(b));
      },
      byte);
}

std::string Num(long long n) { return std::to_string(n); }

// The end of the overview's value scale, which a narrow column gives no label of its own.
std::wstring ScaleEnd(double value_max) {
  wchar_t text[32];
  std::swprintf(text, 32, L"%g", value_max);
  return text;
}

// --- Paths ---------------------------------------------------------------------------------

// An absolute path cut into its root and its pieces, "." and ".." taken out.
struct PathPieces {
  enum class Root { kNone, kPosix, kDrive, kNetwork } root = Root::kNone;
  std::vector<std::wstring> pieces;  // for kDrive the first is the drive ("C:"); for kNetwork the server and share
  std::size_t fixed = 0;             // leading pieces ".." never takes away
};

PathPieces Pieces(std::wstring_view path, wchar_t separator) {
  const std::wstring_view separators = SeparatorsFor(separator);
  auto is_separator = [&](wchar_t c) { return separators.find(c) != std::wstring_view::npos; };
  PathPieces p;
  if (separator == L'\\' && path.size() >= 2 && is_separator(path[0]) && is_separator(path[1])) {
    p.root = PathPieces::Root::kNetwork;
    p.fixed = 2;
  } else if (separator == L'\\' && path.size() >= 2 && path[1] == L':') {
    p.root = PathPieces::Root::kDrive;
    p.fixed = 1;
  } else if (!path.empty() && is_separator(path[0])) {
    p.root = PathPieces::Root::kPosix;
  }
  for (std::size_t at = 0; at <= path.size();) {
    std::size_t end = at;
    while (end < path.size() && !is_separator(path[end])) ++end;
    const std::wstring_view piece = path.substr(at, end - at);
    if (p.root == PathPieces::Root::kDrive && p.pieces.empty() && !piece.empty()) {
      p.pieces.emplace_back(piece.substr(0, 2));  // "C:" (and a drive-relative rest after it)
      if (piece.size() > 2) p.pieces.emplace_back(piece.substr(2));
    } else if (piece == L"..") {
      if (p.pieces.size() > p.fixed) p.pieces.pop_back();
    } else if (!piece.empty() && piece != L".") {
      p.pieces.emplace_back(piece);
    }
    at = end + 1;
  }
  return p;
}

std::wstring Leaf(std::wstring_view path, wchar_t separator) {
  const std::size_t at = path.find_last_of(SeparatorsFor(separator));
  return std::wstring(at == std::wstring_view::npos ? path : path.substr(at + 1));
}

// --- Pictures ------------------------------------------------------------------------------

// The overview: narrow columns without scales of their own, a depth axis per row.
constexpr int kColumnWidth = 64, kColumnHeight = 300, kAxisWidth = 44, kColumnsPerRow = 20;
constexpr ProfileMetrics kColumnMetrics{12, 0, 1};
constexpr int kNameLine = 14;  // a line of text under a column
constexpr std::size_t kColumnNameChars = 9;

bool IsEmpty(const PixelRect& r) { return r.right <= r.left || r.bottom <= r.top; }

// One path of each shape class for a profile's points: bars, bars with findings, X100 dots,
// marker diamonds.
void AppendPoints(std::string& out, const std::vector<ProfilePoint>& points, const ProfileLayout& layout) {
  std::string bars, flagged, dots, markers;
  int dot = 0;
  for (std::size_t i = 0; i < layout.points.size(); ++i) {
    const DrawnPoint& d = layout.points[i];
    if (!IsEmpty(d.bar)) {
      std::string& to = points[i].flagged ? flagged : bars;
      const int w = d.bar.right - d.bar.left;
      to += "M" + Num(d.bar.left) + " " + Num(d.bar.top) + "h" + Num(w) + "v" + Num(d.bar.bottom - d.bar.top) + "h-" + Num(w) + "z";
    }
    if (!IsEmpty(d.x100_mark)) {
      // A round dot: a line of no length with a round cap as wide as the mark.
      dot = d.x100_mark.right - d.x100_mark.left;
      dots += "M" + Num((d.x100_mark.left + d.x100_mark.right) / 2) + " " + Num((d.x100_mark.top + d.x100_mark.bottom) / 2) + "h0";
    }
    if (!IsEmpty(d.marker)) {
      const PixelRect& m = d.marker;
      const std::string cx = Num((m.left + m.right) / 2), cy = Num((m.top + m.bottom) / 2);
      markers += "M" + cx + " " + Num(m.top) + "L" + Num(m.right) + " " + cy + "L" + cx + " " + Num(m.bottom) + "L" +
                 Num(m.left) + " " + cy + "z";
    }
  }
  if (!bars.empty()) out += "<path class=\"b\" d=\"" + bars + "\"/>";
  if (!flagged.empty()) out += "<path class=\"w\" d=\"" + flagged + "\"/>";
  if (!dots.empty()) out += "<path class=\"x\" stroke-width=\"" + Num(dot) + "\" d=\"" + dots + "\"/>";
  if (!markers.empty()) out += "<path class=\"m\" d=\"" + markers + "\"/>";
}

void AppendText(std::string& out, const char* cls, int x, int y, std::wstring_view text) {
  out += "<text";
  if (*cls) out += std::string(" class=\"") + cls + "\"";
  out += " x=\"" + Num(x) + "\" y=\"" + Num(y) + "\">";
  AppendHtml(out, text);
  out += "</text>";
}

void AppendSvgOpen(std::string& out, const char* cls, int width, int height) {
  out += std::string("<svg class=\"") + cls + "\" viewBox=\"0 0 " + Num(width) + " " + Num(height) + "\" width=\"" +
         Num(width) + "\" height=\"" + Num(height) + "\">";
}

// A borehole's own profile, with both scales, as the report window draws it.
void AppendProfile(std::string& out, const std::vector<ProfilePoint>& points) {
  const ProfileLayout layout = LayOutProfile(points, kSiteProfileArea, kSiteProfileMetrics);
  const PixelRect& plot = layout.plot;
  const ProfileMetrics& m = kSiteProfileMetrics;
  AppendSvgOpen(out, "p", kSiteProfileArea.right, kSiteProfileArea.bottom);
  std::string axes = "M" + Num(plot.left) + " " + Num(plot.top) + "V" + Num(plot.bottom) + "M" + Num(plot.left) + " " +
                     Num(plot.top) + "H" + Num(plot.right);
  for (const Tick& t : layout.depth_ticks) axes += "M" + Num(plot.left - 3 * m.unit) + " " + Num(t.pixel) + "h" + Num(3 * m.unit);
  for (const Tick& t : layout.value_ticks) axes += "M" + Num(t.pixel) + " " + Num(plot.top - 3 * m.unit) + "v" + Num(3 * m.unit);
  out += "<path class=\"a\" d=\"" + axes + "\"/>";
  const int label_right = plot.left - 4 * m.unit - m.text_height * 3 / 4;
  for (const Tick& t : layout.depth_ticks) AppendText(out, "r", label_right, t.pixel, t.label);
  for (const Tick& t : layout.value_ticks) AppendText(out, "c", t.pixel, plot.top - 3 * m.unit - m.text_height / 2, t.label);
  AppendText(out, "", m.unit, m.text_height - m.unit, texts::kReportDepthScale);
  AppendText(out, "c", (plot.left + plot.right) / 2, m.text_height - m.unit, texts::kReportValueScale);
  AppendPoints(out, points, layout);
  out += "</svg>";
}

std::wstring ColumnName(const std::wstring& name) {
  if (name.size() <= kColumnNameChars + 1) return name;
  return name.substr(0, kColumnNameChars) + kCutMark;
}

// Every borehole side by side on one depth and one value scale, kColumnsPerRow to a row,
// each row with its depth axis.
void AppendOverview(std::string& out, const std::vector<SiteBorehole>& boreholes) {
  std::optional<ProfileScale> shared;
  for (const SiteBorehole& b : boreholes) {
    if (b.profile.empty()) continue;
    const ProfileScale own = ScaleOf(b.profile);
    shared = shared ? Widened(*shared, own) : own;
  }
  if (!shared) shared = ScaleOf({});
  const PixelRect column{0, 0, kColumnWidth, kColumnHeight};
  const ProfileLayout empty = LayOutProfile({}, column, kColumnMetrics, shared);
  const PixelRect& plot = empty.plot;
  const int columns = static_cast<int>(std::min<std::size_t>(boreholes.size(), kColumnsPerRow));
  const int width = kAxisWidth + columns * kColumnWidth, height = kColumnHeight + 2 * kNameLine + 4;
  for (std::size_t first = 0; first < boreholes.size(); first += kColumnsPerRow) {
    const std::size_t last = std::min(boreholes.size(), first + kColumnsPerRow);
    AppendSvgOpen(out, "o", width, height);
    const int row_right = kAxisWidth + static_cast<int>(last - first) * kColumnWidth;
    std::string grid, axes;
    for (const Tick& t : empty.depth_ticks) {
      grid += "M" + Num(kAxisWidth) + " " + Num(t.pixel) + "H" + Num(row_right);
      axes += "M" + Num(kAxisWidth - 3) + " " + Num(t.pixel) + "h3";
    }
    axes += "M" + Num(kAxisWidth) + " " + Num(plot.top) + "V" + Num(plot.bottom);
    for (std::size_t i = first; i < last; ++i) {
      axes += "M" + Num(kAxisWidth + static_cast<int>(i - first) * kColumnWidth + plot.left) + " " + Num(plot.top) + "V" +
              Num(plot.bottom);
    }
    out += "<path class=\"g\" d=\"" + grid + "\"/><path class=\"a\" d=\"" + axes + "\"/>";
    for (const Tick& t : empty.depth_ticks) AppendText(out, "r", kAxisWidth - 5, t.pixel, t.label);
    AppendText(out, "", 1, kColumnMetrics.text_height, texts::kReportDepthScale);
    AppendText(out, "", kAxisWidth, kColumnMetrics.text_height,
               std::wstring(texts::kReportValueScale) + L" 0-" + ScaleEnd(empty.value_max));
    for (std::size_t i = first; i < last; ++i) {
      const SiteBorehole& b = boreholes[i];
      out += "<a href=\"#b-" + Num(static_cast<long long>(i) + 1) + "\"><g transform=\"translate(" +
             Num(kAxisWidth + static_cast<int>(i - first) * kColumnWidth) + ")\"><title>";
      AppendHtml(out, b.name);
      out += "</title>";
      AppendPoints(out, b.profile, LayOutProfile(b.profile, column, kColumnMetrics, shared));
      const int middle = (plot.left + plot.right) / 2;
      AppendText(out, "c", middle, kColumnHeight + kNameLine, ColumnName(b.name));
      AppendText(out, b.result == SiteResult::kFailed ? "c e" : "c", middle, kColumnHeight + 2 * kNameLine,
                 b.result == SiteResult::kFailed
                     ? std::wstring(texts::kSiteReportResults[2])
                     : texts::FillText(texts::kSiteReportWarningCount, {std::to_wstring(b.warnings)}));
      out += "</g></a>";
    }
    out += "</svg>";
  }
}

// --- The page ------------------------------------------------------------------------------

constexpr char kStyle[] =
    "@page{size:A4 landscape;margin:12mm}"
    "body{font-family:\"Yu Gothic UI\",Meiryo,\"IPAGothic\",\"Noto Sans CJK JP\",sans-serif;font-size:13px;margin:16px;color:#222}"
    "h1{font-size:20px}h2{font-size:17px;border-bottom:1px solid #999;margin-top:24px}h3{font-size:15px}"
    "table{border-collapse:collapse;margin:6px 0}th,td{border:1px solid #bbb;padding:2px 6px;text-align:left;vertical-align:top}"
    "th{background:#eee}td.n{text-align:right}.e{color:#b00}.wn{color:#d65014}"
    "svg{display:block;max-width:100%;height:auto;margin:6px 0;break-inside:avoid}"
    "svg text{font-size:11px;fill:#222}.r{text-anchor:end;dominant-baseline:middle}.c{text-anchor:middle}"
    "svg .e{fill:#b00}.b{fill:#466ea0}.w{fill:#d65014}.m{fill:#d65014;stroke:#000}"
    ".x{stroke:#000;stroke-linecap:round}.a{stroke:#787878;fill:none}.g{stroke:#e4e4e4}"
    "section{margin-top:18px}";

const wchar_t* ResultText(SiteResult r) { return texts::kSiteReportResults[static_cast<int>(r)]; }
const char* ResultClass(SiteResult r) {
  return r == SiteResult::kFailed ? " class=\"e\"" : r == SiteResult::kWithWarnings ? " class=\"wn\"" : "";
}

class Page {
 public:
  Page(const SiteReportHeader& header, std::size_t boreholes) : header_(header) {
    out_.reserve(4096 + boreholes * 3072);
    report_file_ = AbsolutePath(header.base_folder, header.report_file, header.separator);
  }
  std::string Take() { return std::move(out_); }

  void Head() {
    out_ += "<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"utf-8\"><title>";
    Text(texts::kSiteReportTitle);
    out_ += " - ";
    Text(header_.site_folder);
    out_ += "</title><style>";
    out_ += kStyle;
    out_ += "</style></head><body><h1>";
    Text(texts::kSiteReportTitle);
    out_ += "</h1>\n<table>";
    HeaderRow(texts::kSiteReportSiteFolder, header_.site_folder);
    HeaderRow(texts::kSiteReportOutputFolder, header_.output_folder);
    HeaderRow(texts::kSiteReportDateTime, IsoDateTime(header_.time));
    HeaderRow(texts::kSiteReportVersion, L"pelmora2liq " + header_.version);
    out_ += "</table>\n";
  }

  void Summary(const SiteSummary& s) {
    out_ += "<table><tr>";
    for (const wchar_t* title : texts::kSiteReportSummaryTitles) Cell("th", title);
    const struct {
      const char* id;
      int n;
    } cells[] = {{"s-folders", s.folders}, {"s-converted", s.converted}, {"s-with-warnings", s.with_warnings}, {"s-failed", s.failed}};
    out_ += "</tr><tr>";
    for (const auto& c : cells) out_ += std::string("<td class=\"n\" id=\"") + c.id + "\">" + Num(c.n) + "</td>";
    out_ += "</tr></table>\n";
    if (s.stopped) {
      out_ += "<p class=\"e\" id=\"stopped\">";
      Text(texts::kSiteReportStopped);
      out_ += "</p>\n";
    }
  }

  void Overview(const std::vector<SiteBorehole>& boreholes) {
    Heading("h2", texts::kSiteReportOverview);
    AppendOverview(out_, boreholes);
    out_ += "\n";
  }

  void Table(const std::vector<SiteBorehole>& boreholes) {
    Heading("h2", texts::kSiteReportBoreholes);
    out_ += "<table id=\"boreholes\"><tr>";
    for (const wchar_t* title : texts::kSiteReportColumnTitles) Cell("th", title);
    out_ += "</tr>\n";
    for (std::size_t i = 0; i < boreholes.size(); ++i) {
      const SiteBorehole& b = boreholes[i];
      out_ += "<tr><td><a href=\"#b-" + Num(static_cast<long long>(i) + 1) + "\">";
      Text(b.name);
      out_ += std::string("</a></td><td") + ResultClass(b.result) + ">";
      Text(ResultText(b.result));
      out_ += "</td>";
      for (int n : {b.layers, b.points, b.warnings, b.infos}) out_ += "<td class=\"n\">" + Num(n) + "</td>";
      out_ += "<td>";
      OutputLink(b.output);
      out_ += "</td></tr>\n";
    }
    out_ += "</table>\n";
  }

  void Section(std::size_t index, const SiteBorehole& b) {
    out_ += "<section id=\"b-" + Num(static_cast<long long>(index) + 1) + "\"><h3>";
    Text(b.name);
    out_ += "</h3><p>";
    out_ += std::string("<span") + ResultClass(b.result) + ">";
    Text(ResultText(b.result));
    out_ += "</span> ";
    if (b.result == SiteResult::kFailed) {
      out_ += "</p><p class=\"e\">";
      Text(b.error);
      out_ += "</p></section>\n";
      return;
    }
    Text(texts::FillText(texts::kSiteReportCounts, {std::to_wstring(b.layers), std::to_wstring(b.points),
                                                    std::to_wstring(b.warnings), std::to_wstring(b.infos)}));
    out_ += " ";
    OutputLink(b.output);
    out_ += "</p>";
    AppendProfile(out_, b.profile);
    Findings(b);
    out_ += "</section>\n";
  }

  void End() { out_ += "</body></html>\n"; }

 private:
  void Text(std::wstring_view text) { AppendHtml(out_, text); }
  void Cell(const char* tag, std::wstring_view text) {
    out_ += std::string("<") + tag + ">";
    Text(text);
    out_ += std::string("</") + tag + ">";
  }
  void Heading(const char* tag, std::wstring_view text) {
    Cell(tag, text);
    out_ += "\n";
  }
  void HeaderRow(std::wstring_view title, std::wstring_view value) {
    out_ += "<tr>";
    Cell("th", title);
    Cell("td", value);
    out_ += "</tr>";
  }
  void OutputLink(const std::wstring& output) {
    if (output.empty()) return;
    out_ += "<a href=\"";
    out_ += FileLink(report_file_, AbsolutePath(header_.base_folder, output, header_.separator), header_.separator);
    out_ += "\">";
    Text(Leaf(output, header_.separator));
    out_ += "</a>";
  }
  void Findings(const SiteBorehole& b) {
    if (b.findings.empty()) {
      out_ += "<p>";
      Text(texts::kSiteReportNoFindings);
      out_ += "</p>";
      return;
    }
    out_ += "<table class=\"f\"><tr>";
    for (const wchar_t* title : texts::kReportColumnTitles) Cell("th", title);
    out_ += "</tr>\n";
    for (const Finding& f : b.findings) {
      out_ += "<tr>";
      const auto cells = FindingCells(f);
      for (std::size_t c = 0; c < cells.size(); ++c) {
        const auto column = static_cast<ReportColumn>(c);
        const bool number = column == ReportColumn::kLine || column == ReportColumn::kRecord || column == ReportColumn::kField;
        out_ += number ? "<td class=\"n\">" : "<td>";
        Text(cells[c]);
        out_ += "</td>";
      }
      out_ += "</tr>\n";
    }
    out_ += "</table>";
    const int more = b.findings_total - static_cast<int>(b.findings.size());
    if (more > 0) {
      out_ += "<p class=\"more\">";
      Text(texts::FillText(texts::kSiteReportMoreFindings, {std::to_wstring(more)}));
      out_ += "</p>";
    }
  }

  const SiteReportHeader& header_;
  std::wstring report_file_;
  std::string out_;
};

}  // namespace

void SiteReport::Add(std::wstring_view relative, const std::optional<std::wstring>& destination,
                     const std::optional<Outcome>& error, const std::optional<ConversionReport>& report) {
  SiteBorehole b;
  b.name = relative;
  if (error) {
    b.result = SiteResult::kFailed;
    b.error = DescribeOutcomeOnOneLine(*error);
  } else if (destination) {
    b.output = *destination;
  }
  if (report && !error) {
    b.layers = report->counts.layers_written;
    b.points = report->counts.points_written;
    b.warnings = report->warnings();
    b.infos = report->infos();
    if (b.warnings > 0) b.result = SiteResult::kWithWarnings;
    b.profile = ProfilePointsOf(report->points, report->findings);
    b.findings_total = static_cast<int>(report->findings.size());
    const std::size_t kept = std::min(report->findings.size(), kSiteFindingsKept);
    b.findings.assign(report->findings.begin(), report->findings.begin() + static_cast<std::ptrdiff_t>(kept));
    for (Finding& f : b.findings) {
      // The page shows the table's columns only.
      f.line_text = {};
    }
  }
  boreholes_.push_back(std::move(b));
}

ReportTime SiteReportDate(const ReportTime& now) {
  if (const char* fixed = std::getenv("SOURCE_DATE_EPOCH"); fixed && *fixed) {
    char* end = nullptr;
    const long long seconds = std::strtoll(fixed, &end, 10);
    if (*end == '\0') return {seconds, 0};
  }
  return now;
}

std::wstring IsoDateTime(const ReportTime& time) {
  const std::int64_t local = time.seconds + std::int64_t{time.offset_minutes} * 60;
  std::int64_t days = local / 86400, seconds = local % 86400;
  if (seconds < 0) {
    seconds += 86400;
    --days;
  }
  // The civil date of a day count (Howard Hinnant's days_from_civil, reversed).
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t day_of_era = days - era * 146097;
  const std::int64_t year_of_era = (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const std::int64_t day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const std::int64_t month_from_march = (5 * day_of_year + 2) / 153;
  const std::int64_t day = day_of_year - (153 * month_from_march + 2) / 5 + 1;
  const std::int64_t month = month_from_march < 10 ? month_from_march + 3 : month_from_march - 9;
  const std::int64_t year = year_of_era + era * 400 + (month <= 2);
  const int offset = std::abs(time.offset_minutes);
  wchar_t text[64];
  std::swprintf(text, 64, L"%04lld-%02lld-%02lldT%02lld:%02lld:%02lld%lc%02d:%02d", static_cast<long long>(year),
                static_cast<long long>(month), static_cast<long long>(day), static_cast<long long>(seconds / 3600),
                static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60),
                static_cast<wint_t>(time.offset_minutes < 0 ? L'-' : L'+'), offset / 60, offset % 60);
  return text;
}

std::string HtmlText(std::wstring_view text) {
  std::string out;
  AppendHtml(out, text);
  return out;
}

std::string FileLink(std::wstring_view report_file, std::wstring_view target, wchar_t separator) {
  const PathPieces page = Pieces(report_file, separator), file = Pieces(target, separator);
  const bool windows = separator == L'\\';
  auto same = [&](std::wstring_view a, std::wstring_view b) { return windows ? SameNameIgnoringCase(a, b) : a == b; };
  std::string link;
  if (page.root == file.root && !page.pieces.empty() && file.pieces.size() >= page.pieces.size()) {
    const std::size_t folder = page.pieces.size() - 1;
    if (std::equal(page.pieces.begin(), page.pieces.begin() + static_cast<std::ptrdiff_t>(folder), file.pieces.begin(), same)) {
      link = ".";
      for (std::size_t i = folder; i < file.pieces.size(); ++i) {
        link += '/';
        AppendPercentEncoded(link, file.pieces[i]);
      }
      return link;
    }
  }
  link = file.root == PathPieces::Root::kNetwork ? "file:/" : "file://";
  for (std::size_t i = 0; i < file.pieces.size(); ++i) {
    link += '/';
    const std::wstring& piece = file.pieces[i];
    const bool drive = file.root == PathPieces::Root::kDrive && i == 0 && piece.size() == 2 && piece[1] == L':' &&
                       ((piece[0] >= L'A' && piece[0] <= L'Z') || (piece[0] >= L'a' && piece[0] <= L'z'));
    if (drive) {
      link += static_cast<char>(piece[0]);
      link += ':';
    } else {
      AppendPercentEncoded(link, piece);
    }
  }
  return link;
}

std::string SiteReportHtml(const SiteReport& report, const SiteReportHeader& header) {
  const std::vector<SiteBorehole>& boreholes = report.boreholes();
  Page page(header, boreholes.size());
  page.Head();
  page.Summary(report.summary());
  page.Overview(boreholes);
  page.Table(boreholes);
  for (std::size_t i = 0; i < boreholes.size(); ++i) page.Section(i, boreholes[i]);
  page.End();
  return page.Take();
}

}  // namespace pel
