#pragma once
// Checks of a tolerance table's sense that never stop a save: a cell whose upper limit
// deviation (its first number) lies below its lower one, and interval bounds that do not
// ascend from 0.

#include <optional>
#include <string_view>

#include "data/number_text.h"

namespace tol {

// ParseCellValues for a look at a cell that must not fail: a number beyond the binary64 range
// (which the save reports as an error) makes the text not accepted instead of raising.
[[nodiscard]] CellValues QuietCellValues(std::string_view text) noexcept;

// Whether a value cell text reads as two numbers, the first below the second.
[[nodiscard]] bool UpperBelowLower(std::string_view cellText);

// The bound of an interval label ("До 30"): its word 2 read as a number, with a "," read as
// "."; nothing when it does not read.
[[nodiscard]] std::optional<double> IntervalBound(std::string_view label);

// Whether a bound fails to rise above the one before it (0 before the first interval). A bound
// that does not read is never out of order, nor is one after it compared with it.
[[nodiscard]] bool BoundOutOfOrder(std::optional<double> previous, std::optional<double> bound);

}  // namespace tol
