#include "run/conversion.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#include "check/conversion_check.h"
#include "output/liquefaction_writer.h"
#include "source/merge.h"
#include "source/readers.h"
#include "util/shown_text.h"

namespace pel {
namespace {

struct Loaded {
  std::wstring name;  // as found on disk, or the editor's own name when absent
  std::wstring path;
  std::string bytes;  // empty when the file is absent
  Absence absence = Absence::kNone;
};

// Reads the file `entry` of `folder` into `file`, when it is there.
Expected<void, Outcome> LoadFile(const FileSystem& fs, const std::wstring& folder, const SourceFileEntry& entry,
                                 Loaded& file) {
  file.name = entry.name;
  file.path = fs.Join(folder, file.name);
  file.absence = entry.absence;
  if (!entry.present) return {};
  auto bytes = fs.ReadWholeFile(file.path);
  if (!bytes) {
    const bool special = bytes.error().kind == FsErrorKind::kNotARegularFile;
    return Fail(MakeOutcome(special ? OutcomeKind::kNotARegularFile : OutcomeKind::kUnreadable, file.path,
                            std::move(bytes.error())));
  }
  file.bytes = std::move(*bytes);
  return {};
}

// Where the listing shows an X100.txt this large, the three smaller files are loaded and
// read on a second thread while this one loads X100.txt, by far the largest; X5.txt and
// X100.txt are read in pieces that both threads take until none is left. (A thread takes
// some tens of microseconds to wake, on a virtual machine a few hundred to start.)
constexpr std::int64_t kReadBesideBytes = 256 * 1024;
constexpr std::size_t kX100PieceBytes = 256 * 1024;
// X5.txt is read last on the second thread, often while this one ends X100.txt: smaller
// pieces leave less for one thread to wait for (1 to 3 % less time on the largest folder).
constexpr std::size_t kX5PieceBytes = 64 * 1024;

// What the three smaller files read as.
struct SmallerTables {
  TitleSet titles;
  std::optional<LayerList> layers;
  std::optional<X5Table> x5;
};

// Pieces of X5.txt or X100.txt that two threads read: cut by one thread and published,
// then taken by both, one from the front, the other from the back. The thread that reads
// the last piece joins them, while the other may still be reading the other file.
template <class Table>
struct SharedPieces {
  std::optional<Pieces<Table>> pieces;
  std::atomic<std::ptrdiff_t> unclaimed{0};  // pieces no thread has taken (below 0 once both have looked)
  std::atomic<std::size_t> read{0};          // pieces read
  std::atomic<Pieces<Table>*> published{nullptr};
  std::optional<Table> joined;  // once every piece is read

