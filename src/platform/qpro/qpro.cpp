#include "platform/qpro/qpro.h"

#include "util/folder_paths.h"

#include <algorithm>
#include <limits>

namespace pel::qpro {
namespace {

constexpr std::wstring_view kAllEntries = L"*.*";
constexpr std::size_t kCachedListings = 4;

// The folder a pattern lists: "D:\A\*.*" lists "D:\A\".
std::wstring FolderOf(const std::wstring& pattern) {
  std::wstring_view folder(pattern);
  if (folder.size() >= kAllEntries.size() && folder.substr(folder.size() - kAllEntries.size()) == kAllEntries) {
    folder.remove_suffix(kAllEntries.size());
  }
  return std::wstring(folder);
}

}  // namespace

std::int32_t InCount(std::wstring_view source, std::wstring_view search) {
  if (search.empty()) return 0;
  std::int32_t count = 0;
  for (std::size_t at = source.find(search); at != std::wstring_view::npos;
       at = source.find(search, at + search.size())) {
    ++count;
  }
  return count;
}

const std::wstring& QPTrim(const FolderRecord& record) { return record.name_; }

template <class Record, class Source, class Make>
void Library::Fill(const std::vector<Source>& records, const ReferenceBlock<Record>& block, Make make) {
  if (!block.array_) return;
  std::vector<Record>& array = *block.array_;
  for (std::size_t i = 0; i < records.size() && block.first_ + i < array.size(); ++i) {
    array[block.first_ + i] = make(records[i]);
  }
}

std::int32_t Library::FileSize(const std::wstring& path) const {
  const auto size = fs_.FileSize(path);
  if (!size) return -1;
  return static_cast<std::int32_t>(std::min<std::int64_t>(*size, std::numeric_limits<std::int32_t>::max()));
}

std::int16_t Library::GoodDrive(const std::wstring& letter) const {
  return !letter.empty() && drives_.IsDriveReady(letter[0]) ? -1 : 0;
}

const Library::Listing& Library::List(const std::wstring& pattern) {
  const std::wstring folder = FolderOf(pattern);
  for (const auto& [key, listing] : cache_) {
    if (key == folder) return listing;
  }
  // A folder that its just-listed parent does not hold is not there: no need to ask.
  std::wstring_view inner(folder);
  if (!inner.empty() && inner.back() == L'\\') inner.remove_suffix(1);
  const std::size_t cut = inner.find_last_of(L"\\:");
  bool known_missing = false;
  if (cut != std::wstring_view::npos && cut + 1 < inner.size()) {
    const std::wstring_view parent = inner.substr(0, cut + 1);
    const std::wstring_view leaf = inner.substr(cut + 1);
    for (const auto& [key, cached] : cache_) {
      if (key != parent) continue;
      known_missing = std::none_of(cached.folders.begin(), cached.folders.end(),
                                   [&](const std::wstring& name) { return SameNameIgnoringCase(name, leaf); }) &&
                      std::none_of(cached.files.begin(), cached.files.end(),
                                   [&](const FileRecord& file) { return SameNameIgnoringCase(file.name, leaf); }) &&
                      std::none_of(cached.links.begin(), cached.links.end(),
                                   [&](const std::wstring& name) { return SameNameIgnoringCase(name, leaf); });
    }
  }
  Listing listing;
  if (!known_missing) {
    ++listings_;
    if (auto entries = fs_.ListFolder(folder)) {
      for (auto& entry : *entries) {
        if (!entry.is_folder) {
          listing.files.push_back(FileRecord{std::move(entry.name), entry.size, 1});
        } else if (!entry.is_reparse_point) {
          listing.folders.push_back(std::move(entry.name));
        } else {
          listing.links.push_back(std::move(entry.name));
        }
      }
    }
  }
  if (cache_.size() == kCachedListings) cache_.erase(cache_.begin());
  cache_.emplace_back(folder, std::move(listing));
  return cache_.back().second;
}

std::int32_t Library::FCount(const std::wstring& pattern) {
  return static_cast<std::int32_t>(List(pattern).files.size());
}

void Library::ReadFileX(const std::wstring& pattern, std::int32_t& position, const ReferenceBlock<FileRecord>& block) {
  position = 0;
  Fill(List(pattern).files, block, [](const FileRecord& record) { return record; });
}

std::int32_t Library::DCount(const std::wstring& pattern) {
  return static_cast<std::int32_t>(List(pattern).folders.size());
}

void Library::ReadDirT(const std::wstring& pattern, const ReferenceBlock<FolderRecord>& block) {
  Fill(List(pattern).folders, block, [](const std::wstring& name) { return FolderRecord(name); });
}

}  // namespace pel::qpro
