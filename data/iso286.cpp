#include "data/iso286.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "data/errors.h"
#include "data/iso286_tables.h"

namespace tol::iso286 {
namespace {

// 1 mm, then the bounds of the main ranges and of every sub-range that any letter of the
// published tables uses up to 500 mm.
constexpr std::array<std::int32_t, 26> kRangeBounds = {1,   3,   6,   10,  14,  18,  24,  30,  40,
                                                       50,  65,  80,  100, 120, 140, 160, 180, 200,
                                                       225, 250, 280, 315, 355, 400, 450, 500};

// The tables hold tenths of a micrometre (IT, delta) or micrometres (deviations).
constexpr std::int32_t kUnitsPerTenth = kUnitsPerMicrometre / 10;

constexpr std::array<std::string_view, 28> kLetters = {
    "a", "b", "c", "cd", "d", "e", "ef", "f", "fg", "g", "h", "js", "j",  "k",
    "m", "n", "p", "r",  "s", "t", "u",  "v", "x",  "y", "z", "za", "zb", "zc"};

bool IsKnownShaftLetters(std::string_view letters) {
  for (std::string_view known : kLetters) {
    if (known == letters) return true;
  }
  return false;
}

std::string Lowered(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lowered;
}

bool AllOfCase(std::string_view text, char first, char last) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < first || c > last) return false;
  }
  return true;
}

Outcome Refused(Refusal refusal) { return {std::nullopt, refusal}; }

std::optional<std::int32_t> Tolerance(int grade, std::int32_t bound) {
  const std::optional<std::int32_t> tenths = ValueAt(StandardTolerances(grade), bound);
  if (!tenths) return std::nullopt;
  return *tenths * kUnitsPerTenth;
}

std::optional<std::int32_t> Micrometres(Column column, std::int32_t bound) {
  const std::optional<std::int32_t> value = ValueAt(column, bound);
  if (!value) return std::nullopt;
  return *value * kUnitsPerMicrometre;
}

Outcome FromUpper(std::int32_t upper, std::int32_t tolerance) {
  return {Deviations{upper, upper - tolerance}, Refusal::kNone};
}
Outcome FromLower(std::int32_t lower, std::int32_t tolerance) {
  return {Deviations{lower + tolerance, lower}, Refusal::kNone};
}

Outcome Symmetric(int grade, std::int32_t tolerance, JsRounding rounding) {
  // An odd IT in whole micrometres is an odd multiple of 100 units.
  constexpr std::int32_t kOneMicrometre = kUnitsPerMicrometre;
  const bool odd_micrometres = tolerance % (2 * kOneMicrometre) == kOneMicrometre;
  if (rounding == JsRounding::kEvenBelow && grade >= 7 && grade <= 11 && odd_micrometres) {
    tolerance -= kOneMicrometre;
  }
  // Every IT is a whole number of tenths, so its half is a whole number of hundredths.
  return {Deviations{tolerance / 2, -tolerance / 2}, Refusal::kNone};
}

Outcome Shaft(const ToleranceClass& shaft, std::int32_t bound, std::int32_t tolerance,
              JsRounding rounding) {
  const std::string& letters = shaft.letters;
  if (letters == "js") return Symmetric(shaft.grade, tolerance, rounding);
  if (letters == "j") {
    const std::optional<std::int32_t> ei = Micrometres(ShaftJLowerDeviations(shaft.grade), bound);
    if (!ei) return Refused(Refusal::kNotTabulated);
    return FromLower(*ei, tolerance);
  }
  if (letters == "k" && (shaft.grade <= 3 || shaft.grade > 7)) return FromLower(0, tolerance);
  if (const Column upper = ShaftUpperDeviations(letters); !upper.empty()) {
    const std::optional<std::int32_t> es = Micrometres(upper, bound);
    if (!es) return Refused(bound > 10 ? Refusal::kUpTo10mm : Refusal::kNotTabulated);
    return FromUpper(*es, tolerance);
  }
  const std::optional<std::int32_t> ei = Micrometres(ShaftLowerDeviations(letters), bound);
  if (!ei) return Refused(Refusal::kNotTabulated);
  return FromLower(*ei, tolerance);
}

// ES of K, M and N (ISO 286-1 Table 3): from the shaft's ei, with delta up to IT8.
Outcome HoleKmn(const ToleranceClass& hole, std::int32_t bound, std::int32_t tolerance) {
  const std::string shaft = Lowered(hole.letters);
  const std::int32_t ei = *Micrometres(ShaftLowerDeviations(shaft), bound);
  if (hole.grade > 8) {
    if (hole.letters == "K") {
      if (bound > 3) return Refused(Refusal::kKAboveIt8);
      return FromUpper(0, tolerance);
    }
    if (hole.letters == "N" && bound > 3) return FromUpper(0, tolerance);
    return FromUpper(-ei, tolerance);
  }
  if (bound <= 3) return FromUpper(-ei, tolerance);
  // Special case of the table: M6 over 250 up to 315 mm has ES = -9 µm, not -20 + 9.
  if (hole.letters == "M" && hole.grade == 6 && bound > 250 && bound <= 315) {
    return FromUpper(-9 * kUnitsPerMicrometre, tolerance);
  }
  const std::int32_t delta = *ValueAt(Deltas(hole.grade), bound) * kUnitsPerTenth;
  return FromUpper(-ei + delta, tolerance);
}

