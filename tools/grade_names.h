#pragma once
// Grade names in the CSV header: "<name>_upper" and "<name>_lower" column titles, and the
// checks that make a title a name the tolerance file can hold.

#include <string>
#include <string_view>
#include <vector>

#include "tools/csv_text.h"

namespace tol {

inline constexpr std::string_view kUpperSuffix = "_upper";
inline constexpr std::string_view kLowerSuffix = "_lower";

enum class NameCase {
  kIgnored,     // "H7" and "h7" name the same grade, as in the editor's own duplicate test
  kSignificant  // "H7" (a hole) and "h7" (a shaft) are two grades; only exact repeats clash
};

// The grade names of a header record: after the first column, pairs "<name>_upper",
// "<name>_lower". Each name is cut of its trailing blanks and must then be 1 to 6 characters of
// the Windows-1251 code page, no control characters, and not repeat an earlier name. Returns
// the names as table cell texts: blank-padded to 6 characters. Raises CsvError at the column
// of the first fault.
[[nodiscard]] std::vector<std::string> GradeNamesFromHeader(const CsvRecord& header,
                                                            NameCase name_case);

// The header column title of a grade name cell: the name without its trailing blanks.
[[nodiscard]] std::string GradeNameTitle(std::string_view name_cell);

}  // namespace tol
