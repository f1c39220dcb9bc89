#pragma once
// Fits: a hole's tolerance zone against a shaft's, each given by its upper and lower limit
// deviation as the file holds them (binary64 millimetres).

#include "data/exact_decimal.h"

namespace tol {

struct Zone {
  double upper;
  double lower;
};

enum class FitKind {
  kClearance,     // the smallest clearance is 0 or more: the parts never bind
  kTransition,    // clearance or interference, depending on the parts
  kInterference,  // the largest clearance is 0 or less: the parts always bind
};

// Clearances in millimetres, exact (see DecimalDifference); negative means interference.
struct Fit {
  Decimal largest;   // hole upper - shaft lower
  Decimal smallest;  // hole lower - shaft upper
  FitKind kind;
};

[[nodiscard]] Fit ComputeFit(const Zone& hole, const Zone& shaft);

}  // namespace tol
