#include "discovery/patdat.h"

namespace pel {
namespace {

constexpr wchar_t kAllEntries[] = L"*.*";

// One walk level: the folders of `parent` still to visit.
struct Level {
  std::wstring parent;
  std::vector<std::wstring> folders;
  std::size_t next = 0;
};

// Examines `candidate` and lists the folders beside it. True on a hit.
bool Visit(qpro::Library& library, ProcessEnvironment& process, const std::wstring& candidate,
           std::int16_t& hit_count, std::vector<std::wstring>& hits, const std::wstring& marker,
           std::vector<Level>& levels, PatdatWalkWatch* watch) {
  process.LetEventsRun();
  const std::wstring parent = PathParent(candidate);
  if (watch) watch->Reached(parent);
  // Listing the parent first lets the library answer for a candidate that is not there
  // without asking the disk; the order of the results is the same.
  const std::int32_t folders = library.DCount(parent + kAllEntries);

  const std::wstring files_pattern = candidate + L"\\" + kAllEntries;
  const std::int32_t files = library.FCount(files_pattern);
  if (files != 0) {
    std::vector<qpro::FileRecord> records(static_cast<std::size_t>(files) + 1);
    qpro::ReferenceBlock<qpro::FileRecord> block;
    qpro::fnAV(block, records, 1);
    std::int32_t position = 0;
    library.ReadFileX(files_pattern, position, block);
    if (records[1].value_568 > 0 && library.FileSize(candidate + marker) > 0) {
      ++hit_count;
      hits.push_back(candidate + L"\\");
      return true;
    }
  }

  if (folders != 0) {
    std::vector<qpro::FolderRecord> records(static_cast<std::size_t>(folders) + 1);
    qpro::ReferenceBlock<qpro::FolderRecord> block;
    qpro::fnAV(block, records, 1);
    library.ReadDirT(parent + kAllEntries, block);
    Level level{parent, {}, 0};
    for (std::size_t i = 1; i < records.size(); ++i) {
      const std::wstring& name = qpro::QPTrim(records[i]);
      if (name != L"." && name != L"..") level.folders.push_back(name);
    }
    if (!level.folders.empty()) levels.push_back(std::move(level));
  }
  return false;
}

}  // namespace

void SearchPatdatTree(qpro::Library& library, ProcessEnvironment& process, const std::wstring& candidate,
                      std::int16_t& hit_count, std::vector<std::wstring>& hits, const std::wstring& marker,
                      PatdatWalkWatch* watch) {
  const std::wstring leaf = candidate.substr(PathParent(candidate).size());
  std::vector<Level> levels;
  if (watch && watch->Stopped()) return;
  if (Visit(library, process, candidate, hit_count, hits, marker, levels, watch)) return;
  while (!levels.empty()) {
    if (watch && watch->Stopped()) return;
    Level& level = levels.back();
    if (level.next == level.folders.size()) {
      levels.pop_back();
      continue;
    }
    const std::wstring next = level.parent + level.folders[level.next++] + L"\\" + leaf;
    if (Visit(library, process, next, hit_count, hits, marker, levels, watch)) return;
  }
}

std::wstring PatdatBesideProgram(qpro::Library& library, const ProcessEnvironment& process) {
  const std::wstring base = WithBackslash(process.ProgramFolder());
  return library.FileSize(base + L"PATDAT" + kPatdatMarker) > 0 ? base + L"PATDAT\\" : std::wstring();
}

std::wstring SearchDrivesForPatdat(qpro::Library& library, ProcessEnvironment& process, PatdatWalkWatch* watch) {
  const std::wstring program = process.ProgramFolder();
  std::int16_t hit_count = 0;
  std::vector<std::wstring> hits;
  auto search_drive = [&](wchar_t letter) {
    if (watch && watch->Stopped()) return true;
    if (library.GoodDrive(std::wstring(1, letter)) != -1) return false;
    SearchPatdatTree(library, process, std::wstring(1, letter) + L":\\PATDAT", hit_count, hits, kPatdatMarker, watch);
    return hit_count > 0;
  };
  bool done = !program.empty() && search_drive(program[0]);
  for (wchar_t letter = L'A'; letter <= L'Z' && !done; ++letter) done = search_drive(letter);
  return hits.empty() || (watch && watch->Stopped()) ? std::wstring() : hits.front();
}

std::wstring FindPatdatFolder(qpro::Library& library, ProcessEnvironment& process) {
  const std::wstring beside = PatdatBesideProgram(library, process);
  return beside.empty() ? SearchDrivesForPatdat(library, process) : beside;
}

}  // namespace pel
