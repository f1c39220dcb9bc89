// Writing a range of cells as tab-separated text and as an HTML table.

#include "data/cell_block.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/memory_table.h"
#include "data/pasted_block.h"

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

}  // namespace
}  // namespace tol
