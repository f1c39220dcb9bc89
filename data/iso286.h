#pragma once
// Limit deviations of the tolerance classes of the ISO system of limits and fits (ISO 286-1
// rules over the published tables of data/iso286_tables.h), for nominal sizes up to 500 mm and
// grades IT1 to IT18. Arithmetic is exact, in hundredths of a micrometre, the finest step any
// published figure needs (IT3/2 = 1.25 µm for JS3). A class ISO does not define, or does not
// define at a size, gives no value and a reason, never a made-up one.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tol::iso286 {

inline constexpr std::int32_t kUnitsPerMicrometre = 100;
inline constexpr std::int32_t kUnitsPerMillimetre = 1000 * kUnitsPerMicrometre;

// Upper (ES or es) and lower (EI or ei) limit deviation, in hundredths of a micrometre.
struct Deviations {
  std::int32_t upper;
  std::int32_t lower;
  friend bool operator==(const Deviations&, const Deviations&) = default;
};

// JS7..JS11 and js7..js11 with an odd IT in micrometres: exactly ±IT/2 (half micrometres), or
// the rounding ISO 286-1 permits, ±(IT - 1)/2, the even value below, in whole micrometres.
enum class JsRounding { kExact, kEvenBelow };

struct ToleranceClass {
  std::string letters;  // "H", "js", "ZC": upper case a hole, lower case a shaft
  int grade = 0;        // IT grade, 1..18
  bool hole = false;
  [[nodiscard]] std::string Name() const { return letters + std::to_string(grade); }
};

// Why a class has no value.
enum class Refusal {
  kNone,
  kNotAClassName,    // not letters of one case followed by a grade number
  kUnknownLetters,   // no fundamental deviation of that name
  kGradeOutOfRange,  // a grade outside IT1..IT18
  kJGrade,           // j is tabulated for IT5..IT8, J for IT6..IT8 only
  kNoDelta,          // K..ZC below IT3: delta is tabulated for IT3..IT8 only
  kUpTo1mm,          // a, b, A, B, IT14..IT18 and N above IT8 are not used up to 1 mm
  kKAboveIt8,        // K above IT8 is defined for sizes up to 3 mm only
  kUpTo10mm,         // cd, ef, fg (CD, EF, FG) are defined for sizes up to 10 mm only
  kNotTabulated,     // a dash in the table: t up to 24 mm, v up to 14, y up to 18, j8 above 3
  kBeyondRanges,     // not one of RangeBounds()
};

// The reason in a sentence, for messages.
[[nodiscard]] std::string_view RefusalText(Refusal refusal);

// Reads a class name: "H7", "g6", "js6", "JS7", "zc10"; none and the reason when it is not a
// name ISO uses for any size.
struct ParsedClass {
  std::optional<ToleranceClass> tolerance_class;
  Refusal refusal = Refusal::kNone;
};
[[nodiscard]] ParsedClass TryParseClass(std::string_view name);

// The same; raises EIsoClass naming the text and the reason.
[[nodiscard]] ToleranceClass ParseClass(std::string_view name);

// The nominal size ranges, by their upper bounds in millimetres: every bound at which ISO 286
// begins a range or a sub-range up to 500 mm, and 1 mm, up to which some classes are not
// used. A range reaches from the bound before it (0 for the first) up to and including its
// own bound; every class keeps one value across it.
[[nodiscard]] std::span<const std::int32_t> RangeBounds();

// The range whose upper bound is bound_mm exactly; none for any other value (a size inside a
// range, above 500 mm, 0 or below, not a number).
[[nodiscard]] std::optional<int> RangeOfBound(double bound_mm);

struct Outcome {
  std::optional<Deviations> deviations;
  Refusal refusal = Refusal::kNone;  // why there are none
};

// The limit deviations of a class over one range of RangeBounds().
[[nodiscard]] Outcome Compute(const ToleranceClass& tolerance_class, int range,
                              JsRounding rounding);

// The same; raises EIsoClass naming the class, the range and the reason when there are none.
[[nodiscard]] Deviations LimitDeviations(const ToleranceClass& tolerance_class, int range,
                                         JsRounding rounding);

// Standard tolerance ITgrade over a range, in hundredths of a micrometre; none for a grade
// outside 1..18 or a range outside RangeBounds().
[[nodiscard]] std::optional<std::int32_t> StandardTolerance(int grade, int range);

// A deviation in millimetres, exactly, with separator as the decimal point and no trailing
// zeros: 450 -> "0.0045", -1000 -> "-0.01", 0 -> "0".
[[nodiscard]] std::string MillimetreText(std::int32_t units, char separator);

}  // namespace tol::iso286
