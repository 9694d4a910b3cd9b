#include "batch/batch.h"

#include <algorithm>
#include <map>

#include "run/conversion.h"
#include "run/folder_levels.h"

namespace pel {
namespace {

std::wstring Leaf(const std::wstring& relative, wchar_t separator) {
  const std::size_t cut = relative.find_last_of(SeparatorsFor(separator));
  return cut == std::wstring::npos ? relative : relative.substr(cut + 1);
}

// The folders that lead to the folder of `file`, outermost first.
std::vector<std::wstring> LevelsAbove(const std::wstring& file, wchar_t separator) {
  const std::size_t last = file.find_last_of(SeparatorsFor(separator));
  if (last == std::wstring::npos || last == 0) return {};
  return FolderLevels(file.substr(0, last), separator);
}

// Reads, checks and writes one folder whose files are known (or looked up, without
// them); with `make_folders`, the destination's missing folders are made before writing.
FolderResult Convert(FileSystem& fs, const std::wstring& source, const std::optional<std::wstring>& destination,
                     const SourceFileSet* files, bool make_folders) {
  FolderResult r;
  r.source = source;
  r.destination = destination;
  auto prepared = files ? PrepareBorehole(fs, source, *files) : PrepareBorehole(fs, source, FolderRule::kMustBeReadable);
  if (!prepared) {
    r.error = std::move(prepared.error());
    return r;
  }
  if (destination) {
    if (make_folders) {
      if (auto made = CreateFolderLevels(fs, LevelsAbove(*destination, fs.Separator())); !made) {
        r.error = std::move(made.error());
        return r;
      }
    }
    if (auto written = WritePreparedFile(fs, *prepared, *destination); !written) {
      r.error = std::move(written.error());
      return r;
    }
    r.written = true;
  }
  r.report = std::move(prepared->report);
  return r;
}

}  // namespace

FolderResult ConvertFolder(FileSystem& fs, const std::wstring& source, const std::optional<std::wstring>& destination) {
  return Convert(fs, source, destination, nullptr, true);
}

SiteScan ScanSite(const FileSystem& fs, const std::wstring& parent, bool recursive) {
  SiteScan scan;
  std::vector<std::wstring> pending{L""};
  while (!pending.empty()) {
    const std::wstring relative = std::move(pending.back());
    pending.pop_back();
    const std::wstring folder = relative.empty() ? parent : fs.Join(parent, relative);
    auto entries = fs.ListFolder(fs.Join(folder, L""));
    if (!entries) {
      scan.unreadable.push_back(MakeOutcome(OutcomeKind::kFolderUnreadable, folder, std::move(entries.error())));
      continue;
    }
    if (!relative.empty()) {
      // A folder whose two files clash is still a borehole folder: its result says why it
      // cannot be converted.
      if (auto files = MatchSourceFiles(fs, folder, *entries); !files) {
        scan.folders.push_back({relative, {}, std::move(files.error())});
      } else if (files->any()) {
        scan.folders.push_back({relative, std::move(*files), std::nullopt});
      }
      if (!recursive) continue;
    }
    for (const auto& e : *entries) {
      if (!e.is_folder || e.is_reparse_point || e.name == L"." || e.name == L"..") continue;
      pending.push_back(relative.empty() ? e.name : fs.Join(relative, e.name));
    }
  }
  std::sort(scan.folders.begin(), scan.folders.end(),
            [](const SiteFolder& a, const SiteFolder& b) { return a.relative < b.relative; });
  return scan;
}

BatchSummary RunBatch(FileSystem& fs, const std::wstring& parent, const std::wstring& output, bool recursive,
                      const std::atomic<bool>& stop, BatchListener& listener) {
  BatchSummary summary;
  auto tally = [&](const FolderResult& r) {
    ++summary.folders;
    summary.converted += r.written;
    summary.with_warnings += r.written && r.has_warnings();
    summary.failed += r.error.has_value();
    listener.Finished(r);
  };
  const SiteScan scan = ScanSite(fs, parent, recursive);
  const wchar_t separator = fs.Separator();
  if (scan.folders.empty() && scan.unreadable.empty()) {
    // Nothing to convert: say where the boreholes are, where they are further down.
    const bool deeper = !recursive && !ScanSite(fs, parent, true).folders.empty();
    summary.error = MakeOutcome(deeper ? OutcomeKind::kNoBoreholeFoldersButDeeper : OutcomeKind::kNoBoreholeFolders, parent);
    return summary;
  }
  // The output folder is made and tried once, before the first folder is converted.
  if (!scan.folders.empty()) {
    std::optional<FsError> unusable;
    if (auto made = CreateFolderLevels(fs, FolderLevels(output, separator)); !made) {
      unusable = std::move(made.error().system);
    } else if (auto probed = fs.ProbeWritableFolder(output); !probed) {
      unusable = std::move(probed.error());
    }
    if (unusable) {
      summary.error = MakeOutcome(OutcomeKind::kOutputFolderUnusable, output, std::move(*unusable));
      return summary;
    }
  }
  for (const Outcome& unreadable : scan.unreadable) {
    FolderResult r;
    r.source = unreadable.path;
    r.error = unreadable;
    tally(r);
  }
  const std::vector<SiteFolder>& folders = scan.folders;

  // Output names that two folders share, without regard to letter case: an error for both.
  std::map<std::wstring, std::vector<std::size_t>> by_output;
  for (std::size_t i = 0; i < folders.size(); ++i) {
    std::wstring key = Leaf(folders[i].relative, separator);
    std::transform(key.begin(), key.end(), key.begin(), FoldCase);
    by_output[key].push_back(i);
  }
  std::vector<std::size_t> clash_with(folders.size(), folders.size());
  for (const auto& [key, users] : by_output) {
    if (users.size() < 2) continue;
    for (std::size_t u = 0; u < users.size(); ++u) clash_with[users[u]] = users[u == 0 ? 1 : 0];
  }

  for (std::size_t i = 0; i < folders.size(); ++i) {
    if (stop.load() || listener.WantsToStop()) {
      summary.stopped = true;
      break;
    }
    listener.Starting(i, folders.size(), folders[i].relative);
    const std::wstring source = fs.Join(parent, folders[i].relative);
    const std::wstring destination = fs.Join(output, Leaf(folders[i].relative, separator) + L".txt");
    FolderResult r;
    r.source = source;
    if (clash_with[i] < folders.size()) {
      r.destination = destination;
      Outcome clash = MakeOutcome(OutcomeKind::kOutputNameClash, destination);
      clash.other = fs.Join(parent, folders[clash_with[i]].relative);
      r.error = std::move(clash);
    } else if (folders[i].clash) {
      r.destination = destination;
      r.error = *folders[i].clash;
    } else {
      r = Convert(fs, source, destination, &folders[i].files, false);
    }
    tally(r);
  }
  return summary;
}

}  // namespace pel