  void Cut(std::string_view bytes, std::size_t piece_bytes) {
    pieces.emplace(bytes, piece_bytes);
    unclaimed = static_cast<std::ptrdiff_t>(pieces->size());
    published.store(&*pieces, std::memory_order_release);
  }
  // Reads the pieces no thread has taken; none before they are published.
  void ReadUnclaimed(bool from_front) {
    Pieces<Table>* const cut = published.load(std::memory_order_acquire);
    if (!cut) return;
    std::size_t front = 0, back = cut->size();
    while (unclaimed.fetch_sub(1) > 0) {
      cut->Read(from_front ? front++ : --back);
      if (read.fetch_add(1, std::memory_order_acq_rel) + 1 == cut->size()) joined = cut->Join();
    }
  }
};

// Loads the three smaller files into `loaded`, and reads them: X5.txt whole, or (where
// `x5` is given) cut into pieces for two threads to read.
Expected<SmallerTables, Outcome> LoadSmallerFiles(const FileSystem& fs, const std::wstring& folder,
                                                  const SourceFileSet& files, std::array<Loaded, 4>& loaded,
                                                  SharedPieces<X5Table>* x5 = nullptr) {
  for (const SourceFile file : {SourceFile::kTitle, SourceFile::kX1, SourceFile::kX5}) {
    const auto i = static_cast<std::size_t>(file);
    if (auto done = LoadFile(fs, folder, files.files[i], loaded[i]); !done) return Fail(std::move(done.error()));
  }
  auto bytes = [&loaded](SourceFile file) -> std::string_view { return loaded[static_cast<std::size_t>(file)].bytes; };
  if (x5) x5->Cut(bytes(SourceFile::kX5), kX5PieceBytes);
  return SmallerTables{ReadTitles(bytes(SourceFile::kTitle)), ReadLayers(bytes(SourceFile::kX1)),
                       x5 ? std::nullopt : ReadX5(bytes(SourceFile::kX5))};
}

// A flag that one thread sets once and another waits for. Being woken from a sleep takes
// some tens of microseconds on some machines, about as long as the other thread's last
// piece: it is first waited for awake, for a while. (A mutex and a condition variable, not
// std::atomic::wait: the Windows build's runtime, without a futex, could miss the wake-up.)
class Signal {
 public:
  void Set() {
    {
      std::lock_guard lock(mutex_);
      set_.store(true, std::memory_order_release);
    }
    woken_.notify_one();
  }
  void Wait() {
    const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(200);
    while (!set_.load(std::memory_order_acquire) && std::chrono::steady_clock::now() < until) {
      std::this_thread::yield();
    }
    if (set_.load(std::memory_order_acquire)) return;
    std::unique_lock lock(mutex_);
    woken_.wait(lock, [this] { return set_.load(std::memory_order_relaxed); });
  }

 private:
  std::atomic<bool> set_{false};
  std::mutex mutex_;
  std::condition_variable woken_;
};

// The merge's count of the rows past those kept, handed to the second thread once it has
// read its pieces, while this one writes the file in memory (the file needs only the rows
// kept). The second thread waits for the count or to be let go; every way out of the
// conversion lets it go (`LetGo`), and the tables stay until the count is taken.
class BesideCount {
 public:
  // On the second thread.
  void Serve() {
    handed_.Wait();
    if (!wanted_) return;
    rows_ = rest_.Count();
    counted_.Set();
  }
  void Hand(const MergeRest& rest) {
    rest_ = rest;
    wanted_ = true;
    handed_.Set();
  }
  void LetGo() { handed_.Set(); }
  // The count, once the second thread has it (again at once once taken).
  int Take() {
    counted_.Wait();
    return rows_;
  }

 private:
  Signal handed_, counted_;
  MergeRest rest_;
  bool wanted_ = false;
  int rows_ = 0;
};

// The thread that reads beside this one. Starting a thread and ending it cost more than
// waking one (on the machines measured, conversions of the largest folder took 7 % less
// with a thread kept), so one thread is kept for the process, started on first use. A
// conversion that finds it busy with another's work starts a thread of its own.
class HelperThread {
 public:
  // The process's helper; nothing where no thread could be started.
  static HelperThread* Get() {
    static HelperThread* const helper = []() -> HelperThread* {
      try {
        return new HelperThread;  // kept to the end of the process
      } catch (const std::system_error&) {
        return nullptr;
      }
    }();
    return helper;
  }

  // Hands `task` over: its number, to wait for; nothing when the helper is busy with another.
  std::optional<std::uint64_t> TryRun(std::function<void()> task) {
    std::lock_guard lock(mutex_);
    if (handed_ != ran_) return std::nullopt;  // busy
    task_ = std::move(task);
    wake_.notify_one();
    return ++handed_;
  }

  // Waits until task `number` has run; not for a task handed over after it (two
  // conversions of a batch may take the helper in turn).
  void Wait(std::uint64_t number) {
    std::unique_lock lock(mutex_);
    done_.wait(lock, [&] { return ran_ >= number; });
  }

 private:
  HelperThread() : thread_([this] { Serve(); }) {}

