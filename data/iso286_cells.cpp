#include "data/iso286_cells.h"

#include "data/number_text.h"

namespace tol::iso286 {

std::optional<int> RangeOfLabel(std::string_view label) {
  std::string word = ExtractWord(label, 2);
  if (const std::size_t comma = word.find(','); comma != std::string::npos) word[comma] = '.';
  if (word.empty()) return std::nullopt;
  const NumberResult number = NumberFromText(word);
  // The largest range bound is 500 mm: anything beyond a few thousand is no bound, and is
  // kept away from the rounding to binary64, which could overflow.
  if (number.error != 0 || number.value > 1e6L || number.value < -1e6L) return std::nullopt;
  return RangeOfBound(static_cast<double>(number.value));
}

std::string DeviationCellText(const Deviations& deviations, char separator) {
  return MillimetreText(deviations.upper, separator) + " " +
         MillimetreText(deviations.lower, separator);
}

CellFill FillCell(const ToleranceClass& tolerance_class, std::optional<int> range,
                  JsRounding rounding, char separator) {
  if (!range) return {std::nullopt, Refusal::kBeyondRanges};
  const Outcome outcome = Compute(tolerance_class, *range, rounding);
  if (!outcome.deviations) return {std::nullopt, outcome.refusal};
  return {DeviationCellText(*outcome.deviations, separator), Refusal::kNone};
}

std::vector<CellFill> FillsByRange(const ToleranceClass& tolerance_class, JsRounding rounding,
                                   char separator) {
  std::vector<CellFill> fills;
  fills.reserve(RangeBounds().size());
  for (std::size_t range = 0; range < RangeBounds().size(); ++range) {
    fills.push_back(FillCell(tolerance_class, static_cast<int>(range), rounding, separator));
  }
  return fills;
}

}  // namespace tol::iso286
