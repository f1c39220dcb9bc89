#pragma once
// Value cells whose text a save would not read back as the values the file holds: the cell form
// keeps three decimals, so 0.0045 shows, and is saved, as 0.004 (its binary64 value lies just
// below). A load can report them, so the editor can keep the exact values beside the text.

#include <cstdint>

namespace tol {

// Whether the cell form of v reads back as v (a save leaves v unchanged). A NaN or an infinity
// counts as reading back: its text is refused by the save, not rounded.
[[nodiscard]] bool CellFormReadsBack(double v);

// Told by a load of the value cells whose text does not read back to the file's two numbers.
class RoundedCellSink {
 public:
  virtual ~RoundedCellSink() = default;
  // Once the counts are accepted, before any cell is set.
  virtual void LoadBegins() {}
  // After the cell's text is set.
  virtual void CellRounded(std::int32_t col, std::int32_t row, double first, double second) = 0;
  // Once every cell is set; not when an error ends the load.
  virtual void LoadEnds() {}
};

}  // namespace tol
