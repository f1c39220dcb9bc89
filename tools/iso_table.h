#pragma once
// A tolerance table computed from the ISO 286 rules, for "tolcsv iso": one grade per class, one
// interval per bound, cells holding the exact limit deviations in millimetres.

#include <string>
#include <vector>

#include "data/iso286.h"
#include "data/memory_table.h"

namespace tol {

// Reads "3,6,10,..." into bounds in millimetres (a decimal point "." allowed). Raises EIsoClass
// naming the first field that is not a number.
[[nodiscard]] std::vector<double> BoundsFromList(const std::string& list);

// The table of the classes over the intervals up to each bound: labels "До <bound>", names
// blank-padded to 6 characters, cells "<upper> <lower>" in millimetres with "." and exact
// (half and quarter micrometres kept). Raises EIsoClass for a name ISO does not define, a bound
// that is not an ISO range bound, or a class ISO does not define over one of the ranges.
[[nodiscard]] MemoryTable IsoTable(const std::vector<std::string>& classes,
                                   const std::vector<double>& bounds, iso286::JsRounding rounding);

}  // namespace tol
