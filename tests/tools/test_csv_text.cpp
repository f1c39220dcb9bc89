#include "tools/csv_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/tool_errors.h"

namespace tol {
namespace {

using Fields = std::vector<std::string>;

TEST(ParseCsv, SplitsRecordsAndFields) {
  struct Row {
    std::string text;
    std::vector<CsvRecord> expected;
    const char* probe;
  };
  const std::vector<Row> rows = {
      {"a,b\n1,2\n", {{1, {"a", "b"}}, {2, {"1", "2"}}}, "LF line ends"},
      {"a,b\r\n1,2\r\n", {{1, {"a", "b"}}, {2, {"1", "2"}}}, "CRLF line ends"},
      {"a,b\r1,2", {{1, {"a", "b"}}, {2, {"1", "2"}}}, "lone CR, no final line end"},
      {"\xEF\xBB\xBF"
       "a\n",
       {{1, {"a"}}},
       "byte-order mark skipped"},
      {"a\n\n\r\nb\n", {{1, {"a"}}, {4, {"b"}}}, "blank lines skipped, line numbers kept"},
      {"a,,\n", {{1, {"a", "", ""}}}, "empty fields, one at the end"},
      {"\"x,y\",\"say \"\"hi\"\"\"\n",
       {{1, {"x,y", "say \"hi\""}}},
       "comma and doubled quotes in quotes"},
      {"\"two\nlines\",b\nc\n", {{1, {"two\nlines", "b"}}, {3, {"c"}}}, "line break in quotes"},
      {"\"\"\n", {{1, {""}}}, "a quoted empty field is a record"},
      {" 1 , 2 \n", {{1, {" 1 ", " 2 "}}}, "blanks kept for the caller"},
      {"", {}, "empty text"},
  };
  for (const Row& row : rows) {
    const std::vector<CsvRecord> actual = ParseCsv(row.text);
    ASSERT_EQ(actual.size(), row.expected.size()) << row.probe;
    for (std::size_t i = 0; i < actual.size(); ++i) {
      EXPECT_EQ(actual[i].line, row.expected[i].line) << row.probe << ", record " << i;
      EXPECT_EQ(actual[i].fields, row.expected[i].fields) << row.probe << ", record " << i;
    }
  }
}

TEST(ParseCsv, ReportsBrokenQuotingWithLineAndColumn) {
  struct Row {
    std::string text;
    std::size_t line;
    std::size_t column;
    const char* probe;
  };
  const std::vector<Row> rows = {
      {"a,b\n1,\"2\n3\n", 2, 2, "never closed: the line where it opened"},
      {"a,\"b\"c\n", 1, 2, "text after the closing quote"},
      {"a\n\"x\ny\"z\n", 3, 1, "text after a quote that closed on a later line"},
  };
  for (const Row& row : rows) {
    try {
      (void)ParseCsv(row.text);
      ADD_FAILURE() << row.probe << ": no error";
    } catch (const CsvError& e) {
      EXPECT_EQ(e.Line(), row.line) << row.probe << ": " << e.Message();
      EXPECT_EQ(e.Column(), row.column) << row.probe << ": " << e.Message();
    }
  }
}

TEST(CsvLine, QuotesOnlyWhatNeedsItAndReadsBackTheSame) {
  struct Row {
    Fields fields;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {{"h7_upper", "0.018"}, "h7_upper,0.018\n"},
      {{"a,b", "q\"t", "x"}, "\"a,b\",\"q\"\"t\",x\n"},
      {{"two\nlines", "cr\r"}, "\"two\nlines\",\"cr\r\"\n"},
      {{" lead", ""}, " lead,\n"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(CsvLine(row.fields), row.expected);
    const std::vector<CsvRecord> back = ParseCsv(CsvLine(row.fields));
    ASSERT_EQ(back.size(), 1u) << row.expected;
    EXPECT_EQ(back[0].fields, row.fields);
  }
}

}  // namespace
}  // namespace tol
