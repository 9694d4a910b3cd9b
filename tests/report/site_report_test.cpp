// The site report page: its pictures drawn from the profile geometry, its escapes, its
// links, its date, the findings it keeps.
#include "report/site_report.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "run/conversion.h"
#include "support/fake_file_system.h"

namespace pel {
namespace {

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// The d attribute of the path of class `cls` in `svg`; empty where there is none.
std::string PathData(const std::string& svg, const std::string& cls) {
  std::smatch m;
  return std::regex_search(svg, m, std::regex("<path class=\"" + cls + "\"[^>]* d=\"([^\"]*)\"")) ? m[1].str() : "";
}

ConversionReport PreparedReport(const std::string& x5, const std::string& x100) {
  testing::FakeFileSystem fs;
  fs.AddFile(L"C:\\b\\X5.txt", x5);
  if (!x100.empty()) fs.AddFile(L"C:\\b\\X100.txt", x100);
  auto prepared = PrepareBorehole(fs, L"C:\\b");
  EXPECT_TRUE(prepared);
  return prepared->report;
}

SiteReportHeader Header() {
  SiteReportHeader h;
  h.site_folder = L"/site";
  h.output_folder = L"/site/out";
  h.report_file = L"/site/out/report.html";
  h.separator = L'/';
  h.time = {1796789100, 540};
  h.version = L"1.0.0";
  return h;
}

TEST(SiteReportHtml, TheProfileIsDrawnWhereTheGeometryPutsIt) {
  // A bar, a replaced 0 (a marker at the value 0), a bar with a finding, an X100 row.
  const ConversionReport report = PreparedReport(
      "1,1.0,12,4,5,6,7,8,9,10,11\r\n2,2.0,abc,4,5,6,7,8,9,10,11\r\n3,3.0,30,4,5,6,7,8,9,10,11\r\n",
      "1,2,2.5" + std::string(41, ',') + "\r\n");
  SiteReport site;
  site.Add(L"B-1", std::wstring(L"/site/out/B-1.txt"), std::nullopt, report);
  const std::string page = SiteReportHtml(site, Header());

  std::smatch m;
  ASSERT_TRUE(std::regex_search(page, m, std::regex("<svg class=\"p\"[^>]*>.*?</svg>")));
  const std::string svg = m[0];
  const std::vector<ProfilePoint> points = ProfilePointsOf(report.points, report.findings);
  const ProfileLayout layout = LayOutProfile(points, kSiteProfileArea, kSiteProfileMetrics);
  ASSERT_EQ(layout.points.size(), 4u);

  // Bars: M left top h width v height h-width z, in point order, those with findings apart.
  std::vector<PixelRect> drawn_bars;
  const std::regex bar("M(-?\\d+) (-?\\d+)h(\\d+)v(\\d+)h-(\\d+)z");
  for (const std::string cls : {"b", "w"}) {
    const std::string d = PathData(svg, cls);
    for (auto it = std::sregex_iterator(d.begin(), d.end(), bar); it != std::sregex_iterator(); ++it) {
      const int l = std::stoi((*it)[1]), t = std::stoi((*it)[2]), w = std::stoi((*it)[3]), h = std::stoi((*it)[4]);
      EXPECT_EQ(std::stoi((*it)[5]), w);
      drawn_bars.push_back({l, t, l + w, t + h});
    }
  }
  std::vector<PixelRect> bars, markers, dots;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (!points[i].flagged && layout.points[i].bar.right > layout.points[i].bar.left) bars.push_back(layout.points[i].bar);
  }
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (points[i].flagged && layout.points[i].bar.right > layout.points[i].bar.left) bars.push_back(layout.points[i].bar);
    if (layout.points[i].marker.right > layout.points[i].marker.left) markers.push_back(layout.points[i].marker);
    if (layout.points[i].x100_mark.right > layout.points[i].x100_mark.left) dots.push_back(layout.points[i].x100_mark);
  }
  ASSERT_EQ(bars.size(), 3u);  // the X100 row has no X5 value
  EXPECT_EQ(drawn_bars, bars);
  ASSERT_EQ(markers.size(), 1u);
  ASSERT_EQ(dots.size(), 1u);

  // The marker: a diamond through the middles of its rectangle's sides, as the window draws it.
  const PixelRect& k = markers[0];
  const std::string cx = std::to_string((k.left + k.right) / 2), cy = std::to_string((k.top + k.bottom) / 2);
  EXPECT_EQ(PathData(svg, "m"), "M" + cx + " " + std::to_string(k.top) + "L" + std::to_string(k.right) + " " + cy + "L" +
                                    cx + " " + std::to_string(k.bottom) + "L" + std::to_string(k.left) + " " + cy + "z");
  // The X100 mark: a round dot as wide as its rectangle, at its middle.
  const PixelRect& x = dots[0];
  EXPECT_EQ(PathData(svg, "x"), "M" + std::to_string((x.left + x.right) / 2) + " " + std::to_string((x.top + x.bottom) / 2) + "h0");
  EXPECT_NE(svg.find("stroke-width=\"" + std::to_string(x.right - x.left) + "\""), std::string::npos);
  // The scales: the plot's corner and every depth tick's label where the geometry has it.
  const PixelRect& plot = layout.plot;
  EXPECT_EQ(PathData(svg, "a").rfind("M" + std::to_string(plot.left) + " " + std::to_string(plot.top) + "V" + std::to_string(plot.bottom), 0), 0u);
  for (const Tick& t : layout.depth_ticks) {
    EXPECT_NE(svg.find("y=\"" + std::to_string(t.pixel) + "\">" + std::string(t.label.begin(), t.label.end()) + "</text>"),
              std::string::npos)
        << t.pixel;
  }
}

