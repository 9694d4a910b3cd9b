// The site report's size and speed, on a borehole of 18 points without findings
// (examples/B-1 with its blank X5 value filled in and one more record):
//  - bytes of the page per borehole (the page of 1,000 less the page of none, over 1,000);
//  - a 1,000-borehole report fed, written as HTML and replaced atomically on disk.
//
//   build/native/bench/pel_site_report_bench
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "platform/posix/posix_file_system.h"
#include "report/site_report.h"
#include "run/conversion.h"

namespace {

constexpr int kBoreholes = 1000;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// B-1 without findings: record 7's blank X5 value filled in, a 15th record added.
const pel::ConversionReport& CleanBorehole() {
  static const pel::ConversionReport report = [] {
    const std::string dir = "/tmp/pel_bench_site_b1";
    std::filesystem::remove_all(dir);
    std::filesystem::copy(PEL_EXAMPLES "/B-1", dir);
    std::string x5 = ReadFile(dir + "/X5.txt");
    x5 = std::regex_replace(x5, std::regex("\n7,7\\.15,,"), "\n7,7.15,6,");
    x5 += "15,15.15,9,30,10,10,10,\"\x95\x57\x8F\x80\x8A\xD1\x93\xFC\",,0,\"\"\r\n";
    std::ofstream(dir + "/X5.txt", std::ios::binary) << x5;
    pel::posix::PosixFileSystem fs;
    auto prepared = pel::PrepareBorehole(fs, pel::posix::TextName(dir));
    return prepared ? prepared->report : pel::ConversionReport{};
  }();
  return report;
}

pel::SiteReport Site(int boreholes) {
  pel::SiteReport site;
  for (int i = 0; i < boreholes; ++i) {
    const std::wstring name = L"B-" + std::to_wstring(1000 + i);
    site.Add(name, L"/work/site/out/" + name + L".txt", std::nullopt, CleanBorehole());
  }
  site.SetSummary({boreholes, boreholes, 0, 0, false});
  return site;
}

pel::SiteReportHeader Header() {
  pel::SiteReportHeader h;
  h.site_folder = L"/work/site";
  h.output_folder = L"/work/site/out";
  h.report_file = L"/work/site/out/site.html";
  h.separator = L'/';
  h.time = {1796789100, 540};
  h.version = L"1.0.0";
  return h;
}

void BM_BytesPerBorehole(benchmark::State& state) {
  const pel::SiteReport none = Site(0), many = Site(kBoreholes);
  std::size_t bytes = 0, base = 0;
  for (auto _ : state) {
    base = pel::SiteReportHtml(none, Header()).size();
    bytes = pel::SiteReportHtml(many, Header()).size();
  }
  const pel::ConversionReport& b = CleanBorehole();
  state.counters["points"] = b.counts.points_written;
  state.counters["findings"] = static_cast<double>(b.findings.size());
  state.counters["page_bytes"] = static_cast<double>(bytes);
  state.counters["bytes_per_borehole"] = static_cast<double>(bytes - base) / kBoreholes;
}

// Fed a folder at a time as a batch feeds it, written as HTML, replaced on disk.
void BM_Report1000(benchmark::State& state) {
  CleanBorehole();
  pel::posix::PosixFileSystem fs;
  const std::wstring file = L"/tmp/pel_bench_site_report.html";
  std::size_t bytes = 0;
  for (auto _ : state) {
    const pel::SiteReport site = Site(kBoreholes);
    const std::string page = pel::SiteReportHtml(site, Header());
    if (!fs.AtomicReplace(file, page)) state.SkipWithError("the report was not written");
    bytes = page.size();
  }
  state.counters["page_MB"] = static_cast<double>(bytes) / 1e6;
}

}  // namespace

BENCHMARK(BM_BytesPerBorehole)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Report1000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
