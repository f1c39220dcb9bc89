#pragma once
// The table changes of the editor's ISO 286 commands, planned from the table's own texts:
// appending a column per class, and filling the value cells of one interval row. A plan is one
// edit, applied in one call, whose inverse undoes it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/iso286.h"
#include "data/tolerance_file.h"

namespace tol::iso286 {

struct CellChange {
  std::int32_t col;
  std::int32_t row;
  std::string text;
};

// The column count after the edit, and the cells it writes.
struct TableEdit {
  std::int32_t col_count = 1;
  std::vector<CellChange> cells;
};

// Writes an edit into table and returns the edit that restores the table as it was.
[[nodiscard]] TableEdit ApplyTableEdit(CellTable& table, const TableEdit& edit);

// The class names of the add command's text: words split by blanks or commas.
enum class NameTrouble { kNone, kNoName, kNotAClass, kAlreadyAColumn };
struct NewClassNames {
  std::vector<ToleranceClass> classes;
  NameTrouble trouble = NameTrouble::kNone;
  std::string name;                  // the troubling name
  Refusal refusal = Refusal::kNone;  // why it is not a class, for kNotAClass
};
// A name that is already a grade name of the table, exactly (blanks around it aside, case
// significant), or that comes twice in the text, is kAlreadyAColumn.
[[nodiscard]] NewClassNames ReadNewClassNames(std::string_view text, const CellTable& table);

// A value cell the plan leaves as it is: its grade name, its interval label and why.
struct Unfilled {
  std::string grade;
  std::string interval;
  Refusal refusal;
};

struct FillPlan {
  TableEdit edit;
  std::vector<Unfilled> unfilled;
};

// One new column per class after the last, named by the class blank-padded to 6 characters,
// its value cells filled where ISO defines the class over the row's interval and left empty
// elsewhere.
[[nodiscard]] FillPlan PlanClassColumns(const CellTable& table,
                                        const std::vector<ToleranceClass>& classes,
                                        JsRounding rounding, char separator);

// The value cells of row whose grade name, blanks around it cut, is an ISO class defined over
// the row's interval; the other cells stay as they are and are listed with the reason (for a
// name that is no class, why it is none). A row whose label is no range bound fills nothing and
// lists every class with Refusal::kBeyondRanges.
[[nodiscard]] FillPlan PlanIntervalRow(const CellTable& table, std::int32_t row,
                                       JsRounding rounding, char separator);

}  // namespace tol::iso286
