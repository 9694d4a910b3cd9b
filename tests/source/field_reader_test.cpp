#include "source/field_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pel {
namespace {

std::vector<std::string> ReadAll(std::string_view bytes) {
  FieldReader reader(bytes);
  std::vector<std::string> fields;
  while (!reader.AtEnd()) fields.push_back(reader.ReadField());
  return fields;
}

struct FieldCase {
  const char* name;
  std::string input;
  std::vector<std::string> fields;
};

class FieldSyntax : public ::testing::TestWithParam<FieldCase> {};

TEST_P(FieldSyntax, ReadsFields) {
  EXPECT_EQ(ReadAll(GetParam().input), GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FieldSyntax,
    ::testing::Values(
        FieldCase{"empty", "", {}},
        FieldCase{"only_blank_lines", " \r\n\t\n\r\n", {}},
        FieldCase{"commas_and_crlf", "1,2\r\n3,4\r\n", {"1", "2", "3", "4"}},
        FieldCase{"lone_lf_and_cr", "1,2\n3,4\r5", {"1", "2", "3", "4", "5"}},
        FieldCase{"no_final_line_end", "a,b", {"a", "b"}},
        FieldCase{"leading_blanks_skipped", "  a,\tb", {"a", "b"}},
        FieldCase{"trailing_blanks_trimmed", "a  ,b\t\r\n", {"a", "b"}},
        FieldCase{"inner_blanks_kept", "a b,c", {"a b", "c"}},
        FieldCase{"empty_between_commas", "1,,3", {"1", "", "3"}},
        FieldCase{"comma_then_line_end", "1,2,\r\n3", {"1", "2", "", "3"}},
        FieldCase{"leading_comma", ",x", {"", "x"}},
        FieldCase{"blank_line_skipped", "1\r\n\r\n  \r\n2", {"1", "2"}},
        FieldCase{"trailing_comma_at_end", "1,2,", {"1", "2"}},
        FieldCase{"quoted_with_comma", "\"a,b\",2", {"a,b", "2"}},
        FieldCase{"quoted_spans_lines", "\"a\r\nb\",c", {"a\r\nb", "c"}},
        FieldCase{"quoted_keeps_inner_blanks", "\" a \" ,b", {" a ", "b"}},
        FieldCase{"text_after_closing_quote", "\"ab\"cd ,e", {"abcd", "e"}},
        FieldCase{"blanks_after_closing_quote", "\"ab\"  ,e", {"ab", "e"}},
        FieldCase{"unclosed_quote_runs_to_end", "\"ab,c\r\nd", {"ab,c\r\nd"}},
        FieldCase{"quote_inside_unquoted", "a\"b,c", {"a\"b", "c"}},
        FieldCase{"empty_quoted", "\"\",x", {"", "x"}},
        FieldCase{"eof_marker_ends_data", "1,2\x1A,3,4", {"1", "2"}},
        FieldCase{"eof_marker_after_line_end", "1\r\n\x1A\r\n", {"1"}},
        FieldCase{"shift_jis_bytes_kept", "\x83\x5C\x83\x8B,\x8C\x8A", {"\x83\x5C\x83\x8B", "\x8C\x8A"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FieldReader, ReadingPastTheEndGivesEmptyFields) {
  FieldReader reader("1");
  EXPECT_EQ(reader.ReadField(), "1");
  EXPECT_TRUE(reader.AtEnd());
  EXPECT_EQ(reader.ReadField(), "");
  EXPECT_TRUE(reader.AtEnd());
}

TEST(FieldReader, SkipMovesLikeRead) {
  const std::string input = "\"q,1\"x ,2\r\n\r\n3,,\"4\r\n\"";
  FieldReader reading(input);
  FieldReader skipping(input);
  while (!reading.AtEnd()) {
    ASSERT_FALSE(skipping.AtEnd());
    reading.ReadField();
    skipping.SkipField();
  }
  EXPECT_TRUE(skipping.AtEnd());
}

}  // namespace
}  // namespace pel
