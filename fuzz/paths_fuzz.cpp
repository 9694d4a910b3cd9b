// Any text typed into a path box through validation and splitting: an accepted path is
// normalized (drive, colon, backslash after it, trailing backslash, no empty level), and
// splitting gives one component more than the separators counted.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "paths/fnother.h"
#include "paths/path_validation.h"
#include "support/fakes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::wstring text;
  for (std::size_t i = 0; i + 1 < size; i += 2) text += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
  pel::testing::FakeDrives drives(L"CDZ");
  std::wstring path = text;
  if (pel::ValidatePath(path, drives, pel::testing::FakeTextCodec()) == pel::PathVerdict::kAccepted) {
    if (path.size() < 3 || path[1] != L':' || path[2] != L'\\' || path.back() != L'\\') std::abort();
    if (path.size() > 3 && path.find(L"\\\\") != std::wstring::npos) std::abort();
  }
  const int separators = pel::CountSeparators(path, L"\\/");
  std::vector<std::wstring> components;
  pel::SplitPath(path, L"\\/", components);
  if (separators < 32767 && components.size() != static_cast<std::size_t>(separators) + 2) std::abort();
  return 0;
}
