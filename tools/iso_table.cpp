#include "tools/iso_table.h"

#include <algorithm>
#include <cstdint>
#include <sstream>

#include "data/errors.h"
#include "data/iso286_cells.h"
#include "data/number_text.h"
#include "data/table_codec.h"

namespace tol {
namespace {

constexpr std::size_t kGradeNameWidth = 6;

}  // namespace

std::vector<double> BoundsFromList(const std::string& list) {
  std::vector<double> bounds;
  std::stringstream fields(list);
  for (std::string field; std::getline(fields, field, ',');) {
    const NumberResult number = NumberFromText(field);
    if (field.empty() || number.error != 0) {
      throw EIsoClass("\"" + field + "\" in --bounds is not a number");
    }
    bounds.push_back(ToBinary64(number.value));
  }
  if (bounds.empty()) throw EIsoClass("--bounds names no bound");
  return bounds;
}

MemoryTable IsoTable(const std::vector<std::string>& classes, const std::vector<double>& bounds,
                     iso286::JsRounding rounding) {
  const std::int32_t cols = CheckedAdd(static_cast<std::int32_t>(classes.size()), 1);
  const std::int32_t rows = CheckedAdd(static_cast<std::int32_t>(bounds.size()), 1);
  MemoryTable table(cols, rows);
  table.SetCell(0, 0, kCornerText);
  std::vector<int> ranges;
  for (std::size_t r = 0; r < bounds.size(); ++r) {
    const std::string label = IntervalLabel(bounds[r]);
    const std::optional<int> range = iso286::RangeOfBound(bounds[r]);
    if (!range) {
      throw EIsoClass(ExtractWord(label, 2) + " mm is not the upper bound of an ISO 286 range");
    }
    ranges.push_back(*range);
    table.SetCell(0, static_cast<std::int32_t>(r + 1), label);
  }
  for (std::size_t c = 0; c < classes.size(); ++c) {
    const iso286::ToleranceClass tolerance_class = iso286::ParseClass(classes[c]);
    std::string name = classes[c];
    name.resize(std::max(name.size(), kGradeNameWidth), ' ');
    const auto col = static_cast<std::int32_t>(c + 1);
    table.SetCell(col, 0, name);
    for (std::size_t r = 0; r < ranges.size(); ++r) {
      const iso286::Deviations deviations =
          iso286::LimitDeviations(tolerance_class, ranges[r], rounding);
      table.SetCell(col, static_cast<std::int32_t>(r + 1),
                    iso286::DeviationCellText(deviations, '.'));
    }
  }
  return table;
}

}  // namespace tol
