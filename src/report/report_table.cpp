#include "report/report_table.h"

#include <algorithm>
#include <numeric>

#include "util/cp932.h"
#include "util/shown_text.h"
#include "util/user_texts.h"

namespace pel {
namespace {

std::wstring Number(int n) { return n > 0 ? std::to_wstring(n) : std::wstring(); }

// The number a numeric column sorts by; 0 (shown empty) sorts first.
int NumberIn(const Finding& f, ReportColumn column) {
  switch (column) {
    case ReportColumn::kLine: return f.line;
    case ReportColumn::kRecord: return f.record;
    case ReportColumn::kField: return f.field;
    default: return 0;
  }
}

bool IsNumeric(ReportColumn column) {
  return column == ReportColumn::kLine || column == ReportColumn::kRecord || column == ReportColumn::kField;
}

std::wstring Flat(std::wstring text) {
  std::replace_if(text.begin(), text.end(), [](wchar_t c) { return c == L'\t' || c == L'\r' || c == L'\n'; }, L' ');
  return text;
}

// A CSV cell of bytes: quoted where it holds a comma, a quote or a line end.
std::string CsvCell(std::string_view bytes) {
  if (bytes.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(bytes);
  std::string cell = "\"";
  for (char c : bytes) {
    if (c == '"') cell += '"';
    cell += c;
  }
  return cell + "\"";
}

// A cell whose text must reach Excel as text: ="text".
std::string TextCell(std::string_view bytes) {
  if (!ExcelWouldConvert(bytes)) return CsvCell(bytes);
  std::string formula = "=\"";
  for (char c : bytes) {
    if (c == '"') formula += '"';
    formula += c;
  }
  return CsvCell(formula + "\"");
}

}  // namespace

std::array<std::wstring, kReportColumns> FindingCells(const Finding& f) {
  return {f.severity == Severity::kInfo ? texts::kCliInfo : texts::kCliWarning,
          f.file,
          Number(f.line),
          Number(f.record),
          Number(f.field),
          ShownValue(f.text, f.text_cut),
          Cp932ToWide(f.output),
          f.message};
}

std::wstring FindingDetails(const Finding& f) {
  std::wstring details = f.message;
  if (f.line <= 0) return details;
  const std::string_view line = f.line_text;
  const std::size_t begin = std::min(f.text_begin, line.size());
  const std::size_t end = std::clamp(f.text_end, begin, line.size());
  auto shown = [](std::string_view bytes) { return EscapeForDisplay(Cp932ToWide(bytes)); };
  details += L"\r\n\r\n" + texts::FillText(texts::kReportDetailsLine, {f.file, std::to_wstring(f.line)}) + L"\r\n";
  details += shown(line.substr(0, begin)) + texts::kReportFieldOpen + shown(line.substr(begin, end - begin)) +
             texts::kReportFieldClose + shown(line.substr(end));
  if (f.line_cut) details += kCutMark;
  return details;
}

std::vector<std::size_t> SortedRows(const std::vector<Finding>& findings, ReportColumn column, bool descending) {
  std::vector<std::size_t> rows(findings.size());
  std::iota(rows.begin(), rows.end(), std::size_t{0});
  const auto c = static_cast<std::size_t>(column);
  std::vector<std::wstring> keys;
  if (!IsNumeric(column)) {
    for (const auto& f : findings) keys.push_back(FindingCells(f)[c]);
  }
  auto less = [&](std::size_t a, std::size_t b) {
    if (IsNumeric(column)) return NumberIn(findings[a], column) < NumberIn(findings[b], column);
    return keys[a] < keys[b];
  };
  std::stable_sort(rows.begin(), rows.end(), [&](std::size_t a, std::size_t b) { return descending ? less(b, a) : less(a, b); });
  return rows;
}

std::wstring RowsAsTabText(const std::vector<Finding>& findings, const std::vector<std::size_t>& rows) {
  std::wstring text;
  for (std::size_t row : rows) {
    const auto cells = FindingCells(findings[row]);
    for (std::size_t c = 0; c < cells.size(); ++c) {
      if (c > 0) text += L'\t';
      text += Flat(cells[c]);
    }
    text += L"\r\n";
  }
  return text;
}

bool ExcelWouldConvert(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return false;
  // A formula, or a text of digits with signs, points, exponents, dates and times.
  if (text[first] == '=' || text[first] == '+' || text[first] == '-' || text[first] == '@') return true;
  bool digit = false;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      digit = true;
    } else if (std::string_view(" +-.eE/:,%").find(c) == std::string_view::npos) {
      return false;
    }
  }
  return digit;
}

std::string ReportCsv(const std::vector<Finding>& findings, const std::wstring& source_folder,
                      const std::wstring& destination_file, const TextCodec& codec) {
  std::string csv;
  auto wide = [&](const std::wstring& text) { return CsvCell(codec.ToCp932(text)); };
  for (const wchar_t* title : texts::kReportColumnTitles) csv += wide(title) + ",";
  csv += wide(texts::kReportCsvSourceFolder) + "," + wide(texts::kReportCsvDestinationFile) + "\r\n";
  const std::string source = wide(source_folder);
  const std::string destination = wide(destination_file);
  for (const Finding& f : findings) {
    const auto cells = FindingCells(f);
    csv += wide(cells[0]) + "," + wide(cells[1]) + "," + CsvCell(codec.ToCp932(cells[2])) + "," +
           CsvCell(codec.ToCp932(cells[3])) + "," + CsvCell(codec.ToCp932(cells[4])) + ",";
    csv += TextCell(ShownValueBytes(f.text, f.text_cut)) + "," + TextCell(f.output) + "," + wide(cells[7]) + "," + source + "," + destination + "\r\n";
  }
  return csv;
}

}  // namespace pel
