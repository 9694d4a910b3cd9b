#include "discovery/help.h"

#include "util/folder_paths.h"

namespace pel {
bool FindHelpFile(const FileSystem& fs, const ProcessEnvironment& process, std::wstring& help_file_path) {
  std::wstring found;
  const std::wstring program = WithBackslash(process.ProgramFolder());
  if (fs.IsOrdinaryFile(program + kHelpFileName)) {
    found = program;
  } else {
    std::wstring list = process.Variable(L"PATH");
    if (!list.empty() && list.back() != L';') list += L';';
    for (std::size_t start = 0, end; found.empty() && (end = list.find(L';', start)) != std::wstring::npos;
         start = end + 1) {
      const std::wstring folder = WithBackslash(list.substr(start, end - start));
      if (fs.IsOrdinaryFile(folder + kHelpFileName)) found = folder;
    }
  }
  if (found.empty()) return false;
  help_file_path = found + kHelpFileName;
  return true;
}

void ShowHelp(HelpViewer& viewer, const std::wstring& help_file_path, std::int16_t topic) {
  if (topic == 4) {
    viewer.Invoke(L"", 4, 0);
  } else {
    viewer.Invoke(help_file_path, 1, static_cast<unsigned long>(static_cast<long>(topic)));
  }
}

}  // namespace pel
