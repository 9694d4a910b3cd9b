// Conversion speed on real files, each against its floor measured in the same run:
//  - the largest folder the 16-bit record counts allow, read, converted and checked in
//    memory, against reading its four files once;
//  - a typical borehole converted and written, against reading its files once and
//    replacing a file of the same bytes atomically (the CPU time is what counts here).
// Peak heap per source byte for the largest folder. The largest folder's times are wall
// times: its X100.txt is read on one thread while a second reads the other files.
//
//   build/native/bench/pel_convert_bench
#include <benchmark/benchmark.h>

#include <string>

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

void BM_PrepareLargest(benchmark::State& s) { Prepare(s, Largest()); }
void BM_ReadOnceLargest(benchmark::State& s) { ReadOnce(s, Largest()); }
void BM_ConvertTypical(benchmark::State& s) { Convert(s, Typical()); }
void BM_ReadOnceAndReplaceTypical(benchmark::State& s) { ReadOnceAndReplace(s, Typical()); }
void BM_PrepareTypical(benchmark::State& s) { Prepare(s, Typical()); }
void BM_ReadOnceTypical(benchmark::State& s) { ReadOnce(s, Typical()); }

BENCHMARK(BM_PrepareLargest)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadOnceLargest)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ConvertTypical)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadOnceAndReplaceTypical)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PrepareTypical)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadOnceTypical)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