  void Serve() {
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return static_cast<bool>(task_); });
      std::function<void()> task = std::move(task_);
      task_ = nullptr;
      lock.unlock();
      task();
      lock.lock();
      ++ran_;
      done_.notify_all();
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_, done_;
  std::function<void()> task_;
  std::uint64_t handed_ = 0, ran_ = 0;  // tasks handed over, and run, so far
  std::thread thread_;
};

// A conversion's second thread: the helper where it is free, else a thread of its own.
// Waited for when it is left.
class SecondThread {
 public:
  SecondThread() = default;
  SecondThread(const SecondThread&) = delete;
  SecondThread& operator=(const SecondThread&) = delete;
  ~SecondThread() {
    if (helper_) helper_->Wait(task_);
  }
  // Runs `task` (which must not throw); false when no thread could be started.
  bool Start(const std::function<void()>& task) {
    HelperThread* const helper = HelperThread::Get();
    if (helper) {
      if (const auto number = helper->TryRun(task)) {
        helper_ = helper;
        task_ = *number;
        return true;
      }
    }
    try {
      own_ = std::jthread(task);
      return true;
    } catch (const std::system_error&) {
      return false;
    }
  }

 private:
  HelperThread* helper_ = nullptr;
  std::uint64_t task_ = 0;  // the helper's number for the task
  std::jthread own_;
};

Outcome TooManyRecords(OutcomeKind kind, const std::wstring& path) {
  Outcome o = MakeOutcome(kind, path);
  o.limit = kMaxRecordCount;
  return o;
}

// Traces a value that does not fit back to its source file, line, record and field.
Outcome Trace(const FieldOverflow& overflow, const LayerList& layers, const PointList& points,
              const std::array<Loaded, 4>& files) {
  Outcome error = MakeOutcome(OutcomeKind::kValueTooWide);
  BoundedValue value = BoundValue(overflow.value);
  error.value = std::move(value.bytes);
  error.value_cut = value.cut;
  error.int_places = overflow.int_places;
  const auto row = static_cast<std::size_t>(overflow.row);
  auto place = [&](SourceFile file, int record, int field, std::size_t at) {
    const Loaded& loaded = files[static_cast<std::size_t>(file)];
    error.path = loaded.path;
    error.record = record;
    error.field = field;
    error.line = LinesOf(loaded.bytes, {at})[0];
  };
  if (overflow.section == FieldOverflow::Section::kLayer) {
    place(SourceFile::kX1, overflow.row, kX1LayerField, layers.items.cell(row).at);
    return error;
  }
  // A depth comes from X5 when the row has an X5 record (equal depths keep the X5 text).
  const PointColumnSource& column = PointColumnOf(overflow.column);
  const int x5_row = points.x5_row[row];
  const bool from_x5 = column.x5_field != 0 && (column.x100_field == 0 || x5_row > 0);
  place(from_x5 ? SourceFile::kX5 : SourceFile::kX100, from_x5 ? x5_row : points.x100_row[row],
        from_x5 ? column.x5_field : column.x100_field, points.cell(row, overflow.column).at);
  return error;
}

// Merges, writes in memory and checks the files loaded and read; the merge's count on the
// second thread where `beside` is given.
Expected<PreparedFile, Outcome> Prepare(const std::array<Loaded, 4>& files, const SmallerTables& smaller,
                                        const std::optional<X100Table>& x100, BesideCount* beside) {
  using Kind = OutcomeKind;
  const Loaded& x1_file = files[static_cast<std::size_t>(SourceFile::kX1)];
  const Loaded& x5_file = files[static_cast<std::size_t>(SourceFile::kX5)];
  const Loaded& x100_file = files[static_cast<std::size_t>(SourceFile::kX100)];
  const TitleSet& titles = smaller.titles;
  const auto& layers = smaller.layers;
  const auto& x5 = smaller.x5;
  if (!layers) return Fail(TooManyRecords(Kind::kTooManyRecords, x1_file.path));
  if (!x5) return Fail(TooManyRecords(Kind::kTooManyRecords, x5_file.path));
  if (!x100) return Fail(TooManyRecords(Kind::kTooManyRecords, x100_file.path));
  if (x5->count + x100->count > kMaxRecordCount) return Fail(TooManyRecords(Kind::kTooManyPoints, x5_file.path));

  MergeRest rest;
  PointList points = MergeFirstRows(*x5, *x100, rest);
  // The count is taken before the tables go, whichever way this is left.
  struct Taken {
    BesideCount* beside;
    ~Taken() {
      if (beside) beside->Take();
    }
  } taken{beside};
  if (beside) beside->Hand(rest);
  auto written = BuildLiquefactionFile(titles.slots[1].text, *layers, points);
  points.count = static_cast<std::int16_t>(points.count + (beside ? beside->Take() : rest.Count()));
  if (!written) return Fail(Trace(written.error(), *layers, points, files));

  PreparedFile prepared;
  ConversionCounts& counts = prepared.report.counts;
  counts.layers = layers->count;
  counts.layers_written = std::min<int>(layers->count, kMaxWrittenRows);
  counts.x5 = x5->count;
  counts.x100 = x100->count;
  counts.points = points.count;
  counts.points_written = std::min<int>(points.count, kMaxWrittenRows);

  CheckInput input{{}, titles, *layers, *x5, *x100, points, *written};
  for (std::size_t i = 0; i < files.size(); ++i) input.files[i] = {files[i].name, files[i].bytes, files[i].absence};
  prepared.report.findings = CheckConversion(input);
  prepared.bytes = std::move(written->bytes);
  prepared.report.points = std::move(written->points);
  return prepared;
}

}  // namespace

