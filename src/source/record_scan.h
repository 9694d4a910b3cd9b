// Whole records of plain bytes, walked a block of 64 bytes at a time: the separators of a
// block are found at once and counted, and only the few bytes where a record or its
// wanted field begins or ends are looked at one by one. It takes records for as long as
// the bytes need nothing of the field syntax beyond separators: a quote around a whole
// field (that is not the wanted one) is fine; any other quote, a blank line, blanks at a
// line's start, the end mark and the data's last 64 bytes stop it, and the record there is
// left to the field reader. What it takes is exactly what the field reader takes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pel {

// One record taken: where it starts (its first byte), and where its wanted field lies:
// [begin, end), end being its separator (blanks around it included).
struct ScannedRecord {
  std::uint32_t start = 0;
  std::uint32_t begin = 0, end = 0;
};

struct RecordScan {
  std::size_t records = 0;   // taken, into the output
  std::size_t next = 0;      // where the next record starts
  bool line_start = false;   // whether the last record ended with a line end
};

// Takes records of `fields` fields from `pos`, the first byte of a record (as the field
// reader stands after the record before it), at most `most` of them into `out`; the
// wanted field is field `wanted` (from 1; 0: none). `data` is the file's data: its end is
// the data's end, or the end mark where one was found. Takes none where the bytes at
// `pos` are not plain.
RecordScan ScanRecords(std::string_view data, std::size_t pos, int fields, int wanted, ScannedRecord* out,
                       std::size_t most);

// The same, a byte at a time without any vector instruction: the reference for the fuzz
// target and the way on machines without SSE2.
RecordScan ScanRecordsPlain(std::string_view data, std::size_t pos, int fields, int wanted, ScannedRecord* out,
                            std::size_t most);

}  // namespace pel
