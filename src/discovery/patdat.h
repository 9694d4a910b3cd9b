// Finding the reference-data folder PATDAT (a folder named PATDAT holding a non-empty
// kishitu.txt): beside the program, then anywhere on the program's drive, then on each
// drive from A to Z.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "util/folder_paths.h"
#include "platform/process.h"
#include "platform/qpro/qpro.h"

namespace pel {

inline constexpr wchar_t kPatdatMarker[] = L"\\kishitu.txt";

// A walk watched from another thread: the watcher may stop it, and reads the folder it has
// reached. Each call is safe from either thread; the walk's part costs a relaxed load and
// an uncontended lock per folder, nothing beside the listing it makes there.
class PatdatWalkWatch {
 public:
  // The watcher: the walk ends before its next folder, as if nothing were found.
  void Stop() { stop_.store(true, std::memory_order_relaxed); }
  bool Stopped() const { return stop_.load(std::memory_order_relaxed); }
  // The watcher: the folder whose PATDAT the walk examines now (empty before the first).
  std::wstring Folder() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return folder_;
  }
  // The walk: it has reached `folder`.
  void Reached(const std::wstring& folder) {
    const std::lock_guard<std::mutex> lock(mutex_);
    folder_.assign(folder);
  }

 private:
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::wstring folder_;
};

// `process` as a walk on a thread of its own sees it: the thread that shows the windows
// runs their events, so the walk lets none run (under Wine a look at the message queue
// per folder costs the walk a tenth of its time).
class WalkerProcess final : public ProcessEnvironment {
 public:
  explicit WalkerProcess(const ProcessEnvironment& process) : process_(process) {}
  std::wstring ProgramFolder() const override { return process_.ProgramFolder(); }
  std::wstring Variable(const std::wstring& name) const override { return process_.Variable(name); }
  void LetEventsRun() override {}

 private:
  const ProcessEnvironment& process_;
};

// Walks the tree beside `candidate` (a path whose last component is PATDAT, such as
// D:\PATDAT): every folder F below the candidate's parent, the parent included, is
// visited once in depth-first pre-order, and F\PATDAT is examined; a candidate that
// holds files and a non-empty marker is appended to `hits` as "F\PATDAT\". The walk
// stops at the first hit, never follows a reparse point and does not recurse, so no
// depth overflows the stack. Pending window events run once per folder. A `watch`, where
// given, hears of each folder F, and a stop ends the walk without a hit.
void SearchPatdatTree(qpro::Library& library, ProcessEnvironment& process, const std::wstring& candidate,
                      std::int16_t& hit_count, std::vector<std::wstring>& hits, const std::wstring& marker,
                      PatdatWalkWatch* watch = nullptr);

// PATDAT beside the program: its path ending in "\", or empty text.
std::wstring PatdatBesideProgram(qpro::Library& library, const ProcessEnvironment& process);
// The first PATDAT on the program's drive, then on each drive from A to Z: its path ending
// in "\", or empty text when no drive holds one or `watch` stopped the walk.
std::wstring SearchDrivesForPatdat(qpro::Library& library, ProcessEnvironment& process,
                                   PatdatWalkWatch* watch = nullptr);
// Beside the program, else on the drives.
std::wstring FindPatdatFolder(qpro::Library& library, ProcessEnvironment& process);

}  // namespace pel
