#include "data/rounded_cells.h"

#include <cmath>

#include "data/number_text.h"

namespace tol {

// Below 10^4 the cell form has at most eight characters without its sign, and a word that
// short of at most five decimals reads as its digits divided by the power of ten in one
// binary64 division, which is the correctly rounded quotient: the form of T thousandths reads
// as T / 1000.0 (the same rational, so the same double, with the trailing zeros cut). v * 1000
// rounded to an integer is T whenever v reads back at all, being within a few units in the
// last place of T. Larger values take the save's own reading of the text.
bool CellFormReadsBack(double v) {
  if (!std::isfinite(v)) return true;
  const double magnitude = std::fabs(v);
  if (magnitude < 1e4) {
    const double thousandths = std::nearbyint(magnitude * 1000.0);
    return thousandths / 1000.0 == magnitude;
  }
  const CellValues read = ParseCellValues(CellNumberText(v) + " 0");
  return read.accepted && read.first == v;
}

}  // namespace tol
