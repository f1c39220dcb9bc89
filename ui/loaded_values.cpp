#include "ui/loaded_values.h"

#include <algorithm>

#include "data/number_text.h"
#include "data/table_checks.h"
#include "toolkit/grid_model.h"

namespace {

[[nodiscard]] bool SameValues(const tol::CellValues& a, const tol::CellValues& b) {
  return a.accepted && b.accepted && a.first == b.first && a.second == b.second;
}

}  // namespace

void LoadedValues::Clear() {
  grades_.clear();
  grades_.shrink_to_fit();
  gradeLines_.clear();
  intervalLines_.clear();
  loadNameCounts_.clear();
  loadLabelCounts_.clear();
  loadRowRanks_.clear();
  loadLinesNoted_ = false;
}

// The labels are all set before the first value cell, so one look at them at the first
// rounded cell serves the whole load.
void LoadedValues::NoteLoadLines() {
  loadLinesNoted_ = true;
  for (std::int32_t col = 1; col < cells_.ColCount(); ++col) ++loadNameCounts_[cells_.Cell(col, 0)];
  std::unordered_map<std::string, std::int32_t> seen;
  loadRowRanks_.assign(static_cast<std::size_t>(cells_.RowCount()), 0);
  for (std::int32_t row = 1; row < cells_.RowCount(); ++row) {
    const std::string& label = cells_.Cell(0, row);
    ++loadLabelCounts_[label];
    loadRowRanks_[static_cast<std::size_t>(row)] = seen[label]++;
  }
}

void LoadedValues::Remember(std::unordered_map<std::string, Line>& lines, const std::string& text,
                            bool repeated, std::int32_t rank, std::int32_t loadIndex) {
  Line& line = lines[text];
  line.repeated = repeated;
  if (line.loadIndexByRank.size() <= static_cast<std::size_t>(rank)) {
    line.loadIndexByRank.resize(static_cast<std::size_t>(rank) + 1, -1);
  }
  line.loadIndexByRank[static_cast<std::size_t>(rank)] = loadIndex;
}

// Cells arrive grade by grade, and within a grade interval by interval.
void LoadedValues::CellRounded(std::int32_t col, std::int32_t row, double first, double second) {
  if (!loadLinesNoted_) NoteLoadLines();
  if (grades_.empty() || grades_.back().loadCol != col) {
    const std::string& name = cells_.Cell(col, 0);
    const bool repeated = loadNameCounts_[name] > 1;
    Remember(gradeLines_, name, repeated, repeated ? Rank(true, col) : 0, col);
    grades_.push_back({col, {}, {}});
  }
  const std::string& label = cells_.Cell(0, row);
  const std::int32_t rank = loadRowRanks_[static_cast<std::size_t>(row)];
  Remember(intervalLines_, label, loadLabelCounts_[label] > 1, rank, row);
  Grade& grade = grades_.back();
  grade.loadRows.push_back(row);
  grade.values.push_back(first);
  grade.values.push_back(second);
}

// The counts of the load go, and the lists give back what their growth left over.
void LoadedValues::LoadEnds() {
  loadNameCounts_ = {};
  loadLabelCounts_ = {};
  loadRowRanks_ = {};
  for (Grade& grade : grades_) {
    grade.loadRows.shrink_to_fit();
    grade.values.shrink_to_fit();
  }
  grades_.shrink_to_fit();
}

// How many lines before this one bear the same name or label.
std::int32_t LoadedValues::Rank(bool isCol, std::int32_t index) const {
  const std::string& text = isCol ? cells_.Cell(index, 0) : cells_.Cell(0, index);
  std::int32_t rank = 0;
  for (std::int32_t i = 1; i < index; ++i) {
    if ((isCol ? cells_.Cell(i, 0) : cells_.Cell(0, i)) == text) ++rank;
  }
  return rank;
}

std::optional<std::int32_t> LoadedValues::LoadIndex(
    const std::unordered_map<std::string, Line>& lines, bool isCol, std::int32_t index) const {
  const auto found = lines.find(isCol ? cells_.Cell(index, 0) : cells_.Cell(0, index));
  if (found == lines.end()) return std::nullopt;
  const Line& line = found->second;
  const std::int32_t rank = line.repeated ? Rank(isCol, index) : 0;
  if (static_cast<std::size_t>(rank) >= line.loadIndexByRank.size()) return std::nullopt;
  const std::int32_t loadIndex = line.loadIndexByRank[static_cast<std::size_t>(rank)];
  if (loadIndex < 0) return std::nullopt;
  return loadIndex;
}

std::optional<LoadedValues::Pair> LoadedValues::Marked(std::int32_t col, std::int32_t row) const {
  if (grades_.empty() || col < 1 || row < 1 || !cells_.Contains(col, row)) return std::nullopt;
  const std::optional<std::int32_t> loadCol = LoadIndex(gradeLines_, true, col);
  if (!loadCol) return std::nullopt;
  const std::optional<std::int32_t> loadRow = LoadIndex(intervalLines_, false, row);
  if (!loadRow) return std::nullopt;
  const auto grade = std::lower_bound(grades_.begin(), grades_.end(), *loadCol,
                                      [](const Grade& g, std::int32_t c) { return g.loadCol < c; });
  if (grade == grades_.end() || grade->loadCol != *loadCol) return std::nullopt;
  const auto at = std::lower_bound(grade->loadRows.begin(), grade->loadRows.end(), *loadRow);
  if (at == grade->loadRows.end() || *at != *loadRow) return std::nullopt;
  const auto slot = static_cast<std::size_t>(at - grade->loadRows.begin()) * 2;
  const Pair exact{grade->values[slot], grade->values[slot + 1]};
  // The text still reads as the load showed it, whatever separator it was shown with.
  const tol::CellValues shown = tol::QuietCellValues(tol::CellText(exact.first, exact.second));
  if (!SameValues(tol::QuietCellValues(cells_.Cell(col, row)), shown)) return std::nullopt;
  return exact;
}

std::optional<LoadedValues::Pair> LoadedValues::Values(std::int32_t col, std::int32_t row) const {
  if (const std::optional<Pair> exact = Marked(col, row)) return exact;
  const tol::CellValues read = tol::QuietCellValues(cells_.Cell(col, row));
  if (!read.accepted) return std::nullopt;
  return Pair{read.first, read.second};
}

std::size_t LoadedValues::RecordedCells() const {
  std::size_t count = 0;
  for (const Grade& grade : grades_) count += grade.loadRows.size();
  return count;
}

std::size_t LoadedValues::HeapBytes() const {
  std::size_t bytes = grades_.capacity() * sizeof(Grade);
  for (const Grade& grade : grades_) {
    bytes += grade.loadRows.capacity() * sizeof(std::int32_t);
    bytes += grade.values.capacity() * sizeof(double);
  }
  for (const auto* lines : {&gradeLines_, &intervalLines_}) {
    // A map without elements keeps its one bucket inside itself.
    if (lines->bucket_count() > 1) bytes += lines->bucket_count() * sizeof(void*);
    for (const auto& [text, line] : *lines) {
      bytes += sizeof(std::pair<const std::string, Line>) + 2 * sizeof(void*) +
               (text.capacity() > 15 ? text.capacity() + 1 : 0) +
               line.loadIndexByRank.capacity() * sizeof(std::int32_t);
    }
  }
  return bytes;
}
