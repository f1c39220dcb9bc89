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

void GridBlockWriter::Reserve(std::size_t count) { replaced_.reserve(count); }

void GridBlockWriter::Put(std::int32_t col, std::int32_t row, std::string_view text) {
  ++count_;
  if (!model_.Contains(col, row)) return;
  std::string& cell = model_.CellToWrite(col, row);
  if (cell == text) return;
  replaced_.emplace_back(col, row, std::move(cell));  // moved once, into its place
  cell.assign(text);
  if (replaced_.size() == 1) around_ = {col, row, col, row};
  around_ = {std::min(around_.left, col), std::min(around_.top, row), std::max(around_.right, col),
             std::max(around_.bottom, row)};
}

// Backwards, so that a cell written twice ends with its first text.
void GridBlockWriter::Clear() {
  std::for_each(replaced_.rbegin(), replaced_.rend(), [this](tol::PlacedText& cell) {
    model_.CellToWrite(cell.col, cell.row).swap(cell.text);
  });
  replaced_.clear();
  around_ = kNothing;
  count_ = 0;
}

std::vector<tol::PlacedText> GridBlockWriter::Keep() {
  if (!replaced_.empty()) grid_.CellsWritten(around_);
  around_ = kNothing;
  count_ = 0;
  std::vector<tol::PlacedText> kept;
  kept.swap(replaced_);
  return kept;
}

}  // namespace tk