TEST(SiteReportHtml, TheOverviewSharesOneDepthScaleAndWrapsItsRows) {
  SiteReport site;
  for (int i = 0; i < 21; ++i) {
    // Borehole i reaches i + 1 metres: the overview's scale is the deepest one's.
    const std::string depth = std::to_string(i + 1) + ".0";
    site.Add(L"B-" + std::to_wstring(i), std::wstring(L"/site/out/B.txt"), std::nullopt,
             PreparedReport("1," + depth + ",5,4,5,6,7,8,9,10,11\r\n", ""));
  }
  const std::string page = SiteReportHtml(site, Header());
  EXPECT_EQ(Count(page, "<svg class=\"o\""), 2u);  // 20 to a row
  EXPECT_EQ(Count(page, "<svg class=\"p\""), 21u);
  EXPECT_EQ(Count(page, "<svg"), 23u);
  // Every borehole's one point at the bottom of the shared scale but the deepest's: higher up.
  const std::string first_column = page.substr(page.find("<title>B-0</title>"), 200);
  const std::string last_column = page.substr(page.find("<title>B-20</title>"), 200);
  std::smatch a, b;
  ASSERT_TRUE(std::regex_search(first_column, a, std::regex("class=\"b\" d=\"M\\d+ (\\d+)")));
  ASSERT_TRUE(std::regex_search(last_column, b, std::regex("class=\"b\" d=\"M\\d+ (\\d+)")));
  EXPECT_LT(std::stoi(a[1]), std::stoi(b[1]));
  EXPECT_NE(page.find("href=\"#b-21\""), std::string::npos);
  EXPECT_NE(page.find("id=\"b-21\""), std::string::npos);
}

TEST(SiteReportHtml, NothingFromTheDataBecomesMarkup) {
  const struct {
    std::wstring name;
    std::string shown;  // as the page's text holds it
  } cases[] = {
      {L"<script>", "&lt;script&gt;"},
      {L"</svg><script>alert(1)</script>", "&lt;/svg&gt;&lt;script&gt;alert(1)&lt;/script&gt;"},
      {L"a&b\"c'd", "a&amp;b&quot;c&#39;d"},
      {L"javascript:x", "javascript:x"},
      {L"tab\there", "tab\\x09here"},
      {L"\u65E5\u672C", "\xE6\x97\xA5\xE6\x9C\xAC"},
      {std::wstring(1, static_cast<wchar_t>(0xD800)) + L"x", "\xEF\xBF\xBDx"},  // a lone surrogate
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    EXPECT_EQ(HtmlText(c.name), c.shown);
    SiteReport site;
    ConversionReport report;
    Finding f;
    f.file = c.name;
    f.text = "</svg><script>";
    f.message = c.name;
    report.findings.push_back(f);
    site.Add(c.name, std::wstring(L"/site/out/") + c.name + L".txt", std::nullopt, report);
    Outcome failed = MakeOutcome(OutcomeKind::kNoSourceFiles, L"/site/" + c.name);
    site.Add(c.name, std::nullopt, failed, std::nullopt);
    SiteReportHeader header = Header();
    header.site_folder = L"/" + c.name;
    const std::string page = SiteReportHtml(site, header);
    EXPECT_EQ(page.find("<script"), std::string::npos);
    EXPECT_EQ(Count(page, "<svg"), 2u);  // the overview and the converted one: the failed one has its message
    EXPECT_EQ(page.find("href=\"javascript"), std::string::npos);
    EXPECT_NE(page.find("<h3>" + c.shown + "</h3>"), std::string::npos);
    EXPECT_NE(page.find("<title>" + std::string("\xE3\x82\xB5")), std::string::npos);  // サイトの報告 - ...
    EXPECT_NE(page.find("&lt;/svg&gt;&lt;script&gt;</td>"), std::string::npos);
    EXPECT_NE(page.find("<p class=\"e\">"), std::string::npos);
  }
}

