// Blocks of cells as spreadsheets exchange them: writing a range as tab-separated text and as an
// HTML table, and reading a pasted block into value cell texts.

#include "data/cell_block.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/memory_table.h"

namespace tol {
namespace {

using Rows = std::vector<std::vector<std::string>>;

MemoryTable TableOf(const Rows& rows) {
  MemoryTable table(static_cast<std::int32_t>(rows[0].size()),
                    static_cast<std::int32_t>(rows.size()));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      table.SetCell(static_cast<std::int32_t>(c), static_cast<std::int32_t>(r), rows[r][c]);
    }
  }
  return table;
}

const Rows kTable = {
    {"     мм  ", "h7    ", "js10  "},
    {"До 10", "0.015 0", "-0.012 0.125"},
    {"До 18", "0.018 0", "1 2"},
};

TEST(CellBlockWriting, RangesAsTabsAndLines) {
  const MemoryTable table = TableOf(kTable);
  EXPECT_EQ(BlockAsTabSeparated(table, {1, 1, 2, 2}), "0.015 0\t-0.012 0.125\n0.018 0\t1 2\n");
  EXPECT_EQ(BlockAsTabSeparated(table, {2, 2, 2, 2}), "1 2\n");
  EXPECT_EQ(BlockAsTabSeparated(table, {0, 0, 1, 0}), "     мм  \th7    \n");
}

TEST(CellBlockWriting, FieldsASpreadsheetWouldSplitAreQuoted) {
  const MemoryTable table = TableOf({{"a\tb", "\"q\" x", "x \"y\"", "line\nend"}});
  EXPECT_EQ(BlockAsTabSeparated(table, {0, 0, 3, 0}),
            "\"a\tb\"\t\"\"\"q\"\" x\"\tx \"y\"\t\"line\nend\"\n");
  // Read back, every text comes out as it went in.
  EXPECT_EQ(SplitTabSeparated(BlockAsTabSeparated(table, {0, 0, 3, 0})),
            (Rows{{"a\tb", "\"q\" x", "x \"y\"", "line\nend"}}));
}

TEST(CellBlockWriting, HtmlTableEscapesMarkup) {
  const MemoryTable table = TableOf({{"<b>&\"", "1 2"}});
  EXPECT_EQ(BlockAsHtmlTable(table, {0, 0, 1, 0}),
            "<html><body><table>\n<tr><td>&lt;b&gt;&amp;&quot;</td><td>1 2</td></tr>\n"
            "</table></body></html>\n");
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
  const BlockRoom room{10, 10};
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
  };
  for (const ReadCase& c : cases) {
    const CellBlock block = ReadCellBlock(c.text, room);
    EXPECT_EQ(block.paired, c.paired) << c.what;
    Rows rows;
    std::size_t next = 0;
    for (const std::int32_t length : block.rowLengths) {
      rows.emplace_back(block.cells.begin() + static_cast<std::ptrdiff_t>(next),
                        block.cells.begin() + static_cast<std::ptrdiff_t>(next + length));
      next += static_cast<std::size_t>(length);
    }
    EXPECT_EQ(rows, c.cells) << c.what;
  }
}

struct RefusalCase {
  const char* what;
  std::string text;
  BlockRoom room;
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
       {5, 5},
       1,
       2,
       "Строка 1, столбец 2" + where + ": «abc» — не два числа."},
      {"a lone number among pairs",
       "1 2\n3\n",
       {5, 5},
       2,
       1,
       "Строка 2, столбец 1" + where + ": «3» — не два числа."},
      {"an empty field",
       "1 2\t\n",
       {5, 5},
       1,
       2,
       "Строка 1, столбец 2" + where + ": «» — не два числа."},
      {"a number beyond binary64, paired",
       "1\t1e999\n",
       {5, 5},
       1,
       2,
       "Строка 1, столбец 2" + where + ": число «1e999» вне допустимого диапазона."},
      {"a number beyond binary64 in a pair cell",
       "1e999 0\n",
       {5, 5},
       1,
       1,
       "Строка 1, столбец 1" + where + ": число «1e999 0» вне допустимого диапазона."},
      {"past the last row",
       "1\t2\n3\t4\n5\t6\n",
       {1, 2},
       3,
       1,
       "Строка 3, столбец 1" + where + " выходит за край таблицы."},
      {"past the last column, paired",
       "1\t2\t3\t4\n",
       {1, 2},
       1,
       3,
       "Строка 1, столбец 3" + where + " выходит за край таблицы."},
      {"past the last column, single",
       "1 2\t3 4\t5 6\n",
       {2, 2},
       1,
       3,
       "Строка 1, столбец 3" + where + " выходит за край таблицы."},
      {"the place is found before a later bad text",
       "1 2\t3 4\nx\n",
       {1, 2},
       1,
       2,
       "Строка 1, столбец 2" + where + " выходит за край таблицы."},
      {"a long field is cut in a message, not inside a letter",
       x39 + "я",
       {5, 5},
       1,
       1,
       "Строка 1, столбец 1" + where + ": «" + x39 + "…» — не два числа."},
  };
  // clang-format on
  for (const RefusalCase& c : cases) {
    try {
      (void)ReadCellBlock(c.text, c.room);
      ADD_FAILURE() << c.what << ": accepted";
    } catch (const EBlockField& refusal) {
      EXPECT_EQ(refusal.Field().row, c.row) << c.what;
      EXPECT_EQ(refusal.Field().col, c.col) << c.what;
      EXPECT_EQ(refusal.Message(), c.message) << c.what;
    }
  }
}

}  // namespace
}  // namespace tol
