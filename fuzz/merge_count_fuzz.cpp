// The merge's row count against the plain walk, on two runs of depth values made from
// the input: each byte a step up by halves (0: the value repeated), a drop, -0 or 0, or
// an infinity; the first byte shares the rest between the X5 run and the X100 run. No
// NaN: a depth's value never is one.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "source/merge.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t x5_bytes = (size - 1) * data[0] / 256;
  std::vector<double> runs[2];
  for (std::size_t i = 1; i < size; ++i) {
    std::vector<double>& run = runs[i - 1 < x5_bytes ? 0 : 1];
    const double last = run.empty() ? 0.0 : run.back();
    const int low = data[i] & 15;
    switch (data[i] >> 4) {
      case 12: run.push_back(last - 8.0 * low); break;
      case 13: run.push_back(low < 8 ? HUGE_VAL : -HUGE_VAL); break;
      case 14: run.push_back(low < 8 ? -0.0 : 0.0); break;
      default: run.push_back(last + 0.5 * low); break;
    }
  }
  if (pel::CountMergedRows(runs[0], runs[1]) != pel::CountMergedRowsPlain(runs[0], runs[1])) std::abort();
  return 0;
}
