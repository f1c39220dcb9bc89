#include "data/rounded_cells.h"

#include "data/number_text.h"

namespace tol {

// From 10^4 on, the save's own reading of the text decides.
bool LargeCellFormReadsBack(double v) {
  if (!std::isfinite(v)) return true;
  const CellValues read = ParseCellValues(CellNumberText(v) + " 0");
  return read.accepted && read.first == v;
}

}  // namespace tol
