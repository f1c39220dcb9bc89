// The planned table edits of the ISO 286 commands on an in-memory table, and their inverses.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/iso286_fill.h"
#include "data/memory_table.h"

namespace tol::iso286 {
namespace {

// Bounds 3, 12 and 14 by the grades "h7" and " js6 ".
MemoryTable Sample() {
  MemoryTable table(3, 4);
  const std::vector<std::vector<std::string>> cols = {{"     мм  ", "До 3", "До 12", "До 14"},
                                                      {"h7    ", "0 -0.01", "0 -0.018", "0 -0.018"},
                                                      {" js6  ", "1 1", "1 1", "1 1"}};
  for (std::size_t c = 0; c < cols.size(); ++c) {
    for (std::size_t r = 0; r < cols[c].size(); ++r) {
      table.SetCell(static_cast<std::int32_t>(c), static_cast<std::int32_t>(r), cols[c][r]);
    }
  }
  return table;
}

std::vector<std::string> Column(const MemoryTable& table, std::int32_t col) {
  std::vector<std::string> texts;
  for (std::int32_t row = 0; row < table.RowCount(); ++row)
    texts.push_back(table.GetCell(col, row));
  return texts;
}

TEST(Iso286Fill, NamesAreReadUntilTheFirstTrouble) {
  const MemoryTable table = Sample();
  struct Row {
    const char* text;
    NameTrouble trouble;
    const char* name;
    std::size_t classes;
  };
  for (const Row& row : std::vector<Row>{{"H7 g6,k6", NameTrouble::kNone, "", 3},
                                         {"  ", NameTrouble::kNoName, "", 0},
                                         {"H7 h7", NameTrouble::kAlreadyAColumn, "h7", 0},
                                         {"js6", NameTrouble::kAlreadyAColumn, "js6", 0},
                                         {"g6 g6", NameTrouble::kAlreadyAColumn, "g6", 0},
                                         {"g6 Q7 h7", NameTrouble::kNotAClass, "Q7", 0},
                                         {"JS6", NameTrouble::kNone, "", 1}}) {
    const NewClassNames names = ReadNewClassNames(row.text, table);
    EXPECT_EQ(names.trouble, row.trouble) << row.text;
    EXPECT_EQ(names.name, row.name) << row.text;
    EXPECT_EQ(names.classes.size(), row.classes) << row.text;
  }
  EXPECT_EQ(ReadNewClassNames("Q7", table).refusal, Refusal::kUnknownLetters);
}

TEST(Iso286Fill, ColumnsAreAppendedAndTheirInverseRemovesThem) {
  MemoryTable table = Sample();
  // A deleted column's texts beyond the count must not show through in the new column.
  table.SetCell(3, 2, "stale");
  const FillPlan plan = PlanClassColumns(table, {ParseClass("H7")}, JsRounding::kExact, ',');
  const TableEdit inverse = ApplyTableEdit(table, plan.edit);
  EXPECT_EQ(table.ColCount(), 4);
  EXPECT_EQ(Column(table, 3), (std::vector<std::string>{"H7    ", "0,01 0", "", "0,018 0"}));
  ASSERT_EQ(plan.unfilled.size(), 1u);
  EXPECT_EQ(plan.unfilled[0].grade, "H7");
  EXPECT_EQ(plan.unfilled[0].interval, "До 12");
  EXPECT_EQ(plan.unfilled[0].refusal, Refusal::kBeyondRanges);
  (void)ApplyTableEdit(table, inverse);
  EXPECT_EQ(table.ColCount(), 3);
  EXPECT_EQ(table.GetCell(3, 2), "stale");
}

TEST(Iso286Fill, ARowFillsItsClassesAndItsInverseRestoresTheOldTexts) {
  MemoryTable table = Sample();
  const FillPlan plan = PlanIntervalRow(table, 3, JsRounding::kExact, '.');
  EXPECT_TRUE(plan.unfilled.empty());
  const TableEdit inverse = ApplyTableEdit(table, plan.edit);
  EXPECT_EQ(table.GetCell(1, 3), "0 -0.018");
  EXPECT_EQ(table.GetCell(2, 3), "0.0055 -0.0055");
  (void)ApplyTableEdit(table, inverse);
  EXPECT_EQ(table.GetCell(2, 3), "1 1");
  EXPECT_EQ(table.ColCount(), 3);

  const FillPlan inside = PlanIntervalRow(table, 2, JsRounding::kExact, '.');
  EXPECT_TRUE(inside.edit.cells.empty());
  ASSERT_EQ(inside.unfilled.size(), 2u);
  EXPECT_EQ(inside.unfilled[1].grade, " js6  ");
  EXPECT_EQ(inside.unfilled[1].refusal, Refusal::kBeyondRanges);
}

}  // namespace
}  // namespace tol::iso286
