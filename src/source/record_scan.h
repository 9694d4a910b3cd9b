// Whole records of plain bytes, walked a block of 64 bytes at a time: the separators of a
// block are found at once and counted, and only the few bytes where a record or one of
// its wanted fields begins or ends are looked at one by one. It takes records for as long
// as the bytes need nothing of the field syntax beyond separators: a quote around a whole
// field (that is not a wanted one) is fine; any other quote, a blank line, blanks at a
// line's start, the end mark and the data's last 64 bytes stop it, and the record there is
// left to the field reader. What it takes is exactly what the field reader takes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace pel {

// The fields a record scan hands over: bit k - 1 for field k (1 to 64), at most 6 of them.
using FieldSet = std::uint64_t;
inline constexpr std::size_t kMostScannedFields = 6;

// Where a field lies: [begin, end), from the byte after the separator before it to its
// own separator, blanks around it included.
struct ScannedField {
  std::uint32_t begin, end;
  bool operator==(const ScannedField&) const = default;
};

// One record taken: where it starts (its first byte), and its wanted fields in order.
struct ScannedRecord {
  std::uint32_t start;
  std::array<ScannedField, kMostScannedFields> fields;
};

struct RecordScan {
  std::size_t records = 0;   // taken, into the output
  std::size_t next = 0;      // where the next record starts
  bool line_start = false;   // whether the last record ended with a line end
};

// Takes records of `fields` fields (at most 64) from `pos`, the first byte of a record (as
// the field reader stands after the record before it), at most `most` of them into `out`,
// with the fields of `wanted` (none: the records are only counted and `out` is not
// written). `data` is the file's data: its end is the data's end, or
// the end mark where one was found. Takes none where the bytes at `pos` are not plain.
RecordScan ScanRecords(std::string_view data, std::size_t pos, int fields, FieldSet wanted, ScannedRecord* out,
                       std::size_t most);

// The same, a byte at a time without any vector instruction: the reference for the fuzz
// target and the way on machines without SSE2.
RecordScan ScanRecordsPlain(std::string_view data, std::size_t pos, int fields, FieldSet wanted, ScannedRecord* out,
                            std::size_t most);

// Each scan this machine can run besides the plain one: ScanRecords itself, and every
// narrower build it could have chosen (the clean-records quick way among them, which takes
// none where the bytes are not clean): for the fuzz target, which holds each to the plain
// one, whichever the machine picks.
using RecordScanner = RecordScan (*)(std::string_view data, std::size_t pos, int fields, FieldSet wanted,
                                     ScannedRecord* out, std::size_t most);
std::vector<RecordScanner> MachineRecordScans();

}  // namespace pel
