// An in-memory file system for the portable tests. Paths match case-insensitively
// (ASCII), as on Windows; listings come in the order entries were added. Files can be
// marked hidden, unreadable or unwritable, folders as reparse points. Its separator is
// "\" unless another is given ("/" for a POSIX-like system, where "\" is part of names).
// A test can hold the thread that reads a given file there until it releases it. It may
// be used from several threads at once.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cwctype>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace pel::testing {

class FakeFileSystem : public FileSystem {
 public:
  explicit FakeFileSystem(wchar_t separator = L'\\') : sep_(separator) {}
  wchar_t Separator() const override { return sep_; }
  // Adds a file, and every missing folder above it.
  void AddFile(const std::wstring& path, std::string bytes) {
    const std::lock_guard<std::recursive_mutex> hold(lock_);
    AddParents(path);
    Entry& e = Put(path, false);
    e.bytes = std::move(bytes);
  }
  // Adds a folder, and every missing folder above it.
  void AddFolder(const std::wstring& path) {
    const std::lock_guard<std::recursive_mutex> hold(lock_);
    AddParents(path);
    if (!entries_.count(Key(path))) Put(path, true);
  }
  // Removes an entry and everything below it, as another program might.
  void Remove(const std::wstring& path) {
    const std::lock_guard<std::recursive_mutex> hold(lock_);
    const std::wstring key = Key(path);
    for (auto it = entries_.begin(); it != entries_.end();) {
      it = it->first == key || it->first.rfind(key + sep_, 0) == 0 ? entries_.erase(it) : std::next(it);
    }
  }
  void MarkHidden(const std::wstring& path) { entries_.at(Key(path)).hidden = true; }
  // A system file counts as absent just as a hidden one does.
  void MarkSystem(const std::wstring& path) { MarkHidden(path); }
  // A read-only file is read as any other and never replaced.
  void MarkReadOnly(const std::wstring& path) { unwritable_.insert(Key(path)); }
  void MarkReparsePoint(const std::wstring& path) { entries_.at(Key(path)).reparse = true; }
  void MarkUnreadable(const std::wstring& path) { unreadable_.insert(Key(path)); }  // a file, or a folder to list
  void MarkUnwritable(const std::wstring& path) { unwritable_.insert(Key(path)); }
  void MarkUncreatable(const std::wstring& path) { uncreatable_.insert(Key(path)); }

  // The next read of `path` (a file read, or a folder listed) waits until Release(): a
  // batch's worker held at a known folder.
  void HoldReadOf(const std::wstring& path) {
    const std::lock_guard<std::mutex> lock(gate_.mutex);
    gate_.held = Key(path);
    gate_.holding = gate_.released = false;
  }
  // True once a thread waits at the held read; false after `timeout`.
  bool WaitUntilHeld(std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    std::unique_lock<std::mutex> lock(gate_.mutex);
    return gate_.changed.wait_for(lock, timeout, [&] { return gate_.holding; });
  }
  void Release() {
    const std::lock_guard<std::mutex> lock(gate_.mutex);
    gate_.released = true;
    gate_.changed.notify_all();
  }

  bool HasFile(const std::wstring& path) const {
    const std::lock_guard<std::recursive_mutex> hold(lock_);
    auto it = entries_.find(Key(path));
    return it != entries_.end() && !it->second.folder;
  }
  bool HasFolder(const std::wstring& path) const {
    const std::lock_guard<std::recursive_mutex> hold(lock_);
    auto it = entries_.find(Key(path));
    return it != entries_.end() && it->second.folder;
  }
  const std::string& File(const std::wstring& path) const { return entries_.at(Key(path)).bytes; }
  int replace_calls() const { return replace_calls_; }
  // Folders in the order they were created through the port.
  const std::vector<std::wstring>& created() const { return created_; }
  // Folders listed through the port, in order.
  const std::vector<std::wstring>& listed() const { return listed_; }
  bool WasListed(const std::wstring& folder) const {  // while other threads list
    const std::lock_guard<std::recursive_mutex> hold(lock_);
    return std::any_of(listed_.begin(), listed_.end(), [&](const std::wstring& f) { return Key(f) == Key(folder); });
  }

