#include "source/source_files.h"

namespace pel {

Expected<SourceFileSet, Outcome> MatchSourceFiles(const FileSystem& fs, const std::wstring& folder,
                                                  const std::vector<FolderEntry>& listing) {
  SourceFileSet set;
  for (std::size_t i = 0; i < set.files.size(); ++i) {
    SourceFileEntry& file = set.files[i];
    file.name = kSourceFileNames[i];
    const FolderEntry* found = nullptr;
    for (const auto& entry : listing) {
      if (!SameNameIgnoringCase(entry.name, kSourceFileNames[i])) continue;
      if (entry.is_folder) {
        if (!found) {
          file.name = entry.name;
          file.absence = Absence::kFolder;
        }
        continue;
      }
      if (found) {
        Outcome clash = MakeOutcome(OutcomeKind::kNameCaseClash, fs.Join(folder, found->name));
        clash.other = fs.Join(folder, entry.name);
        return Fail(std::move(clash));
      }
      found = &entry;
    }
    if (!found) continue;
    if (found->is_special) return Fail(MakeOutcome(OutcomeKind::kNotARegularFile, fs.Join(folder, found->name)));
    file.name = found->name;
    file.present = !found->is_hidden;
    file.listed_size = found->size;
    file.absence = file.present ? Absence::kNone : Absence::kHiddenOrSystem;
  }
  return set;
}

}  // namespace pel
