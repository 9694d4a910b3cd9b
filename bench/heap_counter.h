// Live and peak heap bytes of a benchmark, counted by replacing the global allocator.
// Include in exactly one file of a benchmark program.
#pragma once

#include <atomic>
#include <cstdlib>
#include <new>

namespace pel::bench {

inline std::atomic<std::size_t> g_live{0};
inline std::atomic<std::size_t> g_peak{0};

}  // namespace pel::bench

void* operator new(std::size_t size) {
  void* p = std::malloc(size + 16);
  if (!p) throw std::bad_alloc();
  *static_cast<std::size_t*>(p) = size;
  const std::size_t live = pel::bench::g_live += size;
  std::size_t peak = pel::bench::g_peak.load();
  while (live > peak && !pel::bench::g_peak.compare_exchange_weak(peak, live)) {
  }
  return static_cast<char*>(p) + 16;
}
void operator delete(void* p) noexcept {
  if (!p) return;
  char* base = static_cast<char*>(p) - 16;
  pel::bench::g_live -= *reinterpret_cast<std::size_t*>(base);
  std::free(base);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
