#include "batch/batch.h"

#include <algorithm>
#include <numeric>

#include "run/conversion.h"
#include "run/folder_levels.h"

namespace pel {
namespace {

std::wstring_view Leaf(std::wstring_view relative, wchar_t separator) {
  const std::size_t cut = relative.find_last_of(SeparatorsFor(separator));
  return cut == std::wstring_view::npos ? relative : relative.substr(cut + 1);
}

// Ordinal order without regard to letter case, as output names clash.
bool FoldedLess(std::wstring_view a, std::wstring_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](wchar_t x, wchar_t y) { return FoldCase(x) < FoldCase(y); });
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
  // The folders being walked, each with its listing and the next entry to look at: one
  // listing a level, and a site's listing is walked where it lies, never copied.
  struct Level {
    std::wstring relative;
    std::vector<FolderEntry> entries;
    std::size_t next = 0;
  };
  std::vector<Level> levels;
  auto visit = [&](std::wstring relative) {
    const std::wstring folder = relative.empty() ? parent : fs.Join(parent, relative);
    auto entries = fs.ListFolder(fs.Join(folder, L""));
    if (!entries) {
      scan.unreadable.push_back(MakeOutcome(OutcomeKind::kFolderUnreadable, folder, std::move(entries.error())));
      return;
    }
    if (relative.empty()) {
      std::size_t name_chars = 0;
      for (const auto& e : *entries) name_chars += e.name.size();
      scan.Reserve(entries->size(), name_chars);
    } else {
      // A folder whose two files clash is still a borehole folder: its result says why it
      // cannot be converted.
      if (auto files = MatchSourceFiles(fs, folder, *entries); !files) {
        scan.Add(relative, {}, std::move(files.error()));
      } else if (files->any()) {
        scan.Add(relative, *files, std::nullopt);
      }
      if (!recursive) return;
    }
    levels.push_back({std::move(relative), std::move(*entries), 0});
  };
  visit(L"");
  while (!levels.empty()) {
    Level& level = levels.back();
    if (level.next == level.entries.size()) {
      levels.pop_back();
      continue;
    }
    const FolderEntry& e = level.entries[level.next++];
    if (!e.is_folder || e.is_reparse_point || e.name == L"." || e.name == L"..") continue;
    visit(level.relative.empty() ? e.name : fs.Join(level.relative, e.name));
  }
  const std::wstring_view names = scan.names_;
  std::sort(scan.folders_.begin(), scan.folders_.end(), [&](const SiteScan::Folder& a, const SiteScan::Folder& b) {
    return names.substr(a.name_at, a.name_size) < names.substr(b.name_at, b.name_size);
  });
  return scan;
}

void SiteScan::Add(std::wstring_view relative, const SourceFileSet& files, std::optional<Outcome> clash) {
  Folder f{static_cast<std::uint32_t>(names_.size()), static_cast<std::uint32_t>(relative.size()), {}};
  names_ += relative;
  bool usual = !clash;
  for (std::size_t i = 0; i < f.absence.size(); ++i) {
    f.absence[i] = files.files[i].absence;
    usual = usual && files.files[i].name == kSourceFileNames[i];
  }
  if (!usual) {
    f.unusual = static_cast<std::uint32_t>(unusual_.size());
    unusual_.push_back({files, std::move(clash)});
  }
  folders_.push_back(f);
}

SourceFileSet SiteScan::files(std::size_t i) const {
  const Folder& f = folders_[i];
  if (f.unusual != kNone) return unusual_[f.unusual].files;
  SourceFileSet set;
  for (std::size_t k = 0; k < set.files.size(); ++k) {
    set.files[k] = {kSourceFileNames[k], f.absence[k] == Absence::kNone, f.absence[k]};
  }
  return set;
}

const Outcome* SiteScan::clash(std::size_t i) const {
  const Folder& f = folders_[i];
  return f.unusual != kNone && unusual_[f.unusual].clash ? &*unusual_[f.unusual].clash : nullptr;
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
  if (scan.size() == 0 && scan.unreadable.empty()) {
    // Nothing to convert: say where the boreholes are, where they are further down.
    const bool deeper = !recursive && ScanSite(fs, parent, true).size() > 0;
    summary.error = MakeOutcome(deeper ? OutcomeKind::kNoBoreholeFoldersButDeeper : OutcomeKind::kNoBoreholeFolders, parent);
    return summary;
  }
  // The output folder is made and tried once, before the first folder is converted.
  if (scan.size() > 0) {
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
  const std::size_t count = scan.size();

  // Output names that two folders share, without regard to letter case: an error for both,
  // each naming another of them.
  std::vector<std::uint32_t> by_output(count);
  std::iota(by_output.begin(), by_output.end(), 0u);
  auto output_name = [&](std::size_t i) { return Leaf(scan.relative(i), separator); };
  std::stable_sort(by_output.begin(), by_output.end(),
                   [&](std::uint32_t a, std::uint32_t b) { return FoldedLess(output_name(a), output_name(b)); });
  std::vector<std::uint32_t> clash_with(count, UINT32_MAX);
  for (std::size_t from = 0; from < count;) {
    std::size_t to = from + 1;
    while (to < count && !FoldedLess(output_name(by_output[from]), output_name(by_output[to]))) ++to;
    for (std::size_t u = from; to - from > 1 && u < to; ++u) clash_with[by_output[u]] = by_output[u == from ? from + 1 : from];
    from = to;
  }

  for (std::size_t i = 0; i < count; ++i) {
    if (stop.load() || listener.WantsToStop()) {
      summary.stopped = true;
      break;
    }
    const std::wstring relative(scan.relative(i));
    listener.Starting(i, count, relative);
    const std::wstring source = fs.Join(parent, relative);
    const std::wstring destination = fs.Join(output, std::wstring(Leaf(relative, separator)) + L".txt");
    FolderResult r;
    r.source = source;
    if (clash_with[i] != UINT32_MAX) {
      r.destination = destination;
      Outcome clash = MakeOutcome(OutcomeKind::kOutputNameClash, destination);
      clash.other = fs.Join(parent, scan.relative(clash_with[i]));
      r.error = std::move(clash);
    } else if (const Outcome* clash = scan.clash(i)) {
      r.destination = destination;
      r.error = *clash;
    } else {
      const SourceFileSet files = scan.files(i);
      r = Convert(fs, source, destination, &files, false);
    }
    tally(r);
  }
  return summary;
}

}  // namespace pel
