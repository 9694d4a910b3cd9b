// The conversion check as a table: the report window's list, its sorting, the rows it
// copies for a spreadsheet and the CSV file it saves. Portable; the window only shows it.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "check/findings.h"
#include "platform/text_codec.h"
#include "util/user_texts.h"

namespace pel {

// The columns, titled by texts::kReportColumnTitles.
inline constexpr std::size_t kReportColumns = 8;
enum class ReportColumn { kSeverity, kFile, kLine, kRecord, kField, kText, kOutput, kMessage };
static_assert(std::size(texts::kReportColumnTitles) == kReportColumns, "one title per column");

// The cells of a finding's row, as the list shows them (the source text decoded).
std::array<std::wstring, kReportColumns> FindingCells(const Finding& finding);

// What the details area under the list shows of `finding`: its whole message; then, for a
// finding on a line, the file and the line number, and the line's first characters as
// the file holds them (decoded, each control character as \xHH) with the field's text
// between 「 and 」 and the cut mark where the line goes on. Lines end in CR LF, as an
// edit control shows them.
std::wstring FindingDetails(const Finding& finding);

// The rows' order when sorted by `column`: numbers as numbers, ties in file order;
// `descending` reverses the order of the values, never of the ties.
std::vector<std::size_t> SortedRows(const std::vector<Finding>& findings, ReportColumn column, bool descending);

// The rows `rows` as tab-separated lines (CR LF after each), for pasting into a
// spreadsheet; tabs and line ends inside a cell become blanks.
std::wstring RowsAsTabText(const std::vector<Finding>& findings, const std::vector<std::size_t>& rows);

// The whole report as a CSV file that Excel on a Japanese Windows opens by double-click:
// code page 932, CR LF, a header row, the list's columns plus the source folder and the
// destination file on every row, in file order. 元の値 is the source bytes as they are;
// a value Excel would turn into a number or a date (1-2, 00012, 1E5) is written as a
// formula of its text, ="1-2", so that it stays text.
std::string ReportCsv(const std::vector<Finding>& findings, const std::wstring& source_folder,
                      const std::wstring& destination_file, const TextCodec& codec);

// True when Excel would read `text` as something other than the text itself.
bool ExcelWouldConvert(std::string_view text);

}  // namespace pel
