#include "data/fit.h"

namespace tol {

// Both clearances zero (zones of no width touching) counts as a clearance fit: the parts meet
// without binding.
Fit ComputeFit(const Zone& hole, const Zone& shaft) {
  Fit fit;
  fit.largest = DecimalDifference(ShortestDecimal(hole.upper), ShortestDecimal(shaft.lower));
  fit.smallest = DecimalDifference(ShortestDecimal(hole.lower), ShortestDecimal(shaft.upper));
  if (DecimalSign(fit.smallest) >= 0) {
    fit.kind = FitKind::kClearance;
  } else if (DecimalSign(fit.largest) <= 0) {
    fit.kind = FitKind::kInterference;
  } else {
    fit.kind = FitKind::kTransition;
  }
  return fit;
}

}  // namespace tol