  bool IsOrdinaryFile(const std::wstring& path) const override {
    const std::lock_guard<std::recursive_mutex> hold(lock_);
    auto it = entries_.find(Key(path));
    return it != entries_.end() && !it->second.folder && !it->second.hidden;
  }

  Expected<std::string, FsError> ReadWholeFile(const std::wstring& path) const override {
    const auto key = Key(path);
    PassGate(key);  // outside the lock: the other thread goes on while this one is held
    const std::lock_guard<std::recursive_mutex> hold(lock_);
    if (unreadable_.count(key)) return Error(FsErrorKind::kAccessDenied, FsOperation::kRead);
    if (!HasFile(path)) return Error(FsErrorKind::kMissing, FsOperation::kRead);
    return entries_.at(key).bytes;
  }

  bool EntryExists(const std::wstring& path) const override {
    const std::lock_guard<std::recursive_mutex> hold(lock_);
    return entries_.count(Key(path)) != 0;
  }

  Expected<void, FsError> CreateFolder(const std::wstring& path) override {
    const std::lock_guard<std::recursive_mutex> hold(lock_);
    constexpr FsOperation kCreate = FsOperation::kCreateFolder;
    if (uncreatable_.count(Key(path))) return Error(FsErrorKind::kAccessDenied, kCreate);
    if (EntryExists(path)) return Error(FsErrorKind::kOther, kCreate);
    if (!ParentExists(path)) return Error(FsErrorKind::kMissing, kCreate);
    Put(path, true);
    created_.push_back(path);
    return {};
  }

  std::optional<std::int64_t> FileSize(const std::wstring& path) const override {
    const std::lock_guard<std::recursive_mutex> hold(lock_);
    if (!HasFile(path)) return std::nullopt;
    return static_cast<std::int64_t>(File(path).size());
  }

  Expected<std::vector<FolderEntry>, FsError> ListFolder(const std::wstring& folder) const override {
    const std::wstring parent = Key(folder);
    PassGate(parent);
    const std::lock_guard<std::recursive_mutex> hold(lock_);
    listed_.push_back(folder);
    const bool root = IsRootKey(parent);
    // A drive root is there when the drive holds anything.
    const bool there = root ? std::any_of(entries_.begin(), entries_.end(),
                                          [&](const auto& e) { return e.first.rfind(parent, 0) == 0; })
                            : HasFolder(parent);
    if (!there) return Error(FsErrorKind::kMissing, FsOperation::kList);
    if (unreadable_.count(parent)) return Error(FsErrorKind::kAccessDenied, FsOperation::kList);
    std::vector<const Entry*> children;
    for (const auto& [key, e] : entries_) {
      if (ParentKey(key) == parent) children.push_back(&e);
    }
    std::sort(children.begin(), children.end(), [](const Entry* a, const Entry* b) { return a->order < b->order; });
    std::vector<FolderEntry> listing;
    if (!root) {
      listing.push_back({L".", true, false, false, 0});
      listing.push_back({L"..", true, false, false, 0});
    }
    for (const Entry* e : children) {
      listing.push_back({e->name, e->folder, e->reparse, e->hidden, static_cast<std::int64_t>(e->bytes.size())});
    }
    return listing;
  }

  Expected<void, FsError> ProbeWritableFolder(const std::wstring& folder) override {
    const std::lock_guard<std::recursive_mutex> hold(lock_);
    if (!HasFolder(folder)) return Error(FsErrorKind::kMissing, FsOperation::kWrite);
    if (unwritable_.count(Key(folder))) return Error(FsErrorKind::kAccessDenied, FsOperation::kWrite);
    return {};
  }
  Expected<void, FsError> AtomicReplace(const std::wstring& path, std::string_view bytes) override {
    const std::lock_guard<std::recursive_mutex> hold(lock_);
    ++replace_calls_;
    if (unwritable_.count(Key(path)) || HasFolder(path)) return Error(FsErrorKind::kAccessDenied, FsOperation::kWrite);
    if (!ParentExists(path)) return Error(FsErrorKind::kMissing, FsOperation::kWrite);
    Put(path, false).bytes = std::string(bytes);
    return {};
  }

