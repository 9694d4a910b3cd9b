// An in-memory file system for the portable tests. Paths match case-insensitively
// (ASCII), as on Windows; files can be marked hidden, unreadable or unwritable.
#pragma once

#include <algorithm>
#include <cwctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace pel::testing {

class FakeFileSystem : public FileSystem {
 public:
  void AddFile(const std::wstring& path, std::string bytes) { files_[Key(path)] = std::move(bytes); }
  void AddFolder(const std::wstring& path) { folders_.insert(Key(path)); }
  void MarkHidden(const std::wstring& path) { hidden_.insert(Key(path)); }
  void MarkUnreadable(const std::wstring& path) { unreadable_.insert(Key(path)); }
  void MarkUnwritable(const std::wstring& path) { unwritable_.insert(Key(path)); }

  bool HasFile(const std::wstring& path) const { return files_.count(Key(path)) != 0; }
  bool HasFolder(const std::wstring& path) const { return folders_.count(Key(path)) != 0; }
  void MarkUncreatable(const std::wstring& path) { uncreatable_.insert(Key(path)); }
  // Folders in the order they were created.
  const std::vector<std::wstring>& created() const { return created_; }
  const std::string& File(const std::wstring& path) const { return files_.at(Key(path)); }
  int replace_calls() const { return replace_calls_; }

  bool IsOrdinaryFile(const std::wstring& path) const override {
    const auto key = Key(path);
    return files_.count(key) != 0 && hidden_.count(key) == 0;
  }

  Expected<std::string, FsError> ReadWholeFile(const std::wstring& path) const override {
    const auto key = Key(path);
    if (unreadable_.count(key)) return Fail(FsError{L"アクセスが拒否されました。"});
    auto it = files_.find(key);
    if (it == files_.end()) return Fail(FsError{L"ファイルが見つかりません。"});
    return it->second;
  }

  bool EntryExists(const std::wstring& path) const override {
    const auto key = Key(path);
    return files_.count(key) != 0 || folders_.count(key) != 0;
  }

  Expected<void, FsError> CreateFolder(const std::wstring& path) override {
    const auto key = Key(path);
    if (uncreatable_.count(key)) return Fail(FsError{L"アクセスが拒否されました。"});
    if (EntryExists(path)) return Fail(FsError{L"既に存在します。"});
    folders_.insert(key);
    created_.push_back(path);
    return {};
  }

  Expected<void, FsError> AtomicReplace(const std::wstring& path, std::string_view bytes) override {
    ++replace_calls_;
    if (unwritable_.count(Key(path))) return Fail(FsError{L"アクセスが拒否されました。"});
    files_[Key(path)] = std::string(bytes);
    return {};
  }

 private:
  static std::wstring Key(std::wstring path) {
    std::transform(path.begin(), path.end(), path.begin(),
                   [](wchar_t c) { return c < 128 ? static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c))) : c; });
    return path;
  }

  std::map<std::wstring, std::string> files_;
  std::set<std::wstring> folders_;
  std::set<std::wstring> hidden_;
  std::set<std::wstring> unreadable_;
  std::set<std::wstring> unwritable_;
  std::set<std::wstring> uncreatable_;
  std::vector<std::wstring> created_;
  int replace_calls_ = 0;
};

}  // namespace pel::testing
