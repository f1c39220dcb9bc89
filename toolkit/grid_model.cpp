#include "toolkit/grid_model.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace tk {

namespace {

// A new capacity for at least needed items: a quarter more than the old one, so that lines
// appended one by one do not move the whole table each time, yet the slack stays small.
[[nodiscard]] std::int64_t Grown(std::int64_t old, std::int64_t needed) {
  return std::max(needed, old + old / 4);
}

}  // namespace

GridModel::GridModel(QObject* parent)
    : QAbstractTableModel(parent), cells_(static_cast<std::size_t>(cols_ * rows_)) {}

bool GridModel::SetCell(std::int32_t col, std::int32_t row, const std::string& text) {
  if (!Contains(col, row)) return false;
  std::string& cell = cells_[Slot(col, row)];
  if (cell == text) return false;
  cell = text;
  AnnounceCell(col, row);
  return true;
}

void GridModel::SwapCells(std::span<tol::PlacedText> cells, bool backwards) {
  if (cells.empty()) return;
  std::int32_t col0 = cols_;
  std::int32_t row0 = rows_;
  std::int32_t col1 = -1;
  std::int32_t row1 = -1;
  auto swap = [&](tol::PlacedText& cell) {
    cells_[Slot(cell.col, cell.row)].swap(cell.text);
    col0 = std::min(col0, cell.col);
    row0 = std::min(row0, cell.row);
    col1 = std::max(col1, cell.col);
    row1 = std::max(row1, cell.row);
  };
  if (backwards) {
    std::for_each(cells.rbegin(), cells.rend(), swap);
  } else {
    std::for_each(cells.begin(), cells.end(), swap);
  }
  AnnounceRange(col0, row0, col1, row1);
}

void GridModel::SwapRuns(CellRuns& cells, bool backwards) {
  if (cells.runs.empty()) return;
  const tol::CellRect around = ExchangeRuns(cells, backwards);
  AnnounceRange(around.left, around.top, around.right, around.bottom);
}

tol::CellRect GridModel::ExchangeRuns(CellRuns& cells, bool backwards) {
  tol::CellRect around{cols_, rows_, -1, -1};
  auto swap_run = [&](const CellRuns::Run& run, std::size_t first) {
    std::string* const line = &cells_[Slot(run.col, run.row)];
    std::string* const texts = &cells.texts[first];
    for (std::int32_t i = 0; i < run.count; ++i) line[i].swap(texts[i]);
    around = {std::min(around.left, run.col), std::min(around.top, run.row),
              std::max(around.right, run.col + run.count - 1), std::max(around.bottom, run.row)};
  };
  // A cell named twice is in two runs; backwards, it ends with the text of the first.
  if (backwards) {
    std::size_t end = cells.texts.size();
    for (auto run = cells.runs.rbegin(); run != cells.runs.rend(); ++run) {
      end -= static_cast<std::size_t>(run->count);
      swap_run(*run, end);
    }
  } else {
    std::size_t first = 0;
    for (const CellRuns::Run& run : cells.runs) {
      swap_run(run, first);
      first += static_cast<std::size_t>(run.count);
    }
  }
  return around;
}

tol::CellRect GridModel::SwapChangedCells(std::vector<tol::PlacedText>& cells) {
  tol::CellRect around{cols_, rows_, -1, -1};
  std::size_t kept = 0;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    tol::PlacedText& cell = cells[i];
    if (!Contains(cell.col, cell.row)) continue;
    std::string& text = cells_[Slot(cell.col, cell.row)];
    if (text == cell.text) continue;
    text.swap(cell.text);
    around = {std::min(around.left, cell.col), std::min(around.top, cell.row),
              std::max(around.right, cell.col), std::max(around.bottom, cell.row)};
    if (kept != i) cells[kept] = std::move(cell);
    ++kept;
  }
  cells.erase(cells.begin() + static_cast<std::ptrdiff_t>(kept), cells.end());
  if (kept > 0) AnnounceRange(around.left, around.top, around.right, around.bottom);
  return around;
}

