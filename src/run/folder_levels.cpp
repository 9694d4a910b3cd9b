#include "run/folder_levels.h"

namespace pel {

Expected<void, Outcome> CreateFolderLevels(FileSystem& fs, const std::vector<std::wstring>& levels) {
  for (const std::wstring& level : levels) {
    if (fs.EntryExists(level)) continue;
    if (auto created = fs.CreateFolder(level); !created) {
      return Fail(MakeOutcome(OutcomeKind::kFolderNotCreated, level, std::move(created.error())));
    }
  }
  return {};
}

}  // namespace pel
