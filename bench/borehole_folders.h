// Borehole folders for the benchmarks, with numbers written as the borehole-log editor
// writes them.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace pel::bench {

struct Folder {
  std::string dir;
  std::size_t bytes = 0;
};

inline void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

// A folder at `dir` with `layers` X1 records, `x5` X5 records and `x100` X100 records;
// with `findings`, X5 values that are missing or no numbers, every seventh.
inline Folder MakeFolderAt(const std::string& dir, int layers, int x5, int x100, bool findings = false) {
  Folder f;
  f.dir = dir;
  std::filesystem::create_directories(dir);
  std::string title = "\"\x8C\x8A\x8C\x8A No.1 \x90\xDD\x8C\x76\",\"2026/12/08\"\r\n";
  std::string x1, x5s, x100s;
  char buf[64];
  for (int i = 1; i <= layers; ++i) {
    std::snprintf(buf, sizeof buf, "%d,%.2f,\"\x8D\xBB\",%d\r\n", i, i * 0.85, i % 7);
    x1 += buf;
  }
  for (int i = 1; i <= x5; ++i) {
    if (findings && i % 7 == 0) {
      std::snprintf(buf, sizeof buf, "%d,%.2f,%s", i, i * 0.5, i % 14 == 0 ? "" : "\x8C\x87\x91\xAA");  // 欠測
    } else {
      std::snprintf(buf, sizeof buf, "%d,%.2f,%d", i, i * 0.5, 3 + i % 40);
    }
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

inline Folder MakeFolder(const std::string& name, int layers, int x5, int x100) {
  return MakeFolderAt("/tmp/pel_bench_" + name, layers, x5, x100);
}

// The typical borehole: 20 layers, 30 X5 and 30 X100 records.
inline Folder MakeTypicalFolder(const std::string& dir) { return MakeFolderAt(dir, 20, 30, 30); }

}  // namespace pel::bench
