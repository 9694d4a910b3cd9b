// Compiled against the earlier build's sources with its namespace renamed (-Dpel=pel_old):
// one conversion with its findings, in plain types.
#include "differential/neutral.h"
#include "run/conversion.h"
#include "support/fake_file_system.h"

namespace differential {

Result ConvertWithEarlierBuild(const std::array<std::string, 4>& files) {
  pel::testing::FakeFileSystem fs;
  const wchar_t* names[] = {L"C:\\b\\titl01.txt", L"C:\\b\\X1.txt", L"C:\\b\\X5.txt", L"C:\\b\\X100.txt"};
  for (std::size_t i = 0; i < 4; ++i) {
    if (!files[i].empty()) fs.AddFile(names[i], files[i]);
  }
  fs.AddFolder(L"C:\\b");
  Result result;
  auto converted = pel::ConvertBorehole(fs, L"C:\\b", L"C:\\out.txt");
  if (!converted) {
    result.error = static_cast<int>(converted.error().kind);
    return result;
  }
  result.written = true;
  result.bytes = fs.File(L"C:\\out.txt");
  for (const auto& f : converted->findings) {
    result.findings.push_back({static_cast<int>(f.kind), static_cast<int>(f.severity), static_cast<int>(f.source),
                               f.file, f.line, f.record, f.field, static_cast<int>(f.section), f.row, f.text, f.output,
                               f.count, f.message});
  }
  return result;
}

}  // namespace differential
