// Conversion speed on real files: a typical borehole and the largest folder the 16-bit
// record counts allow, against the floor of merely reading the same files twice (the
// counting pass and the reading pass of a plain implementation).
//
//   build/native/bench/pel_convert_bench
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "bench/borehole_folders.h"
#include "bench/heap_counter.h"
#include "platform/posix/posix_file_system.h"
#include "run/conversion.h"

using pel::bench::g_live;
using pel::bench::g_peak;

namespace {

std::string Slurp(const std::string& path) {
  std::string bytes;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    std::fseek(f, 0, SEEK_END);
    bytes.resize(static_cast<std::size_t>(std::ftell(f)));
    std::fseek(f, 0, SEEK_SET);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    std::fclose(f);
  }
  return bytes;
}

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

void Convert(benchmark::State& state, const Folder& folder) {
  pel::posix::PosixFileSystem fs;
  const std::wstring source(folder.dir.begin(), folder.dir.end());
  const std::wstring dest = source + L"/out.txt";
  g_peak = g_live.load();
  const std::size_t base = g_live.load();
  for (auto _ : state) {
    auto result = pel::ConvertBorehole(fs, source, dest);
    if (!result) state.SkipWithError("conversion failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * folder.bytes));
  state.counters["source_MB"] = static_cast<double>(folder.bytes) / 1e6;
  state.counters["peak_heap_MB"] = static_cast<double>(g_peak.load() - base) / 1e6;
  state.counters["peak_per_source_byte"] = static_cast<double>(g_peak.load() - base) / static_cast<double>(folder.bytes);
}

// The floor: read each of the four files twice.
void ReadTwice(benchmark::State& state, const Folder& folder) {
  for (auto _ : state) {
    for (const char* name : {"titl01.txt", "X1.txt", "X5.txt", "X100.txt"}) {
      for (int pass = 0; pass < 2; ++pass) benchmark::DoNotOptimize(Slurp(folder.dir + "/" + name));
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * folder.bytes));
}

void BM_ConvertTypical(benchmark::State& s) { Convert(s, Typical()); }
void BM_ReadTwiceTypical(benchmark::State& s) { ReadTwice(s, Typical()); }
void BM_ConvertLargest(benchmark::State& s) { Convert(s, Largest()); }
void BM_ReadTwiceLargest(benchmark::State& s) { ReadTwice(s, Largest()); }

BENCHMARK(BM_ConvertTypical)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadTwiceTypical)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConvertLargest)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadTwiceLargest)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
