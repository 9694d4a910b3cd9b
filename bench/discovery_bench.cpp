// The PATDAT walk over a generated tree of about 20,000 folders with no PATDAT in it,
// against the floor: a plain recursive FindFirstFileExW enumeration of the same tree
// (one listing per folder); the walk alone, and watched as the start-up's search window
// watches it. Windows program; on Linux run it under Wine:
//   cmake/wine-run.sh build/win64/wineprefix build/win64/bench/pel_discovery_bench.exe [FOLDER]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "discovery/patdat.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_ports.h"
#include "platform/win32/win32_system.h"

namespace {

double Seconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// 20 x 20 x 50 folders below the root, two small files in each of the deepest.
long MakeTree(const std::wstring& root) {
  long folders = 0;
  CreateDirectoryW(root.c_str(), nullptr);
  for (int a = 0; a < 20; ++a) {
    const std::wstring pa = root + L"\\site" + std::to_wstring(a);
    folders += CreateDirectoryW(pa.c_str(), nullptr) ? 1 : 0;
    for (int b = 0; b < 20; ++b) {
      const std::wstring pb = pa + L"\\boring" + std::to_wstring(b);
      folders += CreateDirectoryW(pb.c_str(), nullptr) ? 1 : 0;
      for (int c = 0; c < 50; ++c) {
        const std::wstring pc = pb + L"\\run" + std::to_wstring(c);
        folders += CreateDirectoryW(pc.c_str(), nullptr) ? 1 : 0;
        for (const wchar_t* name : {L"\\X1.txt", L"\\X5.txt"}) {
          const pel::win32::UniqueHandle file(
              CreateFileW((pc + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        }
      }
    }
  }
  return folders;
}

long Enumerate(const std::wstring& folder) {
  long listed = 1;
  WIN32_FIND_DATAW data;
  const pel::win32::UniqueFind find(FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data,
                                                    FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!find) return listed;
  do {
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
        wcscmp(data.cFileName, L".") != 0 && wcscmp(data.cFileName, L"..") != 0) {
      listed += Enumerate(folder + L"\\" + data.cFileName);
    }
  } while (FindNextFileW(find.get(), &data));
  return listed;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  pel::win32::UseQuietErrorModeAndSafeDllSearch();
  const std::wstring root = argc > 1 ? argv[1] : L"T:\\discovery-bench";
  if (GetFileAttributesW((root + L"\\site19\\boring19\\run49").c_str()) == INVALID_FILE_ATTRIBUTES) {
    const double start = Seconds();
    const long made = MakeTree(root);
    std::printf("made %ld folders in %.1f s\n", made, Seconds() - start);
  }

  pel::win32::Win32FileSystem fs;
  pel::win32::Win32Drives drives;
  pel::win32::Win32Process process;
  double floor = 1e9, walk = 1e9, watched = 1e9;
  long floor_listings = 0;
  std::int64_t walk_listings = 0;
  // One walk; `watch` as the window's search watches it from its own thread.
  auto time_walk = [&](pel::PatdatWalkWatch* watch) {
    pel::qpro::Library library(fs, drives);
    std::int16_t hits = 0;
    std::vector<std::wstring> list;
    const double start = Seconds();
    // Watched, the walk runs on its own thread, as the start-up's search runs it.
    pel::WalkerProcess walker(process);
    pel::ProcessEnvironment& walking = watch ? static_cast<pel::ProcessEnvironment&>(walker) : process;
    pel::SearchPatdatTree(library, walking, root + L"\\PATDAT", hits, list, pel::kPatdatMarker, watch);
    const double took = Seconds() - start;
    walk_listings = library.listings();
    if (hits != 0) std::printf("unexpected hit\n");
    return took;
  };
  for (int round = 0; round < 3; ++round) {
    const double start = Seconds();
    floor_listings = Enumerate(root);
    floor = std::min(floor, Seconds() - start);
    walk = std::min(walk, time_walk(nullptr));
    pel::PatdatWalkWatch watch;
    watched = std::min(watched, time_walk(&watch));
  }
  std::printf("floor (FindFirstFileExW, recursive): %ld folders listed, best of 3: %.1f ms\n", floor_listings,
              floor * 1000);
  std::printf("PATDAT walk:                         %lld folders listed, best of 3: %.1f ms\n",
              static_cast<long long>(walk_listings), walk * 1000);
  std::printf("PATDAT walk, watched:                %lld folders listed, best of 3: %.1f ms\n",
              static_cast<long long>(walk_listings), watched * 1000);
  std::printf("walk / floor: %.2f   watched / floor: %.2f\n", walk / floor, watched / floor);
  return 0;
}
