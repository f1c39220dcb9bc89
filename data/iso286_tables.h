#pragma once
// The published figures of the ISO system of limits and fits that the class rules
// (data/iso286.h) are computed from, for nominal sizes up to 500 mm. Each column is a list of
// rows; a row holds the value for the sizes over the previous row's bound (over 0 for the
// first row) up to and including its own bound, so a column that ISO divides into sub-ranges
// simply has more rows. A value of kNotTabulated is a dash in the published table.

#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string_view>

namespace tol::iso286 {

struct TableRow {
  std::int32_t upper_mm;
  std::int32_t value;
};
using Column = std::span<const TableRow>;

inline constexpr std::int32_t kNotTabulated = std::numeric_limits<std::int32_t>::min();

// The value of the row that holds sizes up to upper_mm (upper_mm being a row bound or lying
// inside a row's range); none above the last row or where the table has a dash.
[[nodiscard]] std::optional<std::int32_t> ValueAt(Column column, std::int32_t upper_mm);

// Standard tolerance IT1..IT18 in tenths of a micrometre; empty for other grades.
[[nodiscard]] Column StandardTolerances(int grade);

// Delta for the hole rule "ES = -ei + delta", IT3..IT8, in tenths of a micrometre; empty for
// other grades.
[[nodiscard]] Column Deltas(int grade);

// Fundamental deviations of shafts in micrometres: the upper deviation es of a to g (with cd,
// ef and fg), the lower deviation ei of k (grades 4 to 7) and m to zc. Empty for other letters.
[[nodiscard]] Column ShaftUpperDeviations(std::string_view letters);
[[nodiscard]] Column ShaftLowerDeviations(std::string_view letters);

// The tabulated classes of j and J: ei of j5..j8 and ES of J6..J8, micrometres; empty for
// other grades.
[[nodiscard]] Column ShaftJLowerDeviations(int grade);
[[nodiscard]] Column HoleJUpperDeviations(int grade);

}  // namespace tol::iso286