Expected<SourceFileSet, Outcome> FindSourceFiles(const FileSystem& fs, const std::wstring& source_folder,
                                                 FolderRule rule) {
  // The folder as the files' paths name it: "C:" is the root of C, as "C:\X1.txt" is.
  const auto listing = fs.ListFolder(fs.Join(source_folder, L""));
  if (!listing && rule == FolderRule::kMustBeReadable) {
    return Fail(MakeOutcome(OutcomeKind::kFolderUnreadable, source_folder, listing.error()));
  }
  SourceFileSet files;
  if (listing) {
    auto matched = MatchSourceFiles(fs, source_folder, *listing);
    if (!matched) return Fail(std::move(matched.error()));
    files = std::move(*matched);
  } else {
    // Without a listing: each file looked up by the editor's name.
    for (std::size_t i = 0; i < files.files.size(); ++i) {
      files.files[i].name = kSourceFileNames[i];
      files.files[i].present = fs.IsOrdinaryFile(fs.Join(source_folder, kSourceFileNames[i]));
      files.files[i].absence = files.files[i].present ? Absence::kNone : Absence::kMissing;
    }
  }
  if (!files.any()) return Fail(MakeOutcome(OutcomeKind::kNoSourceFiles, source_folder));
  return files;
}

Expected<PreparedFile, Outcome> PrepareBorehole(const FileSystem& fs, const std::wstring& source_folder,
                                                FolderRule rule) {
  auto files = FindSourceFiles(fs, source_folder, rule);
  if (!files) return Fail(std::move(files.error()));
  return PrepareBorehole(fs, source_folder, *files);
}

