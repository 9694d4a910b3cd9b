// The conversion check against an earlier build's check on the same folder: the folder's
// four files are cut from the input at 0xFF 0xFF pairs, converted by both, and every
// field of every finding, the written bytes and the error must agree.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "differential/neutral.h"
#include "run/conversion.h"
#include "support/fake_file_system.h"

namespace differential {
#define PEL_CONVERT ConvertWithThisBuild
#include "differential/convert.inc"
}  // namespace differential

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::array<std::string, 4> files;
  for (auto& file : files) {
    const std::size_t cut = rest.find("\xFF\xFF");
    file = std::string(rest.substr(0, cut));
    if (cut == std::string_view::npos) break;
    rest.remove_prefix(cut + 2);
  }
  const differential::Result now = differential::ConvertWithThisBuild(files);
  const differential::Result before = differential::ConvertWithEarlierBuild(files);
  const bool same = now.written == before.written && now.bytes == before.bytes &&
                    now.error == before.error && now.findings == before.findings;
  if (!same) {
    std::fprintf(stderr, "differ: written %d/%d, error %d/%d, %zu/%zu findings\n", now.written, before.written,
                 now.error, before.error, now.findings.size(), before.findings.size());
    for (std::size_t i = 0; i < now.findings.size() && i < before.findings.size(); ++i) {
      const auto &a = now.findings[i], &b = before.findings[i];
      if (a == b) continue;
      std::fprintf(stderr, "finding %zu: kind %d/%d line %d/%d record %d/%d field %d/%d row %d/%d count %d/%d text %d output %d message %d\n",
                   i, a.kind, b.kind, a.line, b.line, a.record, b.record, a.field, b.field, a.row, b.row, a.count,
                   b.count, a.text == b.text, a.output == b.output, a.message == b.message);
    }
    std::abort();
  }
  return 0;
}
