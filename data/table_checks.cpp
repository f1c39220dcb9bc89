#include "data/table_checks.h"

#include <string>

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

bool UpperBelowLower(std::string_view cellText) {
  const CellValues values = QuietCellValues(cellText);
  return values.accepted && values.first < values.second;
}

std::optional<double> IntervalBound(std::string_view label) {
  std::string word = ExtractWord(label, 2);
  for (char& c : word) {
    if (c == ',') c = '.';
  }
  NumberResult read{};
  try {
    read = NumberFromText(word);
  } catch (const Exception&) {
    return std::nullopt;  // beyond even the extended range
  }
  if (read.error != 0) return std::nullopt;
  const auto bound = static_cast<double>(read.value);  // no overflow error: a check only looks
  return bound;
}

bool BoundOutOfOrder(std::optional<double> previous, std::optional<double> bound) {
  return previous && bound && !(*bound > *previous);
}

}  // namespace tol
