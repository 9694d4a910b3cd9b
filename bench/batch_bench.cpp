// A site of 1,000 borehole folders converted by "pelmora2liq-cli batch" as a process, its
// text output written to a file, against a floor measured in the same run: this process
// making the same file-system calls through the same adapter (listing the site, then for
// each folder listing it and reading each of its files once, and replacing each output
// file atomically, flushed, with exactly the bytes the batch wrote; and writing the same
// text to a file) without parsing, checking or formatting. The site is a fixed mix of
// folder sizes (a seeded generator), some with findings. On the disk (/var/tmp) and on a
// memory file system (/dev/shm); any pelmora2liq-cli can be measured on the same site.
//
//   build/native/bench/pel_batch_bench [pelmora2liq-cli] [folders]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "bench/borehole_folders.h"
#include "platform/posix/posix_file_system.h"
#include "source/field_map.h"

namespace {

namespace fs = std::filesystem;

double Seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A site of `count` folders B-0001 and on: mostly typical boreholes, some small, some
// large, one in five with findings.
void MakeSite(const std::string& site, int count) {
  fs::remove_all(site);
  std::mt19937 random(20261209);
  for (int i = 1; i <= count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/B-%04d", i);
    const int size = std::uniform_int_distribution<int>(0, 99)(random);
    const int scale = size < 10 ? 1 : size < 90 ? 3 : 12;  // small, typical, large
    auto records = [&](int typical) { return std::uniform_int_distribution<int>(typical * scale / 6, typical * scale / 2)(random); };
    const bool findings = std::uniform_int_distribution<int>(0, 4)(random) == 0;
    pel::bench::MakeFolderAt(site + name, records(7), records(10), records(10), findings);
  }
}

struct Run {
  double seconds = 0, cpu = 0;
  long peak_kb = 0;
  int status = -1;
};

// `cli batch site out` as a process, its output into `text`.
Run RunCli(const std::string& cli, const std::string& site, const std::string& out, const std::string& text) {
  Run run;
  std::fflush(stdout);  // or the child prints what this process has not yet written
  const double start = Seconds();
  const pid_t child = fork();
  if (child == 0) {
    if (!std::freopen(text.c_str(), "w", stdout)) _exit(127);
    execl(cli.c_str(), cli.c_str(), "batch", site.c_str(), out.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  run.seconds = Seconds() - start;
  run.cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
            static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  run.peak_kb = usage.ru_maxrss;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// The floor: the batch's file-system work and nothing else, with the bytes it wrote.
double Floor(const std::string& site, const std::string& out, const std::string& text,
             const std::vector<std::pair<std::wstring, std::string>>& outputs, const std::string& printed) {
  pel::posix::PosixFileSystem files;
  const double start = Seconds();
  const std::wstring wide_site = pel::posix::TextName(site), wide_out = pel::posix::TextName(out);
  files.CreateFolder(wide_out);
  std::size_t next = 0;
  const auto site_listing = files.ListFolder(wide_site);
  for (const auto& entry : site_listing.value()) {
    if (!entry.is_folder || entry.name == L"." || entry.name == L"..") continue;
    const std::wstring folder = files.Join(wide_site, entry.name);
    const auto listing = files.ListFolder(folder);
    for (const auto& file : listing.value()) {
      if (!file.is_folder) (void)files.ReadWholeFile(files.Join(folder, file.name));
    }
    const auto& [name, bytes] = outputs[next++ % outputs.size()];
    (void)files.AtomicReplace(files.Join(wide_out, name), bytes);
  }
  std::ofstream(text, std::ios::binary) << printed;
  return Seconds() - start;
}

void Measure(const std::string& cli, const std::string& root, int count) {
  const std::string site = root + "/site", out = root + "/out", text = root + "/batch.txt";
  MakeSite(site, count);
  fs::remove_all(out);
  const Run first = RunCli(cli, site, out, text);  // once, for the bytes it writes
  std::vector<std::pair<std::wstring, std::string>> outputs;
  for (const auto& entry : fs::directory_iterator(out)) {
    outputs.emplace_back(pel::posix::TextName(entry.path().filename().string()), Slurp(entry.path()));
  }
  const std::string printed = Slurp(text);
  Run best;
  best.seconds = 1e9;
  double floor = 1e9;
  for (int round = 0; round < 5; ++round) {
    fs::remove_all(out);
    floor = std::min(floor, Floor(site, out, text, outputs, printed));
    fs::remove_all(out);
    const Run run = RunCli(cli, site, out, text);
    if (run.seconds < best.seconds) best = run;
  }
  std::printf("%-20s %d folders (status %d, %zu outputs, %zu bytes printed): batch %.1f ms (cpu %.1f ms, peak %ld KB), "
              "floor %.1f ms, ratio %.2f\n",
              root.c_str(), count, first.status, outputs.size(), printed.size(), best.seconds * 1e3, best.cpu * 1e3,
              best.peak_kb, floor * 1e3, best.seconds / floor);
  fs::remove_all(root);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string self = fs::canonical("/proc/self/exe").string();
  const std::string cli = argc > 1 ? argv[1] : fs::path(self).parent_path().parent_path().string() + "/pelmora2liq-cli";
  const int count = argc > 2 ? std::atoi(argv[2]) : 1000;
  for (const char* place : {"/var/tmp/pel_batch_bench", "/dev/shm/pel_batch_bench"}) Measure(cli, place, count);
  return 0;
}
