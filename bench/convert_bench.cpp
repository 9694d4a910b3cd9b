// Conversion speed on real files, each against its floor measured in the same run:
//  - the largest folder the 16-bit record counts allow, read, converted and checked in
//    memory, against reading its four files once;
//  - a typical borehole converted and written, against reading its files once and
//    replacing a file of the same bytes atomically (the CPU time is what counts here).
// The largest folder also with each conversion timed beside a read of the files just
// before it, and their ratio. Peak heap per source byte for the largest folder. The largest folder's times are wall
// times: its X100.txt is read on one thread while a second reads the other files.
//
//   build/native/bench/pel_convert_bench
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "bench/borehole_folders.h"
#include "bench/heap_counter.h"
#include "platform/posix/posix_file_system.h"
#include "run/conversion.h"
#include "source/field_map.h"

using pel::bench::g_live;
using pel::bench::g_peak;

namespace {

using pel::bench::Folder;
using pel::bench::MakeFolder;

const Folder& Typical() {
  static const Folder f = MakeFolder("typical", 20, 30, 30);
  return f;
}
const Folder& Largest() {
  static const Folder f = MakeFolder("largest", 32767, 16383, 16384);
  return f;
}

std::wstring Wide(const std::string& path) { return pel::posix::TextName(path); }

void ReadAll(pel::posix::PosixFileSystem& fs, const Folder& folder) {
  for (const wchar_t* name : pel::kSourceFileNames) benchmark::DoNotOptimize(fs.ReadWholeFile(fs.Join(Wide(folder.dir), name)));
}

// Read, converted and checked in memory; nothing written.
void Prepare(benchmark::State& state, const Folder& folder) {
  pel::posix::PosixFileSystem fs;
  const std::wstring source = Wide(folder.dir);
  g_peak = g_live.load();
  const std::size_t base = g_live.load();
  for (auto _ : state) {
    auto prepared = pel::PrepareBorehole(fs, source);
    if (!prepared) state.SkipWithError("conversion failed");
    benchmark::DoNotOptimize(prepared);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * folder.bytes));
  state.counters["source_MB"] = static_cast<double>(folder.bytes) / 1e6;
  state.counters["peak_per_source_byte"] = static_cast<double>(g_peak.load() - base) / static_cast<double>(folder.bytes);
}

// The floor: each of the four files read once.
void ReadOnce(benchmark::State& state, const Folder& folder) {
  pel::posix::PosixFileSystem fs;
  for (auto _ : state) ReadAll(fs, folder);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * folder.bytes));
}

// Converted and written.
void Convert(benchmark::State& state, const Folder& folder) {
  pel::posix::PosixFileSystem fs;
  const std::wstring source = Wide(folder.dir);
  const std::wstring dest = source + L"/out.txt";
  for (auto _ : state) {
    if (!pel::ConvertBorehole(fs, source, dest)) state.SkipWithError("conversion failed");
  }
}

// The floor: the files read once and a file of the output's bytes replaced atomically.
void ReadOnceAndReplace(benchmark::State& state, const Folder& folder) {
  pel::posix::PosixFileSystem fs;
  const std::wstring source = Wide(folder.dir);
  const std::string output = pel::PrepareBorehole(fs, source)->bytes;
  const std::wstring dest = source + L"/floor.txt";
  for (auto _ : state) {
    ReadAll(fs, folder);
    (void)fs.AtomicReplace(dest, output);
  }
}

// The two side by side: one read of the files, then one conversion, in turn, each timed,
// so that both meet the same machine (on a shared virtual machine the pace of memory
// changes by half within seconds, and a floor measured a second apart misleads). Reports
// the median of each and the median of the conversions' ratio to the read beside them.
void PrepareBesideFloor(benchmark::State& state, const Folder& folder) {
  pel::posix::PosixFileSystem fs;
  const std::wstring source = Wide(folder.dir);
  std::vector<double> floors, conversions, ratios;
  using Clock = std::chrono::steady_clock;
  for (auto _ : state) {
    const auto start = Clock::now();
    ReadAll(fs, folder);
    const auto read = Clock::now();
    auto prepared = pel::PrepareBorehole(fs, source);
    const auto done = Clock::now();
    if (!prepared) state.SkipWithError("conversion failed");
    benchmark::DoNotOptimize(prepared);
    const double floor = std::chrono::duration<double, std::milli>(read - start).count();
    const double conversion = std::chrono::duration<double, std::milli>(done - read).count();
    state.SetIterationTime((floor + conversion) / 1000);
    floors.push_back(floor);
    conversions.push_back(conversion);
    ratios.push_back(conversion / floor);
  }
  auto median = [](std::vector<double>& v) {
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
  };
  state.counters["floor_ms"] = median(floors);
  state.counters["conversion_ms"] = median(conversions);
  state.counters["ratio"] = median(ratios);
}

void BM_PrepareLargest(benchmark::State& s) { Prepare(s, Largest()); }
void BM_PrepareLargestBesideFloor(benchmark::State& s) { PrepareBesideFloor(s, Largest()); }
void BM_ReadOnceLargest(benchmark::State& s) { ReadOnce(s, Largest()); }
void BM_ConvertTypical(benchmark::State& s) { Convert(s, Typical()); }
void BM_ReadOnceAndReplaceTypical(benchmark::State& s) { ReadOnceAndReplace(s, Typical()); }
void BM_PrepareTypical(benchmark::State& s) { Prepare(s, Typical()); }
void BM_ReadOnceTypical(benchmark::State& s) { ReadOnce(s, Typical()); }

BENCHMARK(BM_PrepareLargest)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadOnceLargest)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PrepareLargestBesideFloor)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_ConvertTypical)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadOnceAndReplaceTypical)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PrepareTypical)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadOnceTypical)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
