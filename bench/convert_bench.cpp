// Conversion speed on real files: a typical borehole and the largest folder the 16-bit
// record counts allow, against the floor of merely reading the same files twice (the
// counting pass and the reading pass of a plain implementation).
//
//   build/native/bench/pel_convert_bench
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <new>
#include <string>
#include <unistd.h>

#include "run/conversion.h"

namespace {

// Live and peak heap bytes, counted by the global allocator below.
std::atomic<std::size_t> g_live{0};
std::atomic<std::size_t> g_peak{0};

}  // namespace

void* operator new(std::size_t size) {
  void* p = std::malloc(size + 16);
  if (!p) throw std::bad_alloc();
  *static_cast<std::size_t*>(p) = size;
  const std::size_t live = g_live += size;
  std::size_t peak = g_peak.load();
  while (live > peak && !g_peak.compare_exchange_weak(peak, live)) {
  }
  return static_cast<char*>(p) + 16;
}
void operator delete(void* p) noexcept {
  if (!p) return;
  char* base = static_cast<char*>(p) - 16;
  g_live -= *reinterpret_cast<std::size_t*>(base);
  std::free(base);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

std::string Narrow(const std::wstring& path) {
  std::string s;
  for (wchar_t c : path) s += c == L'\\' ? '/' : static_cast<char>(c);
  return s;
}

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

// The file-system port on POSIX files; paths are ASCII with "\" for "/".
class PosixFileSystem : public pel::FileSystem {
 public:
  bool IsOrdinaryFile(const std::wstring& path) const override { return access(Narrow(path).c_str(), R_OK) == 0; }
  pel::Expected<std::string, pel::FsError> ReadWholeFile(const std::wstring& path) const override {
    return Slurp(Narrow(path));
  }
  bool EntryExists(const std::wstring& path) const override { return access(Narrow(path).c_str(), F_OK) == 0; }
  // The conversion needs none of these.
  pel::Expected<void, pel::FsError> CreateFolder(const std::wstring&) override {
    return pel::Fail(pel::FsError{L"not used"});
  }
  std::optional<std::int64_t> FileSize(const std::wstring&) const override { return std::nullopt; }
  pel::Expected<std::vector<pel::FolderEntry>, pel::FsError> ListFolder(const std::wstring&) const override {
    return pel::Fail(pel::FsError{L"not used"});
  }
  pel::Expected<void, pel::FsError> AtomicReplace(const std::wstring& path, std::string_view bytes) override {
    const std::string target = Narrow(path);
    const std::string temp = target + ".tmp";
    {
      std::ofstream out(temp, std::ios::binary | std::ios::trunc);
      out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
      if (!out) return pel::Fail(pel::FsError{L"write failed"});
    }
    if (std::rename(temp.c_str(), target.c_str()) != 0) return pel::Fail(pel::FsError{L"rename failed"});
    return {};
  }
};

struct Folder {
  std::string dir;
  std::size_t bytes = 0;
};

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

// A borehole folder with `layers` X1 records, `x5` X5 records and `x100` X100 records,
// numbers written as the borehole-log editor writes them.
Folder MakeFolder(const std::string& name, int layers, int x5, int x100) {
  Folder f;
  f.dir = "/tmp/pel_bench_" + name;
  std::system(("mkdir -p " + f.dir).c_str());
  std::string title = "\"\x8C\x8A\x8C\x8A No.1 \x90\xDD\x8C\x76\",\"2026/12/08\"\r\n";
  std::string x1, x5s, x100s;
  char buf[64];
  for (int i = 1; i <= layers; ++i) {
    std::snprintf(buf, sizeof buf, "%d,%.2f,\"\x8D\xBB\",%d\r\n", i, i * 0.85, i % 7);
    x1 += buf;
  }
  for (int i = 1; i <= x5; ++i) {
    std::snprintf(buf, sizeof buf, "%d,%.2f,%d", i, i * 0.5, 3 + i % 40);
    x5s += buf;
    x5s += ",0,0,1.85,0.00,0.00,0,,\r\n";
  }
  for (int i = 1; i <= x100; ++i) {
    std::snprintf(buf, sizeof buf, "%d,1,%.2f", i, i * 0.5 + (i % 2 ? 0.25 : 0));
    x100s += buf;
    for (int k = 4; k <= 44; ++k) {
      std::snprintf(buf, sizeof buf, ",%.3f", (k * 37 + i) % 1000 / 100.0);
      x100s += buf;
    }
    x100s += "\r\n";
  }
  WriteFile(f.dir + "/titl01.txt", title);
  WriteFile(f.dir + "/X1.txt", x1);
  WriteFile(f.dir + "/X5.txt", x5s);
  WriteFile(f.dir + "/X100.txt", x100s);
  f.bytes = title.size() + x1.size() + x5s.size() + x100s.size();
  return f;
}

const Folder& Typical() {
  static const Folder f = MakeFolder("typical", 20, 30, 30);
  return f;
}
const Folder& Largest() {
  static const Folder f = MakeFolder("largest", 32767, 16383, 16384);
  return f;
}

void Convert(benchmark::State& state, const Folder& folder) {
  PosixFileSystem fs;
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