Outcome Hole(const ToleranceClass& hole, std::int32_t bound, std::int32_t tolerance,
             JsRounding rounding) {
  const std::string& letters = hole.letters;
  if (letters == "JS") return Symmetric(hole.grade, tolerance, rounding);
  if (letters == "J") {
    const std::optional<std::int32_t> es = Micrometres(HoleJUpperDeviations(hole.grade), bound);
    if (!es) return Refused(Refusal::kNotTabulated);
    return FromUpper(*es, tolerance);
  }
  const std::string shaft = Lowered(letters);
  if (const Column upper = ShaftUpperDeviations(shaft); !upper.empty()) {
    // A to H: EI = -es of the shaft letter (the general rule).
    const std::optional<std::int32_t> es = Micrometres(upper, bound);
    if (!es) return Refused(bound > 10 ? Refusal::kUpTo10mm : Refusal::kNotTabulated);
    return FromLower(-*es, tolerance);
  }
  if (letters == "K" || letters == "M" || letters == "N") return HoleKmn(hole, bound, tolerance);
  // P to ZC: ES = -ei, increased by delta up to IT7 (the special rule).
  const std::optional<std::int32_t> ei = Micrometres(ShaftLowerDeviations(shaft), bound);
  if (!ei) return Refused(Refusal::kNotTabulated);
  std::int32_t es = -*ei;
  if (hole.grade <= 7 && bound > 3) es += *ValueAt(Deltas(hole.grade), bound) * kUnitsPerTenth;
  return FromUpper(es, tolerance);
}

// Rules that hold a class back at some sizes whatever its tables say.
Refusal SizeRefusal(const ToleranceClass& c, std::int32_t bound) {
  const std::string shaft = Lowered(c.letters);
  if (bound <= 1) {
    if (shaft == "a" || shaft == "b" || c.grade >= 14) return Refusal::kUpTo1mm;
    if (c.letters == "N" && c.grade > 8) return Refusal::kUpTo1mm;
  }
  return Refusal::kNone;
}

// The grade rules of a letter that hold at every size.
Refusal GradeRefusal(std::string_view letters, int grade, bool hole) {
  if (letters == "j" && (grade < 5 || grade > 8)) return Refusal::kJGrade;
  if (letters == "J" && (grade < 6 || grade > 8)) return Refusal::kJGrade;
  // Delta, which K to ZC need up to IT7 or IT8, is tabulated from IT3 on.
  const bool delta_letter =
      hole && letters != "JS" && letters != "J" && ShaftUpperDeviations(Lowered(letters)).empty();
  if (delta_letter && grade < 3) return Refusal::kNoDelta;
  return Refusal::kNone;
}

[[noreturn]] void RaiseBadName(std::string_view name, Refusal refusal) {
  throw EIsoClass("\"" + std::string(name) +
                  "\" is not an ISO 286 tolerance class: " + std::string(RefusalText(refusal)));
}

}  // namespace

std::string_view RefusalText(Refusal refusal) {
  switch (refusal) {
    case Refusal::kNone: return "";
    case Refusal::kNotAClassName: return "a class is a letter or two of one case and a grade";
    case Refusal::kUnknownLetters: return "no fundamental deviation has that letter";
    case Refusal::kGradeOutOfRange: return "grades are IT1 to IT18";
    case Refusal::kJGrade: return "j is tabulated for IT5 to IT8 only, J for IT6 to IT8";
    case Refusal::kNoDelta: return "K to ZC need delta, which is tabulated from IT3 on";
    case Refusal::kUpTo1mm:
      return "a, b, A, B, IT14 to IT18 and N above IT8 are not used for sizes up to 1 mm";
    case Refusal::kKAboveIt8: return "K above IT8 is defined for sizes up to 3 mm only";
    case Refusal::kUpTo10mm: return "cd, ef, fg, CD, EF and FG are defined up to 10 mm only";
    case Refusal::kNotTabulated: return "the table has no value for this size";
    case Refusal::kBeyondRanges: return "the size is not the bound of an ISO 286 range";
  }
  return "";
}