Expected<PreparedFile, Outcome> PrepareBorehole(const FileSystem& fs, const std::wstring& source_folder,
                                                const SourceFileSet& files) {
  // On one thread the files are loaded in their order, and a file that cannot be loaded
  // ends the conversion before the next one is opened. On two, a failure of the smaller
  // files is still told before one of X100.txt. The second thread hands the tables of
  // titl01.txt and X1.txt over the moment they are read, then takes pieces of X5.txt from
  // the front, then pieces of X100.txt from the back once this thread has loaded it and
  // cut it (`cut`); this thread takes pieces of X100.txt from the front, then of X5.txt
  // from the back; at last it counts the merge's rows past those kept while this one
  // writes the file in memory. The second thread is waited for when this function is left
  // (whichever way), since it writes into `loaded` and the pieces.
  std::array<Loaded, 4> loaded;
  SharedPieces<X5Table> x5_pieces;
  SharedPieces<X100Table> x100_pieces;
  std::promise<Expected<SmallerTables, Outcome>> handed;
  std::future<Expected<SmallerTables, Outcome>> beside;
  std::future<void> cut;
  // The second thread has read the pieces it took (or failed: `back_failure`).
  Signal back_read;
  std::exception_ptr back_failure;
  BesideCount count;  // kept until the second thread has ended
  SecondThread second;
  // Set when X100.txt is cut, or not (nothing to share). Declared after the second
  // thread, so that on every way out it is left before that thread is waited for: a
  // promise left unset wakes the thread with an error, and it ends.
  std::promise<void> x100_cut;
  // Lets the second thread go from waiting for the merge's count, on every way out; left
  // before that thread is waited for, like `x100_cut`.
  struct LetGo {
    BesideCount& count;
    ~LetGo() { count.LetGo(); }
  } let_go{count};
  if (files[SourceFile::kX100].listed_size >= kReadBesideBytes) {
    beside = handed.get_future();
    cut = x100_cut.get_future();
    const bool started = second.Start([&] {
      try {
        handed.set_value(LoadSmallerFiles(fs, source_folder, files, loaded, &x5_pieces));
      } catch (...) {
        handed.set_exception(std::current_exception());
      }
      try {
        x5_pieces.ReadUnclaimed(true);
        cut.get();
        x100_pieces.ReadUnclaimed(false);
      } catch (...) {
        back_failure = std::current_exception();
      }
      back_read.Set();
      count.Serve();
    });
    if (!started) beside = {};
  }
  const bool two_threads = beside.valid();
  std::optional<Expected<SmallerTables, Outcome>> smaller;
  if (!two_threads) {
    smaller.emplace(LoadSmallerFiles(fs, source_folder, files, loaded));
    if (!*smaller) return Fail(std::move(smaller->error()));
  }
  Loaded& x100_file = loaded[static_cast<std::size_t>(SourceFile::kX100)];
  auto x100_loaded = LoadFile(fs, source_folder, files[SourceFile::kX100], x100_file);
  std::optional<X100Table> x100;
  if (beside.valid()) {
    if (x100_loaded) x100_pieces.Cut(x100_file.bytes, kX100PieceBytes);
    x100_cut.set_value();
    x100_pieces.ReadUnclaimed(true);
    x5_pieces.ReadUnclaimed(false);
    back_read.Wait();
    if (back_failure) std::rethrow_exception(back_failure);
    if (x100_loaded) x100 = std::move(x100_pieces.joined);
    smaller.emplace(beside.get());
    if (!*smaller) return Fail(std::move(smaller->error()));
    (*smaller)->x5 = std::move(x5_pieces.joined);
  } else if (x100_loaded) {
    x100 = ReadX100(x100_file.bytes);
  }
  if (!x100_loaded) return Fail(std::move(x100_loaded.error()));
  return Prepare(loaded, **smaller, x100, two_threads ? &count : nullptr);
}

Expected<void, Outcome> WritePreparedFile(FileSystem& fs, const PreparedFile& prepared,
                                          const std::wstring& destination_file) {
  if (auto written = fs.AtomicReplace(destination_file, prepared.bytes); !written) {
    return Fail(MakeOutcome(OutcomeKind::kWriteFailed, destination_file, std::move(written.error())));
  }
  return {};
}

Expected<ConversionReport, Outcome> ConvertBorehole(FileSystem& fs, const std::wstring& source_folder,
                                                    const std::wstring& destination_file) {
  auto prepared = PrepareBorehole(fs, source_folder);
  if (!prepared) return Fail(std::move(prepared.error()));
  if (auto written = WritePreparedFile(fs, *prepared, destination_file); !written) return Fail(std::move(written.error()));
  return std::move(prepared->report);
}

}  // namespace pel
