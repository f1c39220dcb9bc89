#pragma once
// A tolerance table as a CSV table: a header "upper_bound_mm,<name>_upper,<name>_lower,...",
// then one record per interval: its upper bound, then the two numbers of each grade's cell.
// Fields are separated by "," with "." as the decimal point, or by ";" with decimal commas.

#include <string>
#include <string_view>

#include "data/memory_table.h"
#include "tools/grade_names.h"

namespace tol {

inline constexpr std::string_view kBoundTitle = "upper_bound_mm";

// The table of a CSV text, as cell texts ready for the tolerance file: labels "До <bound>",
// grade names blank-padded to 6 characters, cells "<upper> <lower>". The separator is the one
// the header line uses (HeaderSeparator). The first column's title is free. A number may have
// blanks around it and "," for its decimal point, and must fit in binary64. Raises CsvError at
// the line and column of the first fault, also for a header of one field holding ";" (a file
// whose separator the header hides in quotes).
[[nodiscard]] MemoryTable TableFromCsv(std::string_view csv, NameCase name_case);

// The CSV text of a table: word 2 of each label and both words of each cell as they stand
// (a first "," read as the decimal point), names without their trailing blanks. With ";" as
// separator the numbers are written with decimal commas.
[[nodiscard]] std::string CsvFromTable(const CellTable& table, char separator = ',');

}  // namespace tol
