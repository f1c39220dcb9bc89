// Reading a block pasted from a spreadsheet: fields, the pairing rule, the cell form, and every
// refusal with the field it names.

#include "data/pasted_block.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "data/number_text.h"

namespace tol {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// The cells of a block by the table rows and columns they go to, from (1, 1).
Rows Placed(const CellBlock& block) {
  Rows rows;
  for (const PlacedText& cell : block.cells) {
    if (static_cast<std::size_t>(cell.row) > rows.size()) rows.resize(cell.row);
    auto& row = rows[static_cast<std::size_t>(cell.row) - 1];
    if (static_cast<std::size_t>(cell.col) != row.size() + 1) ADD_FAILURE() << "a gap";
    row.push_back(cell.text);
  }
  return rows;
}

struct SplitCase {
  const char* what;
  std::string text;
  Rows fields;
};

TEST(CellBlockReading, SplitsLikeASpreadsheet) {
  const SplitCase cases[] = {
      {"empty text: no rows", "", {}},
      {"no final line end", "a\tb", {{"a", "b"}}},
      {"final line end", "a\tb\n", {{"a", "b"}}},
      {"CRLF line ends", "a\tb\r\nc\td\r\n", {{"a", "b"}, {"c", "d"}}},
      {"empty fields kept", "\t\n", {{"", ""}}},
      {"ragged rows", "a\nb\tc\n", {{"a"}, {"b", "c"}}},
      {"quoted tab, line end and quote",
       "\"x\ty\"\t\"p\nq\"\t\"r\"\"s\"\n",
       {{"x\ty", "p\nq", "r\"s"}}},
      {"a quote inside a field is kept", "ab\"c\td", {{"ab\"c", "d"}}},
      {"an empty line in the middle", "a\n\nb", {{"a"}, {""}, {"b"}}},
  };
  for (const SplitCase& c : cases) {
    EXPECT_EQ(SplitTabSeparated(c.text), c.fields) << c.what;
  }
}

struct ReadCase {
  const char* what;
  std::string text;
  bool paired;
  Rows cells;
};

TEST(CellBlockReading, CellsInTheirCellForm) {
  const BlockTarget target{1, 1, 10, 10};
  const ReadCase cases[] = {
      {"two columns of numbers pair up",
       "0.018\t0\n0,025\t-0,0046\n",
       true,
       {{"0.018 0"}, {"0.025 -0.005"}}},
      {"four numbers a row: two cells", "1\t2\t3\t4\r\n", true, {{"1 2", "3 4"}}},
      {"blanks around a number", " 1 \t2\n", true, {{"1 2"}}},
      {"exponents", "1e-3\t-2E-2\n", true, {{"0.001 -0.02"}}},
      {"one field not a single number: no pairing anywhere",
       "1 2\n3 4\t5 6\n",
       false,
       {{"1 2"}, {"3 4", "5 6"}}},
      {"pairs as the grid copies them",
       "0,018 0\t-0.012 0.125\n",
       false,
       {{"0.018 0", "-0.012 0.125"}}},
      {"a third word is dropped", "1 2 3\n", false, {{"1 2"}}},
      {"rows of different pair counts", "1\t2\n3\t4\t5\t6\n", true, {{"1 2"}, {"3 4", "5 6"}}},
      {"trailing zeros, a signed zero and CRLF",
       "0,120\t-0,000\r\n1.500\t-2.0\r\n",
       true,
       {{"0.12 0"}, {"1.5 -2"}}},
      {"a quoted pair after a plain one", "1\t2\t\"3\"\t4\n", true, {{"1 2", "3 4"}}},
      {"a carriage return before the text's end", "1\t2\r", true, {{"1 2"}}},
      {"a word longer than the usual form",
       "1234567890123.5\t-0.0004\n",
       true,
       {{"1234567890123.5 0"}}},
  };
  for (const ReadCase& c : cases) {
    const CellBlock block = ReadCellBlock(c.text, target);
    EXPECT_EQ(block.paired, c.paired) << c.what;
    EXPECT_EQ(Placed(block), c.cells) << c.what;
  }
}

struct RefusalCase {
  const char* what;
  std::string text;
  BlockTarget target;
  std::int32_t row;
  std::int32_t col;
  std::string message;
};

TEST(CellBlockReading, RefusesTheFirstBadField) {
  const std::string x39(39, 'x');
  const std::string where = " вставляемого блока";
  // clang-format off: a table laid out by hand
  const RefusalCase cases[] = {
      {"letters",
       "1 2\tabc\n",
       {1, 1, 5, 5},
       1,
       2,
       "Строка 1, столбец 2" + where + ": «abc» — не два числа."},
      {"a lone number among pairs",
       "1 2\n3\n",
       {1, 1, 5, 5},
       2,
       1,
       "Строка 2, столбец 1" + where + ": «3» — не два числа."},
      {"an empty field",
       "1 2\t\n",
       {1, 1, 5, 5},
       1,
       2,
       "Строка 1, столбец 2" + where + ": «» — не два числа."},
      {"a number beyond binary64, paired",
       "1\t1e999\n",
       {1, 1, 5, 5},
       1,
       2,
       "Строка 1, столбец 2" + where + ": число «1e999» вне допустимого диапазона."},
      {"a number beyond binary64 in a pair cell",
       "1e999 0\n",
       {1, 1, 5, 5},
       1,
       1,
       "Строка 1, столбец 1" + where + ": число «1e999 0» вне допустимого диапазона."},
      {"past the last row",
       "1\t2\n3\t4\n5\t6\n",
       {1, 1, 1, 2},
       3,
       1,
       "Строка 3, столбец 1" + where + " выходит за край таблицы."},
      {"past the last column, paired",
       "1\t2\t3\t4\n",
       {1, 1, 1, 2},
       1,
       3,
       "Строка 1, столбец 3" + where + " выходит за край таблицы."},
      {"past the last column, single",
       "1 2\t3 4\t5 6\n",
       {1, 1, 2, 2},
       1,
       3,
       "Строка 1, столбец 3" + where + " выходит за край таблицы."},
      {"the place is found before a later bad text",
       "1 2\t3 4\nx\n",
       {1, 1, 1, 2},
       1,
       2,
       "Строка 1, столбец 2" + where + " выходит за край таблицы."},
      {"a long field is cut in a message, not inside a letter",
       x39 + "я",
       {1, 1, 5, 5},
       1,
       1,
       "Строка 1, столбец 1" + where + ": «" + x39 + "…» — не два числа."},
  };
  // clang-format on
  for (const RefusalCase& c : cases) {
    try {
      (void)ReadCellBlock(c.text, c.target);
      ADD_FAILURE() << c.what << ": accepted";
    } catch (const EBlockField& refusal) {
      EXPECT_EQ(refusal.Field().row, c.row) << c.what;
      EXPECT_EQ(refusal.Field().col, c.col) << c.what;
      EXPECT_EQ(refusal.Message(), c.message) << c.what;
    }
  }
}

TEST(CellBlockReading, PlacesCellsFromTheTarget) {
  const CellBlock block = ReadCellBlock("1\t2\t3\t4\n5\t6\t7\t8\n", {3, 7, 2, 2});
  ASSERT_EQ(block.cells.size(), 4u);
  EXPECT_EQ(block.cells[0].col, 3);
  EXPECT_EQ(block.cells[0].row, 7);
  EXPECT_EQ(block.cells[3].col, 4);
  EXPECT_EQ(block.cells[3].row, 8);
  EXPECT_EQ(block.cells[3].text, "7 8");
  EXPECT_TRUE(ReadCellBlock("", {1, 1, 5, 5}).cells.empty());
}

}  // namespace
}  // namespace tol

