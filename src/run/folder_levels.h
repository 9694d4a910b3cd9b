// Missing destination folders, made level by level.
#pragma once

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "util/expected.h"
#include "util/outcomes.h"

namespace pel {

// Creates the folders among `levels` (each path one level below the one before it) that
// do not exist yet, outermost first; levels that exist are left alone. Stops at the
// first level that cannot be made: the folder-not-created outcome naming it.
Expected<void, Outcome> CreateFolderLevels(FileSystem& fs, const std::vector<std::wstring>& levels);

}  // namespace pel
