// A whole conversion over an in-memory folder whose four files are cut from the input
// at 0xFF 0xFF pairs. Whatever the files hold, the conversion either writes a file of
// the fixed layout or reports an error and writes nothing; every finding of the check
// names a line of its file and a record within the file's count; a missing file's
// finding names no line.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "check/conversion_check.h"
#include "run/conversion.h"
#include "support/fake_file_system.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  pel::testing::FakeFileSystem fs;
  const wchar_t* names[] = {L"C:\\b\\titl01.txt", L"C:\\b\\X1.txt", L"C:\\b\\X5.txt", L"C:\\b\\X100.txt"};
  std::size_t lines_in[4] = {0, 0, 0, 0};
  bool present[4] = {false, false, false, false};
  for (std::size_t i = 0; i < 4; ++i) {
    const std::size_t cut = rest.find("\xFF\xFF");
    const std::string_view part = rest.substr(0, cut);
    present[i] = !part.empty();
    if (present[i]) fs.AddFile(names[i], std::string(part));
    lines_in[i] = static_cast<std::size_t>(pel::LinesOf(part, {part.size()})[0]);
    if (cut == std::string_view::npos) break;
    rest.remove_prefix(cut + 2);
  }
  const std::wstring dest = L"C:\\out.txt";
  auto result = pel::ConvertBorehole(fs, L"C:\\b", dest);
  if (!result) {
    if (fs.HasFile(dest)) std::abort();
    return 0;
  }
  const pel::ConversionCounts& counts = result->counts;
  const int records[] = {1, counts.layers, counts.x5, counts.x100};
  for (const pel::Finding& f : result->findings) {
    const auto file = static_cast<std::size_t>(f.source);
    if (f.kind == pel::FindingKind::kFileMissing) {
      if (f.line != 0 || present[file]) std::abort();
      continue;
    }
    if (f.line < 1 || static_cast<std::size_t>(f.line) > lines_in[file]) std::abort();
    if (f.record < 0 || (file > 0 && f.record > records[file]) || f.message.empty()) std::abort();
  }
  const std::string& out = fs.File(dest);
  if (out.compare(0, 10, "TITLE     ") != 0) std::abort();
  if (out.size() < 2 || out.compare(out.size() - 2, 2, "\r\n") != 0) std::abort();
  // Every line is a title, a header, a 20-character layer row or an 80-character point row.
  std::size_t lines = 0;
  for (std::size_t start = 0; start < out.size(); ++lines) {
    const std::size_t end = out.find("\r\n", start);
    if (end == std::string::npos) std::abort();
    const std::size_t length = end - start;
    const bool header = out.compare(start, 5, "LAYER") == 0 || out.compare(start, 5, "POINT") == 0;
    if (lines > 0 && !header && length != 20 && length != 80) std::abort();
    start = end + 2;
  }
  if (lines < 3 || lines > 3 + 100) std::abort();
  return 0;
}