namespace tol {
namespace {

// Words a spreadsheet writes are mostly shown as they stand; every one must come out exactly as
// reading its number and writing the cell form would give, in either decimal separator.
TEST(CellBlockReading, WordsKeptAsTheyStandAreTheirCellForm) {
  std::mt19937_64 random(14);
  std::vector<std::string> words = {"0",
                                    "-0",
                                    "0.5",
                                    "-0.5",
                                    "0,001",
                                    "-0,001",
                                    "999999999999.999",
                                    "-999999999999.999",
                                    "1000000000000",
                                    "0.0005",
                                    "0.100",
                                    "00.1",
                                    "5.",
                                    "+5",
                                    "1e3",
                                    "-0.000"};
  const char* digits = "0123456789";
  for (int i = 0; i < 20000; ++i) {
    std::string word = random() % 2 ? "-" : "";
    const int integer_digits = 1 + static_cast<int>(random() % 13);
    for (int d = 0; d < integer_digits; ++d) word += digits[random() % 10];
    const int decimals = static_cast<int>(random() % 5);
    if (decimals > 0) word += random() % 2 ? '.' : ',';
    for (int d = 0; d < decimals; ++d) word += digits[random() % 10];
    words.push_back(word);
  }
  for (const char separator : {'.', ','}) {
    SetDecimalSeparator(separator);
    for (const std::string& word : words) {
      std::string dotted = word;
      std::replace(dotted.begin(), dotted.end(), ',', '.');
      const NumberResult number = NumberFromText(dotted);
      if (number.error != 0) continue;
      const double value = ToBinary64(number.value);
      const std::string expected = CellText(value, -value);
      const bool has_sign = word[0] == '-' || word[0] == '+';
      const std::string negated = (word[0] == '-' ? "" : "-") + word.substr(has_sign ? 1 : 0);
      EXPECT_EQ(ReadCellBlock(word + "\t" + negated, {1, 1, 1, 1}).cells.at(0).text, expected)
          << word;
      EXPECT_EQ(ReadCellBlock(word + " " + negated, {1, 1, 1, 1}).cells.at(0).text, expected)
          << word;
    }
  }
  SetDecimalSeparator('.');
}

}  // namespace
}  // namespace tol
