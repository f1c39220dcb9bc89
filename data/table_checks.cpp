#include "data/table_checks.h"

#include "data/errors.h"
#include "data/number_text.h"

namespace tol {

CellValues QuietCellValues(std::string_view text) noexcept {
  try {
    return ParseCellValues(text);
  } catch (const Exception&) {
    return {false, 0.0, 0.0};
  }
}

bool UpperBelowLower(std::string_view cell_text) {
  const CellValues values = QuietCellValues(cell_text);
  return values.accepted && values.first < values.second;
}

std::optional<double> IntervalBound(std::string_view label) { return QuietWordValue(label, 2); }

bool BoundOutOfOrder(std::optional<double> previous, std::optional<double> bound) {
  return previous && bound && !(*bound > *previous);
}

}  // namespace tol
