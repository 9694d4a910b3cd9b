#include "output/liquefaction_writer.h"

#include <algorithm>

#include "output/number_field.h"
#include "util/cp932.h"

namespace pel {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kRowIndent = "          ";  // 10 blanks

void WriteHeader(std::string& out, std::string_view keyword, int count) {
  out += keyword;
  out += "        ";  // 8 blanks
  out += std::to_string(std::min(count, kMaxWrittenRows));
  out += kLineEnd;
}

// Appends a 10-character field and describes it in `written`; false when the value does
// not fit.
bool AppendField(std::string& out, const Cell& source, NumberFormat format, WrittenField& written) {
  const FormattedNumber number = FormatNumber(source.text, format.int_places, format.decimals);
  if (!number.fits) return false;
  written.source = source;
  if (number.size == written.chars.size()) {  // every field but a blank one: a copy of known size
    std::copy_n(number.chars.data(), written.chars.size(), written.chars.data());
  } else {
    std::copy_n(number.chars.data(), number.size, written.chars.data());
    std::fill(written.chars.begin() + static_cast<std::ptrdiff_t>(number.size), written.chars.end(), ' ');
  }
  out.append(written.chars.data(), written.chars.size());
  written.blank = number.size == 0;
  written.not_a_number = !written.blank && !number.whole;
  written.cut_to_zero = !written.blank && !number.zero &&
                        std::none_of(number.chars.data(), number.chars.data() + number.size,
                                     [](char c) { return c >= '1' && c <= '9'; });
  return true;
}

}  // namespace

std::size_t TitleBytesWritten(std::string_view title) {
  std::size_t i = 0;
  for (int chars = 0; i < title.size() && chars < kTitleChars; ++chars) {
    i += IsCp932LeadByte(static_cast<unsigned char>(title[i])) && i + 1 < title.size() ? 2 : 1;
  }
  return i;
}

void WriteTitleSection(std::string& out, std::string_view title) {
  out += "TITLE     ";
  const std::size_t bytes = TitleBytesWritten(title);
  int chars = 0;
  for (std::size_t i = 0; i < bytes; ++chars) {
    const auto c = static_cast<unsigned char>(title[i]);
    if (IsCp932LeadByte(c) && i + 1 < bytes) {
      out.append(title.substr(i, 2));
      i += 2;
    } else {
      // A line end inside a quoted title would split the record; it becomes a blank.
      out += (c == '\r' || c == '\n') ? ' ' : static_cast<char>(c);
      ++i;
    }
  }
  out.append(static_cast<std::size_t>(kTitleChars - chars), ' ');
  out += kLineEnd;
}

Expected<void, FieldOverflow> WriteLayerSection(std::string& out, const LayerList& layers,
                                                std::vector<WrittenField>& written) {
  const int n = std::min<int>(layers.count, kMaxWrittenRows);
  WriteHeader(out, "LAYER", n);
  for (int i = 1; i <= n; ++i) {
    out += kRowIndent;
    const Cell& cell = layers.items.cell(static_cast<std::size_t>(i));
    if (!AppendField(out, cell, kLayerFormat, written.emplace_back())) {
      return Fail(FieldOverflow{FieldOverflow::Section::kLayer, i, PointColumn::kDepth, kLayerFormat.int_places,
                                std::string(cell.text)});
    }
    out += kLineEnd;
  }
  return {};
}

Expected<void, FieldOverflow> WritePointSection(std::string& out, const PointList& points,
                                                std::vector<WrittenPoint>& written) {
  const int n = std::min<int>(points.count, kMaxWrittenRows);
  WriteHeader(out, "POINT", n);
  constexpr auto kPoint = FieldOverflow::Section::kPoint;
  for (int j = 1; j <= n; ++j) {
    const auto row = static_cast<std::size_t>(j);
    out += kRowIndent;
    WrittenPoint& point = written.emplace_back();
    point.row = j;
    point.x5_record = points.x5_row[row];
    point.x100_record = points.x100_row[row];
    for (const PointColumnSource& c : kPointColumns) {
      const Cell cell = points.cell(row, c.column);
      if (!AppendField(out, cell, c.format, point.fields[static_cast<std::size_t>(c.column)])) {
        return Fail(FieldOverflow{kPoint, j, c.column, c.format.int_places, std::string(cell.text)});
      }
    }
    out += kLineEnd;
  }
  return {};
}

Expected<WrittenFile, FieldOverflow> BuildLiquefactionFile(std::string_view title, const LayerList& layers,
                                                           const PointList& points) {
  WrittenFile file;
  file.layers.reserve(kMaxWrittenRows);
  file.points.reserve(kMaxWrittenRows);
  std::string& out = file.bytes;
  out.reserve(128 + 22 * kMaxWrittenRows + 82 * kMaxWrittenRows);
  WriteTitleSection(out, title);
  file.title_bytes = TitleBytesWritten(title);
  if (auto ok = WriteLayerSection(out, layers, file.layers); !ok) return Fail(std::move(ok.error()));
  if (auto ok = WritePointSection(out, points, file.points); !ok) return Fail(std::move(ok.error()));
  return file;
}

}  // namespace pel
