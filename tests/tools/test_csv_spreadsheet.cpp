// CSV as spreadsheets write it: exports that lose no digit and read back byte for byte, ";"
// with decimal commas, and the header's separator, byte-order mark and line ends on import.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "data/memory_table.h"
#include "tests/data/file_test_support.h"
#include "tools/csv_commands.h"
#include "tools/csv_table.h"
#include "tools/shortest_numbers.h"
#include "tools/tool_errors.h"

namespace tol {
namespace {

using testing::ReadFile;
using testing::WriteFile;

class CsvSpreadsheetTest : public testing::TempDirTest {};

TEST_F(CsvSpreadsheetTest, SampleRoundTripIsByteIdenticalWithEitherSeparator) {
  for (const char separator : {',', ';'}) {
    ExportCsvFile(TOL_SAMPLE_TABLE, "first.csv", separator);
    (void)ImportCsvFile("first.csv", "first.win", {.replace_existing = true});
    EXPECT_EQ(ReadFile("first.win"), ReadFile(TOL_SAMPLE_TABLE)) << separator;
    ExportCsvFile("first.win", "second.csv", separator);
    EXPECT_EQ(ReadFile("second.csv"), ReadFile("first.csv")) << separator;
  }
  // The js6 deviations of the sample keep their fourth decimal.
  EXPECT_NE(ReadFile("first.csv")->find(";0,0045;-0,0045"), std::string::npos);
}

// Random finite numbers of every magnitude, negative zero and the extremes come back as the
// same bits, bounds and values alike.
TEST_F(CsvSpreadsheetTest, EveryBinary64ComesBackExactly) {
  std::mt19937_64 random(20261208);
  std::vector<double> numbers = {
      -0.0,   0.0,     5e-324, -2.2250738585072014e-308, 1.7976931348623157e308, 0.1,
      0.0045, -0.0045, 1e23,   9007199254740993.0};
  while (numbers.size() < 2000) {
    const double v = std::bit_cast<double>(random());
    if (std::isfinite(v)) numbers.push_back(v);
  }
  const std::size_t intervals = numbers.size() / 4;  // two grades: 2 x 2 values per interval
  const std::vector<double> bounds(numbers.begin(), numbers.begin() + intervals);
  const std::vector<double> values(numbers.begin(), numbers.end());
  WriteFile("random.win", testing::TableFile(bounds, {"a     ", "b     "}, values));
  for (const char separator : {',', ';'}) {
    ExportCsvFile("random.win", "random.csv", separator);
    (void)ImportCsvFile("random.csv", "back.win", {.replace_existing = true});
    EXPECT_EQ(ReadFile("back.win"), ReadFile("random.win")) << separator;
  }
}

TEST(ShortestText, IsTheShortestRoundTripForm) {
  struct Row {
    double value;
    const char* text;
  };
  const Row rows[] = {{0.0045, "0.0045"}, {-0.0, "-0"},  {1e-5, "1e-05"},
                      {1e20, "1e+20"},    {500, "500"},  {0.1 + 0.2, "0.30000000000000004"},
                      {-0.016, "-0.016"}, {3.15, "3.15"}};
  for (const Row& row : rows) EXPECT_EQ(ShortestText(row.value), row.text) << row.text;
}

std::vector<std::vector<std::string>> CellsOf(const std::string& csv) {
  return testing::Cells(TableFromCsv(csv, NameCase::kSignificant));
}

TEST(TableFromCsv, ReadsWhatSpreadsheetsWrite) {
  const std::vector<std::vector<std::string>> expected = {
      {"     мм  ", "H7    ", "h7    "},
      {"До 10", "0.015 0", "0 -0.015"},
      {"До 18.5", "0.018 0", "-0.0045 0.0045"},
  };
  struct Row {
    const char* what;
    std::string csv;
  };
  const Row rows[] = {
      {"commas, points",
       "b,H7_upper,H7_lower,h7_upper,h7_lower\n10,0.015,0,0,-0.015\n"
       "18.5,0.018,0,-0.0045,0.0045\n"},
      {"commas, quoted decimal commas",
       "b,H7_upper,H7_lower,h7_upper,h7_lower\n"
       "10,\"0,015\",0,0,\"-0,015\"\n"
       "\"18,5\",\"0,018\",0,\"-0,0045\",\"0,0045\"\n"},
      {"semicolons, decimal commas",
       "b;H7_upper;H7_lower;h7_upper;h7_lower\n"
       "10;0,015;0;0;-0,015\n18,5;0,018;0;-0,0045;0,0045\n"},
      {"semicolons, byte-order mark, CRLF",
       "\xEF\xBB\xBF"
       "b;H7_upper;H7_lower;h7_upper;h7_lower\r\n"
       "10;0,015;0;0;-0,015\r\n18,5;0,018;0;-0,0045;0,0045\r\n"},
      {"semicolons, quoted fields",
       "\"b\";\"H7_upper\";\"H7_lower\";\"h7_upper\";\"h7_lower\"\n"
       "10;\"0,015\";0;0;-0,015\n18,5;0,018;0;-0,0045;0,0045\n"},
      {"semicolons with points",
       "b;H7_upper;H7_lower;h7_upper;h7_lower\n"
       "10;0.015;0;0;-0.015\n18.5;0.018;0;-0.0045;0.0045\n"},
  };
  for (const Row& row : rows) EXPECT_EQ(CellsOf(row.csv), expected) << row.what;
}

TEST(TableFromCsv, SemicolonErrorsNameTheirLineAndColumn) {
  struct Row {
    const char* what;
    std::string csv;
    std::size_t line;
    std::size_t column;
    std::string message;
  };
  const Row rows[] = {
      {"a header quoted whole", "\"b;h7_upper;h7_lower\"\n10;0;0\n", 1, 1,
       "line 1, column 1: the header is one field holding \";\"; fields must be separated by "
       "\";\" or \",\" outside quotes"},
      {"an exact repeat", "b;h7_upper;h7_lower;h7_upper;h7_lower\n", 1, 4,
       "the grade name \"h7\" repeats \"h7\" of column 2"},
      {"seven Windows-1251 characters", "b;ЖЖЖЖЖЖЖ_upper;ЖЖЖЖЖЖЖ_lower\n", 1, 2,
       "the grade name \"ЖЖЖЖЖЖЖ\" is longer than 6 characters"},
      {"a Greek letter", "b;ω_upper;ω_lower\n", 1, 2,
       "the grade name \"ω\" has characters outside Windows-1251"},
      {"a short row", "b;h7_upper;h7_lower\r\n10;0\r\n", 2, 3, "2 fields where the header has 3"},
      {"a decimal comma in a comma file, unquoted", "b,h7_upper,h7_lower\n10,0,5,1\n", 2, 4,
       "4 fields where the header has 3"},
  };
  for (const Row& row : rows) {
    try {
      (void)TableFromCsv(row.csv, NameCase::kSignificant);
      ADD_FAILURE() << row.what << ": accepted";
    } catch (const CsvError& e) {
      EXPECT_EQ(e.Line(), row.line) << row.what << ": " << e.Message();
      EXPECT_EQ(e.Column(), row.column) << row.what << ": " << e.Message();
      EXPECT_NE(e.Message().find(row.message), std::string::npos)
          << row.what << ": " << e.Message();
    }
  }
}

TEST(CsvFromTable, SemicolonsWriteDecimalCommas) {
  MemoryTable table(2, 2);
  table.SetCell(0, 0, "     мм  ");
  table.SetCell(1, 0, "a;b   ");
  table.SetCell(0, 1, "До 18.5");
  table.SetCell(1, 1, "0,0045 -1e-05");
  EXPECT_EQ(CsvFromTable(table, ';'),
            "upper_bound_mm;\"a;b_upper\";\"a;b_lower\"\n18,5;0,0045;-1e-05\n");
  EXPECT_EQ(CsvFromTable(table, ','), "upper_bound_mm,a;b_upper,a;b_lower\n18.5,0.0045,-1e-05\n");
}

}  // namespace
}  // namespace tol
