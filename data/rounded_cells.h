#pragma once
// Value cells whose text a save would not read back as the values the file holds: the cell form
// keeps three decimals, so 0.0045 shows, and is saved, as 0.004 (its binary64 value lies just
// below). A load can report them, so the editor can keep the exact values beside the text.

#include <cmath>
#include <cstdint>

namespace tol {

// CellFormReadsBack for values of 10^4 and more, and for NaNs and infinities.
[[nodiscard]] bool LargeCellFormReadsBack(double v);

// Whether the cell form of v reads back as v (a save leaves v unchanged). A NaN or an infinity
// counts as reading back: its text is refused by the save, not rounded.
//
// Below 10^4 the cell form has at most eight characters without its sign, and a word that short
// of at most five decimals reads as its digits divided by the power of ten in one binary64
// division, which is the correctly rounded quotient: the form of T thousandths reads as
// T / 1000.0 (the same rational, so the same double, with the trailing zeros cut). v * 1000
// rounded to an integer is T whenever v reads back at all, being within a few units in the last
// place of T. Inline, as a load asks it of every value.
[[nodiscard]] inline bool CellFormReadsBack(double v) {
  const double magnitude = std::fabs(v);
  if (!(magnitude < 1e4)) return LargeCellFormReadsBack(v);
  // Adding and taking away 2^52 rounds a value below 2^52 to an integer, ties to even, as
  // nearbyint does in the default rounding mode, without a library call.
  constexpr double kTwoTo52 = 4503599627370496.0;
  const double thousandths = (magnitude * 1000.0 + kTwoTo52) - kTwoTo52;
  return thousandths / 1000.0 == magnitude;
}

// Told by a load of the value cells that want a second look: those whose text does not read
// back to the file's two numbers, and those whose numbers put the upper deviation below the
// lower one. The cell form keeps the order of the numbers it rounds, so a cell whose numbers
// do not is the only one whose text may.
class LoadedCellSink {
 public:
  virtual ~LoadedCellSink() = default;
  // Once the counts are accepted, before any cell is set.
  virtual void LoadBegins() {}
  // After the cell's text is set.
  virtual void CellRounded(std::int32_t col, std::int32_t row, double first, double second) = 0;
  // After the cell's text is set, when first < second.
  virtual void CellUpperBelowLower(std::int32_t /*col*/, std::int32_t /*row*/) {}
  // Once every cell is set; not when an error ends the load.
  virtual void LoadEnds() {}
  // Last of all, however the load ends, once its cell writes have been announced.
  virtual void LoadStops() {}
};

}  // namespace tol
