// A site of 1,000 typical borehole folders converted by "pelmora2liq-cli batch", in
// process, against a floor measured in the same run: the same process making the same
// adapter calls (listing the site, then for each folder listing it, reading each source
// file once and atomically writing an output of the same size) without parsing,
// checking or formatting. On the disk (/var/tmp) and on a memory file system (/dev/shm).
// Memory: the peak heap of a batch of 250 folders and of 1,000.
//
//   build/native/bench/pel_batch_bench [folders]
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "bench/borehole_folders.h"
#include "bench/heap_counter.h"
#include "cli/cli.h"
#include "util/folder_paths.h"
#include "platform/posix/posix_file_system.h"
#include "source/field_map.h"

using pel::bench::g_live;
using pel::bench::g_peak;

namespace {

namespace fs = std::filesystem;

class NullConsole : public pel::cli::Console {
 public:
  void Write(pel::cli::Stream, std::wstring_view) override {}
  bool IsTerminal(pel::cli::Stream) const override { return false; }
};

double Seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// A site of `count` copies of the typical folder, B-0001 and so on.
std::wstring MakeSite(const std::string& root, int count) {
  fs::remove_all(root);
  const pel::bench::Folder typical = pel::bench::MakeTypicalFolder(root + "/site/B-0001");
  for (int i = 2; i <= count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/site/B-%04d", i);
    fs::copy(typical.dir, root + name);
  }
  return pel::posix::TextName(root + "/site");
}

// The floor: the batch's file-system work and nothing else.
void Floor(pel::posix::PosixFileSystem& files, const std::wstring& site, const std::wstring& out,
           std::size_t output_bytes) {
  const std::string output(output_bytes, ' ');
  files.CreateFolder(out);
  const auto listing = files.ListFolder(pel::WithBackslash(site));
  for (const auto& entry : listing.value()) {
    if (!entry.is_folder || entry.name == L"." || entry.name == L"..") continue;
    const std::wstring folder = site + L"/" + entry.name;
    (void)files.ListFolder(pel::WithBackslash(folder));
    for (const wchar_t* name : pel::kSourceFileNames) (void)files.ReadWholeFile(pel::JoinPath(folder, name));
    (void)files.AtomicReplace(out + L"/" + entry.name + L".txt", output);
  }
}

double Batch(pel::posix::PosixFileSystem& files, const std::wstring& site, const std::wstring& out) {
  NullConsole console;
  std::atomic<bool> stop{false};
  pel::cli::CliPorts ports{files, console, stop};
  const double start = Seconds();
  const int status = pel::cli::RunCli({L"batch", site, out}, ports);
  const double took = Seconds() - start;
  if (status != pel::cli::kExitClean) std::printf("  batch exit status %d\n", status);
  return took;
}

void Measure(const std::string& root, int count) {
  pel::posix::PosixFileSystem files;
  const std::wstring site = MakeSite(root, count);
  const std::wstring out = pel::posix::TextName(root + "/out");
  Batch(files, site, out);  // once, so that the real output size is known
  const auto written = static_cast<std::size_t>(fs::file_size(root + "/out/B-0001.txt"));
  double best_batch = 1e9, best_floor = 1e9;
  for (int run = 0; run < 5; ++run) {
    fs::remove_all(root + "/out");
    const double start = Seconds();
    Floor(files, site, out, written);
    best_floor = std::min(best_floor, Seconds() - start);
    fs::remove_all(root + "/out");
    best_batch = std::min(best_batch, Batch(files, site, out));
  }
  std::printf("%-10s %d folders: batch %.1f ms (%.0f folders/s), floor %.1f ms (%.0f folders/s), ratio %.2f\n",
              root.c_str(), count, best_batch * 1e3, count / best_batch, best_floor * 1e3, count / best_floor,
              best_batch / best_floor);
  fs::remove_all(root);
}

void PeakHeap(const std::string& root, int count) {
  pel::posix::PosixFileSystem files;
  const std::wstring site = MakeSite(root, count);
  const std::size_t base = g_live.load();
  g_peak = base;
  Batch(files, site, pel::posix::TextName(root + "/out"));
  std::printf("peak heap of a batch of %4d folders: %.1f KB\n", count, static_cast<double>(g_peak.load() - base) / 1e3);
  fs::remove_all(root);
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
  for (const char* place : {"/var/tmp/pel_batch_bench", "/dev/shm/pel_batch_bench"}) Measure(place, count);
  PeakHeap("/dev/shm/pel_batch_bench", count / 4);
  PeakHeap("/dev/shm/pel_batch_bench", count);
  return 0;
}
