#pragma once
// The texts that tell what a cell of the tolerance table means: the status bar's line for the
// current cell, the tool-tip of a marked cell and of a label, and the count of check failures.
// Numbers are written with the decimal separator in force.

#include <QString>
#include <cstdint>
#include <optional>

#include "ui/loaded_values.h"

namespace tk {
class GridModel;
}
class CheckCounter;

// "св. 10 до 18 мм": the interval of row, from the bound of the row above (0 for row 1).
[[nodiscard]] QString IntervalText(const tk::GridModel& cells, std::int32_t row);
// The grade's name without its padding blanks.
[[nodiscard]] QString GradeName(const tk::GridModel& cells, std::int32_t col);
// Whether a grade names a hole's zone (its name starts with an upper-case letter).
[[nodiscard]] bool IsHoleGrade(const QString& name);

// "0,0045 мм = 4,5 мкм": a deviation as the shortest decimal that is exactly the value.
[[nodiscard]] QString DeviationText(double millimetres);
// "9 мкм": upper - lower, exactly.
[[nodiscard]] QString ToleranceText(double upper, double lower);

// The status bar's line for cell (col, row): for a value cell its interval, grade, deviations
// (the file's values where the cell is marked, else its text's) and tolerance; for a label
// what it names.
[[nodiscard]] QString CellStatusText(const tk::GridModel& cells, const LoadedValues& loaded,
                                     std::int32_t col, std::int32_t row);
// The file's values of a marked cell and what a save will write instead.
[[nodiscard]] QString RoundingText(const LoadedValues::Pair& exact);
// "" when every check passes.
[[nodiscard]] QString ChecksText(const CheckCounter& checks);