void GridModel::AssignLine(bool is_row, std::int32_t index, std::span<const std::string> texts) {
  const std::int32_t line_length = is_row ? cols_ : rows_;
  const auto count =
      static_cast<std::int32_t>(std::min(texts.size(), static_cast<std::size_t>(line_length)));
  if (count == 0) return;
  for (std::int32_t i = 0; i < count; ++i) {
    cells_[is_row ? Slot(i, index) : Slot(index, i)] = texts[static_cast<std::size_t>(i)];
  }
  if (is_row) {
    AnnounceRange(0, index, count - 1, index);
  } else {
    AnnounceRange(index, 0, index, count - 1);
  }
}

void GridModel::BeginBatch() { ++batch_depth_; }

// The noted rectangle is cut to the counts, which may have been lowered since a write.
void GridModel::EndBatch() {
  if (batch_depth_ == 0 || --batch_depth_ > 0 || !batch_pending_) return;
  batch_pending_ = false;
  const std::int32_t col1 = std::min(batch_col1_, cols_ - 1);
  const std::int32_t row1 = std::min(batch_row1_, rows_ - 1);
  if (batch_col0_ <= col1 && batch_row0_ <= row1)
    AnnounceRange(batch_col0_, batch_row0_, col1, row1);
}

void GridModel::SetColCount(std::int32_t count) {
  if (count == cols_) return;
  if (count < cols_) {
    beginRemoveColumns(QModelIndex(), count - fixed_cols_, cols_ - fixed_cols_ - 1);
    // The row stride stays, so no cell moves; the dropped cells are emptied so that raising
    // the count again shows empty cells.
    for (std::int32_t r = 0; r < rows_; ++r) {
      for (std::int32_t c = count; c < cols_; ++c) cells_[Slot(c, r)] = std::string();
    }
    cols_ = count;
    endRemoveColumns();
    return;
  }
  if (count > stride_) {
    Relayout(static_cast<std::int32_t>(
        std::min<std::int64_t>(Grown(stride_, count), std::numeric_limits<std::int32_t>::max())));
  }
  beginInsertColumns(QModelIndex(), cols_ - fixed_cols_, count - fixed_cols_ - 1);
  cols_ = count;
  endInsertColumns();
}

// Moves every row to another stride, at least the column count. The new store is complete before it
// replaces the old one, so a failed allocation leaves the model as it was.
void GridModel::Relayout(std::int32_t stride) {
  std::vector<std::string> relaid(static_cast<std::size_t>(stride) *
                                  static_cast<std::size_t>(rows_));
  for (std::int32_t r = 0; r < rows_; ++r) {
    const auto from = cells_.begin() + static_cast<std::ptrdiff_t>(Slot(0, r));
    const auto to = relaid.begin() + static_cast<std::ptrdiff_t>(r) * stride;
    std::move(from, from + cols_, to);
  }
  cells_ = std::move(relaid);
  stride_ = stride;
}

void GridModel::SetRowCount(std::int32_t count) {
  if (count == rows_) return;
  // A stride left wide by a lowered column count (the grid starts with five columns) would cost
  // every new row its unused cells too: the rows narrow first, while they are few for a load.
  if (count > rows_ && stride_ > Grown(cols_, cols_)) Relayout(cols_);
  const std::size_t size = static_cast<std::size_t>(count) * static_cast<std::size_t>(stride_);
  if (count > rows_) {
    // May fail; nothing is announced yet.
    if (size > cells_.capacity()) {
      cells_.reserve(static_cast<std::size_t>(
          Grown(static_cast<std::int64_t>(cells_.capacity()), static_cast<std::int64_t>(size))));
    }
    beginInsertRows(QModelIndex(), rows_ - fixed_rows_, count - fixed_rows_ - 1);
    cells_.resize(size);
    rows_ = count;
    endInsertRows();
  } else {
    beginRemoveRows(QModelIndex(), count - fixed_rows_, rows_ - fixed_rows_ - 1);
    cells_.resize(size);
    rows_ = count;
    endRemoveRows();
  }
}