TEST(FileLink, RelativeBelowThePageElseAFileUrlEveryPiecePercentEncoded) {
  const struct {
    const wchar_t* page;
    std::wstring target;
    wchar_t separator;
    const char* link;
  } cases[] = {
      {L"/s/out/r.html", L"/s/out/B-1.txt", L'/', "./B-1.txt"},
      {L"/s/out/r.html", L"/s/out/javascript:x.txt", L'/', "./javascript%3Ax.txt"},
      {L"/s/r.html", L"/s/out/\u65E5\u672C.txt", L'/', "./out/%E6%97%A5%E6%9C%AC.txt"},
      {L"/s/out/r.html", L"/s/out/a b#c?&<\">.txt", L'/', "./a%20b%23c%3F%26%3C%22%3E.txt"},
      {L"/s/out/r.html", L"/s/out/../out/./B.txt", L'/', "./B.txt"},
      {L"/s/r.html", L"/s/a\\b.txt", L'/', "./a%5Cb.txt"},  // a backslash is part of a POSIX name
      {L"/s/rep/r.html", L"/s/out/B-1.txt", L'/', "file:///s/out/B-1.txt"},
      {L"/s/rep/r.html", L"/javascript:x/B.txt", L'/', "file:///javascript%3Ax/B.txt"},
      {L"/s/out/r.html", L"/s/OUT/B.txt", L'/', "file:///s/OUT/B.txt"},  // letter case counts on POSIX
      {L"C:\\s\\out\\r.html", L"C:\\s\\out\\B-1.txt", L'\\', "./B-1.txt"},
      {L"C:\\s\\out\\r.html", L"c:\\S\\OUT\\sub\\B-1.txt", L'\\', "./sub/B-1.txt"},
      {L"C:\\s\\out\\r.html", L"C:/s/out/x.txt", L'\\', "./x.txt"},
      {L"C:\\s\\out\\r.html", L"D:\\out\\B-1.txt", L'\\', "file:///D:/out/B-1.txt"},
      {L"C:\\s\\rep\\r.html", L"C:\\s\\out\\\u65E5.txt", L'\\', "file:///C:/s/out/%E6%97%A5.txt"},
      {L"C:\\s\\r.html", L"\\\\server\\share\\out\\B.txt", L'\\', "file://server/share/out/B.txt"},
      {L"\\\\server\\share\\r.html", L"\\\\server\\share\\out\\B.txt", L'\\', "./out/B.txt"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FileLink(c.page, c.target, c.separator), c.link) << ::testing::PrintToString(c.target);
  }
  if (sizeof(wchar_t) == 4) {  // a byte of a Linux name that is not UTF-8 links as itself
    EXPECT_EQ(FileLink(L"/s/r.html", L"/s/bad" + std::wstring(1, static_cast<wchar_t>(0xDCFF)) + L".txt", L'/'), "./bad%FF.txt");
  }
}

TEST(IsoDateTime, LocalTimeWithItsOffset) {
  const struct {
    ReportTime time;
    const wchar_t* text;
  } cases[] = {
      {{0, 0}, L"1970-01-01T00:00:00+00:00"},
      {{1796789100, 540}, L"2026-12-09T13:05:00+09:00"},
      {{1796789100, -330}, L"2026-12-08T22:35:00-05:30"},
      {{951782400, 0}, L"2000-02-29T00:00:00+00:00"},
      {{-1, 0}, L"1969-12-31T23:59:59+00:00"},
      {{4102444800, 0}, L"2100-01-01T00:00:00+00:00"},
  };
  for (const auto& c : cases) EXPECT_EQ(IsoDateTime(c.time), c.text) << c.time.seconds;
}

TEST(SiteReport, KeepsTheFirst200FindingsAndCountsTheRest) {
  ConversionReport report;
  for (int i = 1; i <= 250; ++i) {
    Finding f;
    f.line = i;
    f.line_text = std::string(200, 'x');
    f.message = L"m";
    report.findings.push_back(f);
  }
  SiteReport site;
  site.Add(L"B", std::wstring(L"/site/out/B.txt"), std::nullopt, report);
  ASSERT_EQ(site.boreholes().size(), 1u);
  const SiteBorehole& b = site.boreholes()[0];
  EXPECT_EQ(b.findings.size(), kSiteFindingsKept);
  EXPECT_EQ(b.findings_total, 250);
  EXPECT_EQ(b.warnings, 250);
  EXPECT_EQ(b.result, SiteResult::kWithWarnings);
  EXPECT_TRUE(b.findings.back().line_text.empty());
  const std::string page = SiteReportHtml(site, Header());
  EXPECT_EQ(Count(page, "<tr><td>"), 200u + 1u);  // the findings and the boreholes' table's row
  EXPECT_NE(page.find(">\xE4\xBB\x96 50 \xE4\xBB\xB6<"), std::string::npos);  // 他 50 件
}

TEST(SiteReport, ASummaryAsTheBatchCountsIt) {
  SiteReport site;
  site.SetSummary({7, 5, 2, 2, true});
  const std::string page = SiteReportHtml(site, Header());
  EXPECT_NE(page.find("id=\"s-folders\">7<"), std::string::npos);
  EXPECT_NE(page.find("id=\"s-converted\">5<"), std::string::npos);
  EXPECT_NE(page.find("id=\"s-with-warnings\">2<"), std::string::npos);
  EXPECT_NE(page.find("id=\"s-failed\">2<"), std::string::npos);
  EXPECT_NE(page.find("id=\"stopped\""), std::string::npos);
  EXPECT_NE(page.find("2026-12-09T13:05:00+09:00"), std::string::npos);
  EXPECT_NE(page.find("@page{size:A4 landscape"), std::string::npos);
}

}  // namespace
}  // namespace pel
