#pragma once
// A tolerance table as a CSV table: a header "upper_bound_mm,<name>_upper,<name>_lower,...",
// then one record per interval: its upper bound, then the two numbers of each grade's cell.
// Numbers are in the texts the editor shows, always with "." as the decimal point.

#include <string>
#include <string_view>

#include "data/memory_table.h"
#include "tools/grade_names.h"

namespace tol {

inline constexpr std::string_view kBoundTitle = "upper_bound_mm";

// The table of a CSV text, as cell texts ready for the tolerance file: labels "До <bound>",
// grade names blank-padded to 6 characters, cells "<upper> <lower>". The first column's title
// is free. A number may have blanks around it and "," for its decimal point, and must fit in
// binary64. Raises CsvError at the line and column of the first fault.
[[nodiscard]] MemoryTable TableFromCsv(std::string_view csv, NameCase name_case);

// The CSV text of a table as the tolerance file loads it: bounds in the general real form,
// values in the cell form of at most three decimals, names without their trailing blanks.
[[nodiscard]] std::string CsvFromTable(const CellTable& table);

}  // namespace tol