 private:
  struct Entry {
    std::wstring name;
    bool folder = false;
    bool hidden = false;
    bool reparse = false;
    std::string bytes;
    int order = 0;
  };

  // The system's own words for each kind, as a message shows them.
  static Unexpected<FsError> Error(FsErrorKind kind, FsOperation operation) {
    const wchar_t* words = kind == FsErrorKind::kAccessDenied ? L"アクセスが拒否されました。"
                           : kind == FsErrorKind::kMissing    ? L"パスが見つかりません。"
                                                              : L"既に存在します。";
    return Fail(FsError{kind, operation, words});
  }

  void PassGate(const std::wstring& key) const {
    std::unique_lock<std::mutex> lock(gate_.mutex);
    if (gate_.held.empty() || key != gate_.held) return;
    gate_.holding = true;
    gate_.changed.notify_all();
    gate_.changed.wait(lock, [&] { return gate_.released; });
    gate_.held.clear();
  }

  // A drive ("c:") or, with "/" as separator, the root ("" after trimming).
  bool IsRootKey(const std::wstring& key) const {
    return (key.size() == 2 && key[1] == L':') || (sep_ == L'/' && key.empty());
  }
  std::wstring Key(std::wstring path) const {
    std::transform(path.begin(), path.end(), path.begin(),
                   [](wchar_t c) { return c < 128 ? static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c))) : c; });
    while (!path.empty() && path.back() == sep_ && !(path.size() == 3 && path[1] == L':')) path.pop_back();
    if (path.size() == 3 && path[1] == L':') path.pop_back();
    return path;
  }
  std::wstring ParentKey(const std::wstring& key) const {
    const std::size_t cut = key.find_last_of(sep_);
    if (cut == std::wstring::npos) return {};
    return key.substr(0, cut);
  }

  // A root is always there; any other parent must have been added.
  bool ParentExists(const std::wstring& path) const {
    const std::wstring parent = ParentKey(Key(path));
    return (sep_ == L'\\' && parent.empty()) || IsRootKey(parent) || HasFolder(parent);
  }

  Entry& Put(const std::wstring& path, bool folder) {
    Entry& e = entries_[Key(path)];
    const std::size_t cut = path.find_last_of(sep_);
    e.name = cut == std::wstring::npos ? path : path.substr(cut + 1);
    e.folder = folder;
    if (e.order == 0) e.order = ++next_order_;
    return e;
  }
  void AddParents(const std::wstring& path) {
    for (std::size_t cut = path.find(sep_, sep_ == L'/' ? 1 : 3); cut != std::wstring::npos;
         cut = path.find(sep_, cut + 1)) {
      const std::wstring parent = path.substr(0, cut);
      if (!entries_.count(Key(parent))) Put(parent, true);
    }
  }

  // A batch reads on one thread while it writes on another. A copy has a lock of its own.
  struct Lock : std::recursive_mutex {
    Lock() = default;
    Lock(const Lock&) {}
    Lock& operator=(const Lock&) { return *this; }
  };
  mutable Lock lock_;
  std::map<std::wstring, Entry> entries_;
  std::set<std::wstring> unreadable_;
  std::set<std::wstring> unwritable_;
  std::set<std::wstring> uncreatable_;
  std::vector<std::wstring> created_;
  mutable std::vector<std::wstring> listed_;
  int replace_calls_ = 0;
  int next_order_ = 0;
  wchar_t sep_;
  // The hold on a read; a copy of the file system starts without one.
  struct Gate {
    Gate() = default;
    Gate(const Gate&) {}
    Gate& operator=(const Gate&) { return *this; }
    std::mutex mutex;
    std::condition_variable changed;
    std::wstring held;  // the key whose read waits
    bool holding = false, released = false;
  };
  mutable Gate gate_;
};

}  // namespace pel::testing
