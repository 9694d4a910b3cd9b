#include "batch/batch.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <numeric>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "run/conversion.h"
#include "run/folder_levels.h"

namespace pel {
namespace {

std::wstring_view Leaf(std::wstring_view relative, wchar_t separator) {
  const std::size_t cut = relative.find_last_of(SeparatorsFor(separator));
  return cut == std::wstring_view::npos ? relative : relative.substr(cut + 1);
}

// A site with this many folders or more has them listed on two threads: a thread costs
// about as much to start and end as listing six folders.
constexpr std::size_t kFoldersForTwoThreads = 16;

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

// Writes one folder's prepared file (or says why it could not be prepared); with
// `make_folders`, the destination's missing folders are made before writing.
FolderResult Write(FileSystem& fs, const std::wstring& source, const std::optional<std::wstring>& destination,
                   Expected<PreparedFile, Outcome> prepared, bool make_folders) {
  FolderResult r;
  r.source = source;
  r.destination = destination;
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

// The folders of a batch read and converted ahead of the one being written: reading and
// converting the next folders overlaps writing the one before (and, on a disk, waiting for
// its flush). A second thread takes the next folders in order and converts them; the
// batch's own thread, once it has written a folder, takes the next one the other has not
// taken where the folder it needs is not ready yet, since a folder takes about three times
// as long to read and convert as to write. At most kAhead folders are taken ahead of the
// one being written; none once `stop` is set. The second thread is told to end and waited
// for when the batch ends, whichever way; where none could be started, each folder is
// converted when it is needed.
class ReadAhead {
 public:
  using Prepared = Expected<PreparedFile, Outcome>;

  // `folders`: the site's folders to convert, in order, by their places in `scan`.
  ReadAhead(const FileSystem& fs, const std::wstring& parent, const SiteScan& scan, std::vector<std::uint32_t> folders,
            const std::atomic<bool>& stop)
      : fs_(fs), parent_(parent), scan_(scan), jobs_(std::move(folders)), stop_(stop) {
    if (jobs_.size() < 2) return;  // nothing to overlap
    try {
      thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
    }
  }
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;
  ~ReadAhead() {
    if (!thread_.joinable()) return;
    {
      std::lock_guard lock(mutex_);
      quit_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }

  // Job k's prepared file, the jobs taken in order.
  Prepared Take(std::size_t k) {
    Slot& slot = slots_[k % kAhead];
    for (;;) {
      std::optional<std::size_t> ahead;  // a later job to convert here while job k is not ready
      {
        std::unique_lock lock(mutex_);
        if (claimed_ <= k || slot.ready.load(std::memory_order_relaxed)) {
          const bool here = claimed_ <= k;
          claimed_ = std::max(claimed_, k + 1);
          // Emptied before job k + kAhead may be taken to be converted into the same slot.
          std::optional<Prepared> prepared = std::exchange(slot.prepared, std::nullopt);
          std::exception_ptr failure = std::exchange(slot.failure, nullptr);
          slot.ready.store(false, std::memory_order_relaxed);
          taken_ = k + 1;
          lock.unlock();
          changed_.notify_all();
          if (here) return Prepare(k);
          if (failure) std::rethrow_exception(failure);
          return std::move(*prepared);
        }
        if (claimed_ < jobs_.size() && claimed_ < taken_ + kAhead && !stop_.load()) ahead = claimed_++;
      }
      if (ahead) {
        Fill(*ahead);
        continue;
      }
      // Waited for awake a while first: the other thread is usually about to hand it over,
      // and being woken from a sleep takes some tens of microseconds on some machines.
      const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(200);
      while (!slot.ready.load(std::memory_order_acquire) && std::chrono::steady_clock::now() < until) {
        std::this_thread::yield();
      }
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [&] { return slot.ready.load(std::memory_order_relaxed); });
    }
  }

 private:
  static constexpr std::size_t kAhead = 4;
  struct Slot {
    std::optional<Prepared> prepared;
    std::exception_ptr failure;
    std::atomic<bool> ready{false};
  };

  Prepared Prepare(std::size_t k) const {
    const std::size_t i = jobs_[k];
    return PrepareBorehole(fs_, fs_.Join(parent_, scan_.relative(i)), scan_.files(i));
  }

  // Converts job k into its slot, which is this thread's until the job is marked ready:
  // the job kAhead before it has been taken.
  void Fill(std::size_t k) {
    Slot& slot = slots_[k % kAhead];
    try {
      slot.prepared = Prepare(k);
    } catch (...) {
      slot.failure = std::current_exception();
    }
    {
      std::lock_guard lock(mutex_);
      slot.ready.store(true, std::memory_order_release);
    }
    changed_.notify_all();
  }

  void Run() {
    for (;;) {
      std::size_t k = 0;
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return quit_ || claimed_ == jobs_.size() || claimed_ < taken_ + kAhead; });
        if (quit_ || claimed_ == jobs_.size() || stop_.load()) return;
        k = claimed_++;
      }
      Fill(k);
    }
  }