ParsedClass TryParseClass(std::string_view name) {
  const auto refused = [](Refusal refusal) { return ParsedClass{std::nullopt, refusal}; };
  const std::size_t digits = name.find_first_of("0123456789");
  if (digits == std::string_view::npos || digits == 0) return refused(Refusal::kNotAClassName);
  const std::string_view letters = name.substr(0, digits);
  const std::string_view grade_text = name.substr(digits);
  const bool hole = AllOfCase(letters, 'A', 'Z');
  if (!hole && !AllOfCase(letters, 'a', 'z')) return refused(Refusal::kNotAClassName);
  if (!AllOfCase(grade_text, '0', '9')) return refused(Refusal::kNotAClassName);
  if (!IsKnownShaftLetters(Lowered(letters))) return refused(Refusal::kUnknownLetters);
  if (grade_text.size() > 2 || grade_text.front() == '0') {
    return refused(Refusal::kGradeOutOfRange);
  }
  const int grade = std::atoi(std::string(grade_text).c_str());
  if (grade < 1 || grade > 18) return refused(Refusal::kGradeOutOfRange);
  if (const Refusal refusal = GradeRefusal(letters, grade, hole); refusal != Refusal::kNone) {
    return refused(refusal);
  }
  return {ToleranceClass{std::string(letters), grade, hole}, Refusal::kNone};
}

ToleranceClass ParseClass(std::string_view name) {
  ParsedClass parsed = TryParseClass(name);
  if (!parsed.tolerance_class) RaiseBadName(name, parsed.refusal);
  return std::move(*parsed.tolerance_class);
}

std::span<const std::int32_t> RangeBounds() { return kRangeBounds; }

std::optional<int> RangeOfBound(double bound_mm) {
  for (std::size_t i = 0; i < kRangeBounds.size(); ++i) {
    if (bound_mm == static_cast<double>(kRangeBounds[i])) return static_cast<int>(i);
  }
  return std::nullopt;
}

Outcome Compute(const ToleranceClass& tolerance_class, int range, JsRounding rounding) {
  if (range < 0 || range >= static_cast<int>(kRangeBounds.size())) {
    return Refused(Refusal::kBeyondRanges);
  }
  // A class put together by hand rather than read by TryParseClass is checked the same way.
  const ToleranceClass& c = tolerance_class;
  if (c.grade < 1 || c.grade > 18) return Refused(Refusal::kGradeOutOfRange);
  if (!IsKnownShaftLetters(Lowered(c.letters)) ||
      (c.hole ? !AllOfCase(c.letters, 'A', 'Z') : !AllOfCase(c.letters, 'a', 'z'))) {
    return Refused(Refusal::kUnknownLetters);
  }
  if (const Refusal refusal = GradeRefusal(c.letters, c.grade, c.hole); refusal != Refusal::kNone) {
    return Refused(refusal);
  }
  const std::int32_t bound = kRangeBounds[static_cast<std::size_t>(range)];
  if (const Refusal refusal = SizeRefusal(tolerance_class, bound); refusal != Refusal::kNone) {
    return Refused(refusal);
  }
  const std::int32_t tolerance = *Tolerance(tolerance_class.grade, bound);
  return tolerance_class.hole ? Hole(tolerance_class, bound, tolerance, rounding)
                              : Shaft(tolerance_class, bound, tolerance, rounding);
}

Deviations LimitDeviations(const ToleranceClass& tolerance_class, int range, JsRounding rounding) {
  const Outcome outcome = Compute(tolerance_class, range, rounding);
  if (outcome.deviations) return *outcome.deviations;
  std::string where = "at this size";
  if (range >= 0 && range < static_cast<int>(kRangeBounds.size())) {
    where = "up to " + std::to_string(kRangeBounds[static_cast<std::size_t>(range)]) + " mm";
  }
  throw EIsoClass(tolerance_class.Name() + " has no limit deviations " + where + ": " +
                  std::string(RefusalText(outcome.refusal)));
}

std::optional<std::int32_t> StandardTolerance(int grade, int range) {
  if (range < 0 || range >= static_cast<int>(kRangeBounds.size())) return std::nullopt;
  return Tolerance(grade, kRangeBounds[static_cast<std::size_t>(range)]);
}

std::string MillimetreText(std::int32_t units, char separator) {
  // 10^5 units to the millimetre: the integer part, then up to five decimals.
  const std::int64_t magnitude = std::llabs(static_cast<std::int64_t>(units));
  std::string text = units < 0 ? "-" : "";
  text += std::to_string(magnitude / kUnitsPerMillimetre);
  std::int64_t fraction = magnitude % kUnitsPerMillimetre;
  if (fraction == 0) return text;
  std::string digits = std::to_string(fraction + kUnitsPerMillimetre).substr(1);
  digits.erase(digits.find_last_not_of('0') + 1);
  return text + separator + digits;
}

}  // namespace tol::iso286
