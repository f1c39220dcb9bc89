#pragma once
// The ISO 286 rules in a table's own terms: the range an interval label names, and the value
// cell text of a class over it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/iso286.h"

namespace tol::iso286 {

// The range of an interval label "До X": word 2 read as a number ("," taken for "."), and the
// range whose upper bound it is exactly. None for a label without a number, or whose number is
// not a range bound (inside a range, above 500 mm, 0 or below).
[[nodiscard]] std::optional<int> RangeOfLabel(std::string_view label);

// "<upper> <lower>" in millimetres, exactly, with separator as the decimal point.
[[nodiscard]] std::string DeviationCellText(const Deviations& deviations, char separator);

// The value cell text of a class over a range, or none and the reason: a row without a range
// gives Refusal::kBeyondRanges.
struct CellFill {
  std::optional<std::string> text;
  Refusal refusal = Refusal::kNone;
};
[[nodiscard]] CellFill FillCell(const ToleranceClass& tolerance_class, std::optional<int> range,
                                JsRounding rounding, char separator);

// FillCell over every range of RangeBounds(), by range: a class has one text per range, so a
// column of any length is filled from these.
[[nodiscard]] std::vector<CellFill> FillsByRange(const ToleranceClass& tolerance_class,
                                                 JsRounding rounding, char separator);

// The fill of a row whose range is range, from FillsByRange.
[[nodiscard]] inline const CellFill& FillOfRow(const std::vector<CellFill>& fills,
                                               std::optional<int> range) {
  static const CellFill kNoRange{std::nullopt, Refusal::kBeyondRanges};
  return range ? fills[static_cast<std::size_t>(*range)] : kNoRange;
}

}  // namespace tol::iso286
