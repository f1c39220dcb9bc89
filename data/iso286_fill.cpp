#include "data/iso286_fill.h"

#include <algorithm>

#include "data/errors.h"
#include "data/iso286_cells.h"

namespace tol::iso286 {
namespace {

constexpr std::size_t kGradeNameWidth = 6;

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words;
  std::string word;
  for (char c : text) {
    if (c == ' ' || c == ',' || c == '\t') {
      if (!word.empty()) words.push_back(std::move(word));
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

bool IsGradeName(const CellTable& table, std::string_view name) {
  for (std::int32_t col = 1; col < table.ColCount(); ++col) {
    if (Trimmed(table.GetCell(col, 0)) == name) return true;
  }
  return false;
}

std::vector<std::optional<int>> RowRanges(const CellTable& table) {
  std::vector<std::optional<int>> ranges(static_cast<std::size_t>(table.RowCount()));
  for (std::int32_t row = 1; row < table.RowCount(); ++row) {
    ranges[static_cast<std::size_t>(row)] = RangeOfLabel(table.GetCell(0, row));
  }
  return ranges;
}

}  // namespace

TableEdit ApplyTableEdit(CellTable& table, const TableEdit& edit) {
  TableEdit inverse{table.ColCount(), {}};
  inverse.cells.reserve(edit.cells.size());
  table.SetColCount(std::max(edit.col_count, table.ColCount()));
  table.BeginCellBatch();
  for (const CellChange& change : edit.cells) {
    inverse.cells.push_back({change.col, change.row, table.GetCell(change.col, change.row)});
    table.SetCell(change.col, change.row, change.text);
  }
  table.EndCellBatch();
  table.SetColCount(edit.col_count);
  return inverse;
}

NewClassNames ReadNewClassNames(std::string_view text, const CellTable& table) {
  NewClassNames result;
  const std::vector<std::string> words = Words(text);
  if (words.empty()) {
    result.trouble = NameTrouble::kNoName;
    return result;
  }
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& name = words[i];
    ParsedClass parsed = TryParseClass(name);
    if (!parsed.tolerance_class) {
      return {{}, NameTrouble::kNotAClass, name, parsed.refusal};
    }
    const bool repeated = std::find(words.begin(), words.begin() + static_cast<std::ptrdiff_t>(i),
                                    name) != words.begin() + static_cast<std::ptrdiff_t>(i);
    if (repeated || IsGradeName(table, name)) {
      return {{}, NameTrouble::kAlreadyAColumn, name, Refusal::kNone};
    }
    result.classes.push_back(std::move(*parsed.tolerance_class));
  }
  return result;
}

FillPlan PlanClassColumns(const CellTable& table, const std::vector<ToleranceClass>& classes,
                          JsRounding rounding, char separator) {
  FillPlan plan;
  const std::int32_t first = table.ColCount();
  plan.edit.col_count = CheckedAdd(first, static_cast<std::int32_t>(classes.size()));
  const std::vector<std::optional<int>> ranges = RowRanges(table);
  for (std::size_t i = 0; i < classes.size(); ++i) {
    const std::int32_t col = first + static_cast<std::int32_t>(i);
    const std::string name = classes[i].Name();
    std::string name_cell = name;
    name_cell.resize(std::max(name.size(), kGradeNameWidth), ' ');
    plan.edit.cells.push_back({col, 0, name_cell});
    const std::vector<CellFill> fills = FillsByRange(classes[i], rounding, separator);
    for (std::int32_t row = 1; row < table.RowCount(); ++row) {
      const CellFill& fill = FillOfRow(fills, ranges[static_cast<std::size_t>(row)]);
      // Every cell of the new column is written, empty ones too: cells beyond a lowered count
      // may still hold texts of a deleted column.
      plan.edit.cells.push_back({col, row, fill.text.value_or("")});
      if (!fill.text) plan.unfilled.push_back({name, table.GetCell(0, row), fill.refusal});
    }
  }
  return plan;
}

FillPlan PlanIntervalRow(const CellTable& table, std::int32_t row, JsRounding rounding,
                         char separator) {
  FillPlan plan;
  plan.edit.col_count = table.ColCount();
  const std::string label = table.GetCell(0, row);
  const std::optional<int> range = RangeOfLabel(label);
  for (std::int32_t col = 1; col < table.ColCount(); ++col) {
    const std::string name_cell = table.GetCell(col, 0);
    const std::string name(Trimmed(name_cell));
    const ParsedClass parsed = TryParseClass(name);
    if (!parsed.tolerance_class) {
      plan.unfilled.push_back({name_cell, label, parsed.refusal});
      continue;
    }
    const CellFill fill = FillCell(*parsed.tolerance_class, range, rounding, separator);
    if (!fill.text) {
      plan.unfilled.push_back({name_cell, label, fill.refusal});
      continue;
    }
    plan.edit.cells.push_back({col, row, *fill.text});
  }
  return plan;
}

}  // namespace tol::iso286
