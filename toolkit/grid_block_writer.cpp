#include "toolkit/grid_block_writer.h"

#include <algorithm>
#include <utility>

#include "toolkit/grid_model.h"
#include "toolkit/string_grid.h"

namespace tk {

namespace {

constexpr tol::CellRect kNothing{0, 0, -1, -1};

}  // namespace

GridBlockWriter::GridBlockWriter(StringGrid& grid)
    : grid_(grid), model_(*grid.Model()), around_(kNothing) {}

GridBlockWriter::~GridBlockWriter() { Clear(); }

void GridBlockWriter::Reserve(std::size_t count) { replaced_.texts.reserve(count); }

// A cell right of the last one written continues its run.
void GridBlockWriter::Put(std::int32_t col, std::int32_t row, std::string_view text) {
  ++count_;
  if (!model_.Contains(col, row)) return;
  std::string& cell = model_.CellToWrite(col, row);
  if (cell == text) return;
  std::vector<CellRuns::Run>& runs = replaced_.runs;
  if (!runs.empty() && runs.back().row == row && runs.back().col + runs.back().count == col) {
    ++runs.back().count;
  } else {
    runs.push_back({col, row, 1});
  }
  replaced_.texts.push_back(std::move(cell));
  cell.assign(text);
  if (replaced_.texts.size() == 1) around_ = {col, row, col, row};
  around_ = {std::min(around_.left, col), std::min(around_.top, row), std::max(around_.right, col),
             std::max(around_.bottom, row)};
}

void GridBlockWriter::Clear() {
  (void)model_.ExchangeRuns(replaced_,
                            true);  // backwards: a cell written twice ends with its first
  replaced_.runs.clear();
  replaced_.texts.clear();
  around_ = kNothing;
  count_ = 0;
}

CellRuns GridBlockWriter::Keep() {
  if (!replaced_.texts.empty()) grid_.CellsWritten(around_);
  around_ = kNothing;
  count_ = 0;
  CellRuns kept;
  std::swap(kept, replaced_);
  return kept;
}

}  // namespace tk