void GridModel::SetFixed(std::int32_t fixed_cols, std::int32_t fixed_rows) {
  if (fixed_cols == fixed_cols_ && fixed_rows == fixed_rows_) return;
  beginResetModel();
  fixed_cols_ = fixed_cols;
  fixed_rows_ = fixed_rows;
  endResetModel();
  emit CornerTextChanged();
}

QModelIndex GridModel::IndexOf(std::int32_t col, std::int32_t row) const {
  if (col < fixed_cols_ || row < fixed_rows_ || !Contains(col, row)) return {};
  return index(row - fixed_rows_, col - fixed_cols_);
}

std::int32_t GridModel::ColOf(const QModelIndex& index) const {
  return index.column() + fixed_cols_;
}

std::int32_t GridModel::RowOf(const QModelIndex& index) const { return index.row() + fixed_rows_; }

int GridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_ - fixed_rows_;
}

int GridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : cols_ - fixed_cols_;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
    return {};
  }
  if (role != Qt::DisplayRole && role != Qt::EditRole) {
    return CellRole ? CellRole(ColOf(index), RowOf(index), role) : QVariant();
  }
  return TextAt(ColOf(index), RowOf(index));
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
    return false;
  }
  if (role != Qt::EditRole && role != Qt::DisplayRole) return false;
  SetCell(ColOf(index), RowOf(index), value.toString().toStdString());
  return true;
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemNeverHasChildren;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (section < 0 || (role != Qt::DisplayRole && !CellRole)) return {};
  std::int32_t col = 0;
  std::int32_t row = 0;
  if (orientation == Qt::Horizontal) {
    if (fixed_rows_ == 0 || section >= cols_ - fixed_cols_) return {};
    col = section + fixed_cols_;
  } else {
    if (fixed_cols_ == 0 || section >= rows_ - fixed_rows_) return {};
    row = section + fixed_rows_;
  }
  return role == Qt::DisplayRole ? TextAt(col, row) : CellRole(col, row, role);
}

QString GridModel::TextAt(std::int32_t col, std::int32_t row) const {
  return QString::fromStdString(Cell(col, row));
}

void GridModel::AnnounceCell(std::int32_t col, std::int32_t row) {
  AnnounceRange(col, row, col, row);
}

void GridModel::NoteInBatch(std::int32_t col0, std::int32_t row0, std::int32_t col1,
                            std::int32_t row1) {
  if (!batch_pending_) {
    batch_pending_ = true;
    batch_col0_ = col0;
    batch_row0_ = row0;
    batch_col1_ = col1;
    batch_row1_ = row1;
    return;
  }
  batch_col0_ = std::min(batch_col0_, col0);
  batch_row0_ = std::min(batch_row0_, row0);
  batch_col1_ = std::max(batch_col1_, col1);
  batch_row1_ = std::max(batch_row1_, row1);
}

// Splits a changed rectangle of cells into the corner, the two header strips and the
// scrollable block, and announces each part that it touches once.
void GridModel::AnnounceRange(std::int32_t col0, std::int32_t row0, std::int32_t col1,
                              std::int32_t row1) {
  if (batch_depth_ > 0) {
    NoteInBatch(col0, row0, col1, row1);
    return;
  }
  const std::int32_t first_col = std::max(col0, fixed_cols_);
  const std::int32_t first_row = std::max(row0, fixed_rows_);
  if (col0 < fixed_cols_ && row0 < fixed_rows_) emit CornerTextChanged();
  if (row0 < fixed_rows_ && first_col <= col1) {
    emit headerDataChanged(Qt::Horizontal, first_col - fixed_cols_, col1 - fixed_cols_);
  }
  if (col0 < fixed_cols_ && first_row <= row1) {
    emit headerDataChanged(Qt::Vertical, first_row - fixed_rows_, row1 - fixed_rows_);
  }
  if (first_col <= col1 && first_row <= row1) {
    emit dataChanged(IndexOf(first_col, first_row), IndexOf(col1, row1),
                     {Qt::DisplayRole, Qt::EditRole});
  }
}

}  // namespace tk