  const FileSystem& fs_;
  const std::wstring& parent_;
  const SiteScan& scan_;
  const std::vector<std::uint32_t> jobs_;
  std::array<Slot, kAhead> slots_;
  const std::atomic<bool>& stop_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t claimed_ = 0;  // jobs taken by a thread to convert, in order
  std::size_t taken_ = 0;    // jobs taken to be written
  bool quit_ = false;
  std::thread thread_;  // last: started once the rest is made
};

}  // namespace

FolderResult ConvertFolder(FileSystem& fs, const std::wstring& source, const std::optional<std::wstring>& destination) {
  return Write(fs, source, destination, PrepareBorehole(fs, source, FolderRule::kMustBeReadable), true);
}

SiteScan ScanSite(const FileSystem& fs, const std::wstring& parent, bool recursive) {
  SiteScan scan;
  // Folders that cannot be listed, with their places in the walk: the site's own folders
  // may be looked at on two threads, and are told in the order of the site's listing.
  std::vector<std::pair<std::size_t, Outcome>> unreadable;
  std::mutex mutex;  // over `scan` and `unreadable`
  // One folder listed and, below the site, its files matched: its listing, where it can
  // be listed and the walk goes down into it.
  auto look = [&](const std::wstring& relative, std::size_t place) -> std::optional<std::vector<FolderEntry>> {
    const std::wstring folder = relative.empty() ? parent : fs.Join(parent, relative);
    auto entries = fs.ListFolder(fs.Join(folder, L""));
    if (!entries) {
      Outcome outcome = MakeOutcome(OutcomeKind::kFolderUnreadable, folder, std::move(entries.error()));
      std::lock_guard lock(mutex);
      unreadable.emplace_back(place, std::move(outcome));
      return std::nullopt;
    }
    if (relative.empty()) {
      std::size_t name_chars = 0;
      for (const auto& e : *entries) name_chars += e.name.size();
      scan.Reserve(entries->size(), name_chars);
      return std::move(*entries);
    }
    // A folder whose two files clash is still a borehole folder: its result says why it
    // cannot be converted.
    auto files = MatchSourceFiles(fs, folder, *entries);
    {
      std::lock_guard lock(mutex);
      if (!files) {
        scan.Add(relative, {}, std::move(files.error()));
      } else if (files->any()) {
        scan.Add(relative, *files, std::nullopt);
      }
    }
    if (!recursive) return std::nullopt;
    return std::move(*entries);
  };
  auto walked_into = [](const FolderEntry& e) { return e.is_folder && !e.is_reparse_point && e.name != L"." && e.name != L".."; };
  std::optional<std::vector<FolderEntry>> site = look(L"", 0);
  if (site && !recursive) {
    // The site's folders, each listed: most of a batch's start on a large site, so taken
    // by two threads in turn where there are many.
    std::vector<const FolderEntry*> folders;
    for (const FolderEntry& e : *site) {
      if (walked_into(e)) folders.push_back(&e);
    }
    std::atomic<std::size_t> next{0};
    std::array<std::exception_ptr, 2> failures;  // each thread's, rethrown once both are done
    auto look_at_folders = [&](std::exception_ptr& failure) {
      try {
        for (std::size_t i; (i = next.fetch_add(1)) < folders.size();) look(folders[i]->name, i);
      } catch (...) {
        failure = std::current_exception();
      }
    };
    std::thread second;
    if (folders.size() >= kFoldersForTwoThreads) {
      try {
        second = std::thread(look_at_folders, std::ref(failures[1]));
      } catch (const std::system_error&) {
      }
    }
    look_at_folders(failures[0]);
    if (second.joinable()) second.join();
    for (const std::exception_ptr& failure : failures) {
      if (failure) std::rethrow_exception(failure);
    }
  } else if (site) {
    // The folders being walked, each with its listing and the next entry to look at: one
    // listing a level, and a site's listing is walked where it lies, never copied.
    struct Level {
      std::wstring relative;
      std::vector<FolderEntry> entries;
      std::size_t next = 0;
    };
    std::vector<Level> levels;
    levels.push_back({L"", std::move(*site), 0});
    std::size_t place = 0;
    while (!levels.empty()) {
      Level& level = levels.back();
      if (level.next == level.entries.size()) {
        levels.pop_back();
        continue;
      }
      const FolderEntry& e = level.entries[level.next++];
      if (!walked_into(e)) continue;
      std::wstring relative = level.relative.empty() ? e.name : fs.Join(level.relative, e.name);
      if (auto entries = look(relative, ++place)) levels.push_back({std::move(relative), std::move(*entries), 0});
    }
  }
  std::sort(unreadable.begin(), unreadable.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto& [place, outcome] : unreadable) scan.unreadable.push_back(std::move(outcome));
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

  // The folders to convert, in order; the others fail by their names alone.
  std::vector<std::uint32_t> to_convert;
  for (std::size_t i = 0; i < count; ++i) {
    if (clash_with[i] == UINT32_MAX && !scan.clash(i)) to_convert.push_back(static_cast<std::uint32_t>(i));
  }
  ReadAhead ahead(fs, parent, scan, std::move(to_convert), stop);
  std::size_t next_job = 0;
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
      r = Write(fs, source, destination, ahead.Take(next_job++), false);
    }
    tally(r);
  }
  return summary;
}

}  // namespace pel
