#include "source/source_files.h"

#include <algorithm>

namespace pel {

bool SameNameIgnoringCase(std::wstring_view a, std::wstring_view b) {
  auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](wchar_t x, wchar_t y) { return lower(x) == lower(y); });
}

Expected<SourceFileSet, Outcome> MatchSourceFiles(const FileSystem& fs, const std::wstring& folder,
                                                  const std::vector<FolderEntry>& listing) {
  SourceFileSet set;
  for (std::size_t i = 0; i < set.files.size(); ++i) {
    SourceFileEntry& file = set.files[i];
    file.name = kSourceFileNames[i];
    const FolderEntry* found = nullptr;
    for (const auto& entry : listing) {
      if (entry.is_folder || !SameNameIgnoringCase(entry.name, kSourceFileNames[i])) continue;
      if (found) {
        Outcome clash = MakeOutcome(OutcomeKind::kNameCaseClash, fs.Join(folder, found->name));
        clash.other = fs.Join(folder, entry.name);
        return Fail(std::move(clash));
      }
      found = &entry;
    }
    if (!found) continue;
    file.name = found->name;
    file.present = !found->is_hidden;
  }
  return set;
}

}  // namespace pel
