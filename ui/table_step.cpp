#include "ui/table_step.h"

#include <algorithm>
#include <utility>

#include "data/errors.h"
#include "toolkit/string_grid.h"

namespace {

// Cell writes between the two are announced to the view once.
class CellBatch {
 public:
  explicit CellBatch(tk::StringGrid& grid) : grid_(grid) { grid_.BeginCellBatch(); }
  ~CellBatch() { grid_.EndCellBatch(); }
  CellBatch(const CellBatch&) = delete;
  CellBatch& operator=(const CellBatch&) = delete;

 private:
  tk::StringGrid& grid_;
};

}  // namespace

TableStep::TableStep(tk::StringGrid& grid, const QString& title)
    : QUndoCommand(title), grid_(grid), before_(CurrentCell()) {}

void TableStep::SetLine(Line kind, std::int32_t index, bool inserts, std::vector<std::string> texts,
                        std::int32_t width) {
  line_ = kind;
  line_index_ = index;
  inserts_ = inserts;
  line_texts_ = std::move(texts);
  line_width_ = width;
}

void TableStep::MarkDone() {
  skip_redo_ = true;
  after_ = CurrentCell();
  after_known_ = true;
}

void TableStep::redo() {
  if (skip_redo_) {
    skip_redo_ = false;
    return;
  }
  {
    CellBatch batch(grid_);
    if (inserts_) {
      PutLine();
    } else {
      TakeLine();
    }
    SwapCells(true);
  }
  if (after_known_) {
    MoveTo(after_);
  } else {
    after_ = CurrentCell();  // where the change itself left it
    after_known_ = true;
  }
}

void TableStep::undo() {
  {
    CellBatch batch(grid_);
    SwapCells(false);
    if (inserts_) {
      TakeLine();
    } else {
      PutLine();
    }
  }
  MoveTo(before_);
}

TableStep::Cursor TableStep::CurrentCell() const {
  return {grid_.CurrentCol(), grid_.CurrentRow()};
}

void TableStep::MoveTo(Cursor cell) { grid_.SelectRange(cell.col, cell.row, cell.col, cell.row); }

// In reverse order when undoing, so that a cell named twice ends with its first old text.
void TableStep::SwapCells(bool forward) {
  grid_.SwapCells(cells_, !forward);
  grid_.SwapRuns(runs_, !forward);
}

void TableStep::PutLine() {
  if (line_ == Line::kColumn) PutColumn();
  if (line_ == Line::kRow) PutRow();
}

void TableStep::TakeLine() {
  if (line_ == Line::kColumn) TakeColumn();
  if (line_ == Line::kRow) TakeRow();
}

// The widths of the columns after col move one place right (+1, the last column's width lost
// to the one the count just added) or left (-1, the last column keeping its own), all set in
// one go: set one by one, each would cost the view a pass over every column.
void TableStep::ShiftWidths(std::int32_t col, int direction) {
  std::vector<std::int32_t> widths;
  widths.reserve(static_cast<std::size_t>(grid_.ColCount()));
  for (std::int32_t i = 0; i < grid_.ColCount(); ++i) {
    const bool moves = direction > 0 ? i > col : i >= col && i + 1 < grid_.ColCount();
    widths.push_back(grid_.ColWidth(moves ? i - direction : i));
  }
  grid_.SetColWidths(widths);
}

// The columns from col on move one place right, widths with them.
void TableStep::PutColumn() {
  if (line_held_) return;
  const std::int32_t last = grid_.ColCount();
  grid_.SetColCount(tol::CheckedAdd(last, 1));
  ShiftWidths(line_index_, +1);
  for (std::int32_t row = 0; row < grid_.RowCount(); ++row) {
    for (std::int32_t i = last; i > line_index_; --i) {
      grid_.SetCell(i, row, grid_.GetCell(i - 1, row));
    }
    const auto r = static_cast<std::size_t>(row);
    grid_.SetCell(line_index_, row, r < line_texts_.size() ? line_texts_[r] : std::string());
  }
  if (line_width_ >= 0) grid_.SetColWidth(line_index_, line_width_);
  std::vector<std::string>().swap(line_texts_);
}

// Keeps the column's texts and width, moves the later columns one place left and drops the
// last. A grid keeps at least one column, so its only column stays where it is.
void TableStep::TakeColumn() {
  const std::int32_t last = tol::CheckedAdd(grid_.ColCount(), -1);
  line_held_ = last == 0;
  if (line_held_) return;
  line_width_ = grid_.ColWidth(line_index_);
  line_texts_.clear();
  line_texts_.reserve(static_cast<std::size_t>(grid_.RowCount()));
  ShiftWidths(line_index_, -1);
  for (std::int32_t row = 0; row < grid_.RowCount(); ++row) {
    line_texts_.push_back(grid_.GetCell(line_index_, row));
    for (std::int32_t i = line_index_; i < last; ++i) {
      grid_.SetCell(i, row, grid_.GetCell(i + 1, row));
    }
  }
  grid_.SetColCount(last);
}

void TableStep::PutRow() {
  if (line_held_) return;
  const std::int32_t last = grid_.RowCount();
  grid_.SetRowCount(tol::CheckedAdd(last, 1));
  for (std::int32_t col = 0; col < grid_.ColCount(); ++col) {
    for (std::int32_t i = last; i > line_index_; --i) {
      grid_.SetCell(col, i, grid_.GetCell(col, i - 1));
    }
    const auto c = static_cast<std::size_t>(col);
    grid_.SetCell(col, line_index_, c < line_texts_.size() ? line_texts_[c] : std::string());
  }
  std::vector<std::string>().swap(line_texts_);
}

void TableStep::TakeRow() {
  const std::int32_t last = tol::CheckedAdd(grid_.RowCount(), -1);
  line_held_ = last == 0;
  if (line_held_) return;
  line_texts_.clear();
  line_texts_.reserve(static_cast<std::size_t>(grid_.ColCount()));
  for (std::int32_t col = 0; col < grid_.ColCount(); ++col) {
    line_texts_.push_back(grid_.GetCell(col, line_index_));
    for (std::int32_t i = line_index_; i < last; ++i) {
      grid_.SetCell(col, i, grid_.GetCell(col, i + 1));
    }
  }
  grid_.SetRowCount(last);
}
