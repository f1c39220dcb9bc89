#include "tools/csv_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/memory_table.h"
#include "tests/data/file_test_support.h"
#include "tools/tool_errors.h"

namespace tol {
namespace {

using testing::Cells;

TEST(TableFromCsv, BuildsLabelsNamesAndCellTexts) {
  const MemoryTable table = TableFromCsv(
      "upper_bound_mm,h7_upper,h7_lower,Ж7_upper,Ж7_lower\n"
      "10,0,-0.015,0.1,0.01\n"
      "18, -0.018 ,\"-0,003\",1e-3,0\n",
      NameCase::kIgnored);
  const std::vector<std::vector<std::string>> expected = {
      {"     мм  ", "h7    ", "Ж7    "},
      {"До 10", "0 -0.015", "0.1 0.01"},
      {"До 18", "-0.018 -0.003", "1e-3 0"},
  };
  EXPECT_EQ(Cells(table), expected);
}

TEST(TableFromCsv, AHeaderAloneGivesATableWithoutIntervals) {
  const MemoryTable table = TableFromCsv("upper_bound_mm,a_upper,a_lower\n", NameCase::kIgnored);
  EXPECT_EQ(table.RowCount(), 1);
  EXPECT_EQ(table.ColCount(), 2);
}

TEST(TableFromCsv, NamesDifferingInCaseAreOneGradeUnlessCaseIsSignificant) {
  const std::string csv = "b,H7_upper,H7_lower,h7_upper,h7_lower\n1,0,0,0,0\n";
  EXPECT_THROW((void)TableFromCsv(csv, NameCase::kIgnored), CsvError);
  EXPECT_EQ(TableFromCsv(csv, NameCase::kSignificant).GetCell(2, 0), "h7    ");
  EXPECT_THROW((void)TableFromCsv("b,x_upper,x_lower,x_upper,x_lower\n", NameCase::kSignificant),
               CsvError);
}

TEST(TableFromCsv, ReportsEachFaultAtItsLineAndColumn) {
  struct Row {
    std::string csv;
    std::size_t line;
    std::size_t column;
    std::string text;  // part of the message; empty where the header is sound
    const char* probe;
  };
  const std::string header = "b,h7_upper,h7_lower\n";
  const std::vector<Row> rows = {
      {"", 1, 1, "no header", "empty text"},
      {"\n\n", 1, 1, "no header", "blank lines only"},
      {header + "10,0\n", 2, 3, "2 fields where the header has 3", "a field missing"},
      {header + "10,0,0,0\n", 2, 4, "4 fields", "a field too many"},
      {header + "10,0,0\n\n18,0\n", 4, 3, "2 fields", "line counted across a blank line"},
      {header + "10,abc,0\n", 2, 2, "\"abc\" is not a number", "a word"},
      {header + "10,0.0.1,0\n", 2, 2, "not a number", "two points"},
      {header + "10,1 2,0\n", 2, 2, "not a number", "two words in one field"},
      {header + "10,0,\n", 2, 3, "empty", "empty value"},
      {header + "x,0,0\n", 2, 1, "not a number", "bad bound"},
      {header + "10,1e400,0\n", 2, 2, "beyond the range", "beyond binary64"},
      {"b,h7_upper\n", 1, 2, "no _lower partner", "odd pair"},
      {"b,h7_up,h7_lower\n", 1, 2, "does not end in _upper", "wrong upper suffix"},
      {"b,h7_upper,h8_lower\n", 1, 3, "expected \"h7_lower\"", "unpaired names"},
      {"b,_upper,_lower\n", 1, 2, "empty", "empty name"},
      {"b,   _upper,   _lower\n", 1, 2, "empty", "blanks only"},
      {"b,h123456_upper,h123456_lower\n", 1, 2, "longer than 6", "seven characters"},
      {"b,Жжжжжжж_upper,Жжжжжжж_lower\n", 1, 2, "longer than 6", "seven two-byte characters"},
      {"b,h€7_upper,h€7_lower\n", 0, 0, "", "euro sign is in the code page"},
      {"b,€€€€€€_upper,€€€€€€_lower\n", 0, 0, "", "six three-byte characters are six characters"},
      {"b,ω7_upper,ω7_lower\n", 1, 2, "outside Windows-1251", "Greek letter"},
      {"b,a\xFF_upper,a\xFF_lower\n", 1, 2, "outside Windows-1251", "invalid UTF-8"},
      {"b,\"a\tb_upper\",\"a\tb_lower\"\n", 1, 2, "control character", "tab in a name"},
      {"b,x_upper,x_lower,H7_upper,H7_lower,h7_upper,h7_lower\n", 1, 6,
       "repeats \"H7\" of column 4", "case ignored"},
      {"b,ЖЁ_upper,ЖЁ_lower,жё_upper,жё_lower\n", 1, 4, "repeats", "Cyrillic case ignored"},
  };
  for (const Row& row : rows) {
    try {
      (void)TableFromCsv(row.csv, NameCase::kIgnored);
      EXPECT_TRUE(row.text.empty()) << row.probe << ": no error";
    } catch (const CsvError& e) {
      EXPECT_FALSE(row.text.empty()) << row.probe << ": " << e.Message();
      EXPECT_EQ(e.Line(), row.line) << row.probe << ": " << e.Message();
      EXPECT_EQ(e.Column(), row.column) << row.probe << ": " << e.Message();
      EXPECT_NE(e.Message().find(row.text), std::string::npos) << row.probe << ": " << e.Message();
      EXPECT_EQ(
          e.Message().rfind(
              "line " + std::to_string(row.line) + ", column " + std::to_string(row.column), 0),
          0u)
          << row.probe << ": " << e.Message();
    }
  }
}

TEST(CsvFromTable, WritesTitlesBoundsAndBothWordsOfEveryCell) {
  MemoryTable table(3, 3);
  table.SetCell(0, 0, "     мм  ");
  table.SetCell(1, 0, "h7    ");
  table.SetCell(2, 0, "a,b   ");
  table.SetCell(0, 1, "До 10");
  table.SetCell(1, 1, "0 -0,015");
  table.SetCell(2, 1, "0.1 0.01");
  table.SetCell(0, 2, "До 1E20");
  table.SetCell(1, 2, "1 2");
  table.SetCell(2, 2, "3 4");
  EXPECT_EQ(CsvFromTable(table),
            "upper_bound_mm,h7_upper,h7_lower,\"a,b_upper\",\"a,b_lower\"\n"
            "10,0,-0.015,0.1,0.01\n"
            "1E20,1,2,3,4\n");
}

TEST(CsvFromTable, ReadsBackAsTheSameTable) {
  const std::string csv =
      "upper_bound_mm,\"q\"\"1_upper\",\"q\"\"1_lower\",Ё_upper,Ё_lower\n"
      "3,0.006,0,-1.5,2\n"
      "1E-5,1,-1,0,0\n";
  EXPECT_EQ(CsvFromTable(TableFromCsv(csv, NameCase::kIgnored)), csv);
}

}  // namespace
}  // namespace tol
