// Our own stand-in for the functions of the closed helper library the converter once
// called, in plain C++ and through the ports. Each keeps the contract the program
// relies on; listings are records in vectors instead of the library's raw blocks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/drives.h"
#include "platform/file_system.h"

namespace pel::qpro {

// How often `search` occurs in `source`, counted in characters and without overlaps.
// 0 for an empty search text.
std::int32_t InCount(std::wstring_view source, std::wstring_view search);

// One file of a file listing.
struct FileRecord {
  std::wstring name;
  std::int64_t size = 0;
  // The library's value at offset 568 of its record: 1 for every file listed, so that
  // it is positive for each folder that holds a file.
  std::int32_t value_568 = 0;
};

// One folder of a folder listing. The library's record is a 260-character text filled
// out to its width; ours holds the name once and leaves the fill implicit, so a listing
// neither pads nor trims: QPTrim reads the name as the record holds it.
class FolderRecord {
 public:
  FolderRecord() = default;
  explicit FolderRecord(std::wstring name) : name_(std::move(name)) {}

 private:
  friend const std::wstring& QPTrim(const FolderRecord& record);
  std::wstring name_;
};

// The bare name of a folder record.
const std::wstring& QPTrim(const FolderRecord& record);

class Library;

// Where the next listing call writes: a record array, from an element on (counted from
// 1). Only fnAV fills it and only the listing calls read it.
template <class Record>
class ReferenceBlock {
  template <class R>
  friend std::int32_t fnAV(ReferenceBlock<R>& block, std::vector<R>& array, std::size_t element);
  friend class Library;
  std::vector<Record>* array_ = nullptr;
  std::size_t first_ = 1;
};

// Prepares `block` so that the next listing call writes into `array` from element
// `element` on. The array has elements 1 to n (element 0 unused).
template <class Record>
std::int32_t fnAV(ReferenceBlock<Record>& block, std::vector<Record>& array, std::size_t element) {
  block.array_ = &array;
  block.first_ = element;
  return 0;
}

class Library {
 public:
  Library(const FileSystem& fs, const Drives& drives) : fs_(fs), drives_(drives) {}

  // The file's size, clamped to 32 bits; -1 when there is no such file.
  std::int32_t FileSize(const std::wstring& path) const;

  // -1 when the drive named by the first character of `letter` exists and is ready.
  std::int16_t GoodDrive(const std::wstring& letter) const;

  // The number of files in the folder of `pattern` ("folder\*.*"); 0 for a folder that
  // does not exist or cannot be listed.
  std::int32_t FCount(const std::wstring& pattern);
  void ReadFileX(const std::wstring& pattern, std::int32_t& position, const ReferenceBlock<FileRecord>& block);

  // The number of folders in the folder of `pattern` ("folder\*.*"), "." and ".."
  // included where listed. Reparse points (junctions, symbolic links, mount points)
  // are not listed as folders, so a walk never follows one.
  std::int32_t DCount(const std::wstring& pattern);
  void ReadDirT(const std::wstring& pattern, const ReferenceBlock<FolderRecord>& block);

  // How many folders were really listed; the benchmark reports it.
  std::int64_t listings() const { return listings_; }

 private:
  struct Listing {
    std::vector<FileRecord> files;
    std::vector<std::wstring> folders;
    std::vector<std::wstring> links;  // folders that are reparse points: never walked
  };
  // A count and the read that follows it share one enumeration of the folder.
  const Listing& List(const std::wstring& pattern);
  // Writes `records` into the array the block names, from its element on, as far as the
  // array reaches; make(record) builds each array element.
  template <class Record, class Source, class Make>
  static void Fill(const std::vector<Source>& records, const ReferenceBlock<Record>& block, Make make);

  const FileSystem& fs_;
  const Drives& drives_;
  std::vector<std::pair<std::wstring, Listing>> cache_;  // the few latest, newest last
  std::int64_t listings_ = 0;
};

}  // namespace pel::qpro
