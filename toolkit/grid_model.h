#pragma once
// The one store of a string grid's cell texts, labels included, and its Qt table model.
//
// Cells are addressed (col, row) from 0 and kept row-major in one flat vector of UTF-8 strings
// (short texts such as "0.018 -0.006" fit the strings' own buffer, so a cell costs 32 bytes).
// Rows are stride_ cells apart, stride_ >= ColCount: lowering the column count moves no cell,
// and raising it past the stride widens the stride by a quarter at least (rows grow the same
// way), so lines appended one by one neither move the table each time nor waste much room.
// Adding rows first narrows a stride more than a quarter wider than the columns need.
//
// The fixed lines are served as header sections, not as model cells: the view's items are the
// scrollable cells only, view (r, c) being cell (c + FixedCols, r + FixedRows). The horizontal
// header's section s shows cell (s + FixedCols, 0) when there is a fixed row, the vertical
// header's section s shows cell (0, s + FixedRows) when there is a fixed column, and the corner
// cell (0, 0) is announced through CornerTextChanged for the view to draw.
//
// Every change is announced in one batch: a cell write names exactly that cell, a line write
// names the one changed range, a count change inserts or removes the trailing lines at once,
// and a change of the fixed lines resets the model. Between BeginBatch and EndBatch cell and
// line writes are only noted; EndBatch announces the rectangle around them all as one write.

#include <QAbstractTableModel>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "data/cell_block.h"
#include "data/pasted_block.h"

namespace tk {

// Cells along rows with a text each, as a block writer keeps the texts it replaced: run i covers
// count cells from (col, row) rightwards, and texts holds the texts of all runs in turn. A cell
// costs its text alone, not its place too.
struct CellRuns {
  struct Run {
    std::int32_t col;
    std::int32_t row;
    std::int32_t count;
  };
  std::vector<Run> runs;
  std::vector<std::string> texts;
};

class GridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit GridModel(QObject* parent = nullptr);

  [[nodiscard]] std::int32_t ColCount() const { return cols_; }
  [[nodiscard]] std::int32_t RowCount() const { return rows_; }
  [[nodiscard]] std::int32_t FixedCols() const { return fixed_cols_; }
  [[nodiscard]] std::int32_t FixedRows() const { return fixed_rows_; }
  // Inline, as every cell read and write of a whole-table load, save or fit asks them.
  [[nodiscard]] bool Contains(std::int32_t col, std::int32_t row) const {
    return col >= 0 && row >= 0 && col < cols_ && row < rows_;
  }

  // The cell's text; the empty text outside the counts.
  [[nodiscard]] const std::string& Cell(std::int32_t col, std::int32_t row) const {
    return Contains(col, row) ? cells_[Slot(col, row)] : kEmptyText;
  }
  // The text of a cell inside the counts for a writer of many cells, which announces them itself
  // (AnnounceWritten) once it has written them all.
  [[nodiscard]] std::string& CellToWrite(std::int32_t col, std::int32_t row) {
    return cells_[Slot(col, row)];
  }
  void AnnounceWritten(tol::CellRect rect) {
    AnnounceRange(rect.left, rect.top, rect.right, rect.bottom);
  }
  // Stores text in a cell inside the counts and announces that cell alone (no signal when the
  // text is unchanged). Returns whether the text changed.
  bool SetCell(std::int32_t col, std::int32_t row, const std::string& text);
  // Exchanges the text of each of cells in turn with its cell's, from the last one back when
  // backwards, announced as one write of the rectangle around them; no text is copied, so a
  // large set of cells changes back and forth cheaply (undo and redo). Every cell must lie
  // inside the counts.
  void SwapCells(std::span<tol::PlacedText> cells, bool backwards);
  // Exchanges the text of each of cells in turn with its cell's where the two differ, and drops
  // the others (and those outside the counts) from cells, which then hold the replaced texts of
  // the cells that changed. One announcement; returns the rectangle around the changed cells
  // (right below left when none changed).
  tol::CellRect SwapChangedCells(std::vector<tol::PlacedText>& cells);
  // SwapCells for cells kept in runs; every run must lie inside the counts.
  void SwapRuns(CellRuns& cells, bool backwards);
  // The same unannounced, for a writer taking back what it wrote unannounced (CellToWrite);
  // returns the rectangle around the runs.
  tol::CellRect ExchangeRuns(CellRuns& cells, bool backwards);
  // Cell i of row (or column) index := texts[i] for i below both counts; one announcement.
  void AssignLine(bool is_row, std::int32_t index, std::span<const std::string> texts);
  // Batches nest; the outermost EndBatch makes the one announcement.
  void BeginBatch();
  void EndBatch();

  // Counts must be at least 1 and above the matching fixed count (the grid ensures both).
  // Cells beyond a lowered count are erased; new cells are empty.
  void SetColCount(std::int32_t count);
  void SetRowCount(std::int32_t count);
  void SetFixed(std::int32_t fixed_cols, std::int32_t fixed_rows);

  // View index <-> cell.
  [[nodiscard]] QModelIndex IndexOf(std::int32_t col, std::int32_t row) const;
  [[nodiscard]] std::int32_t ColOf(const QModelIndex& index) const;
  [[nodiscard]] std::int32_t RowOf(const QModelIndex& index) const;

  [[nodiscard]] int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  [[nodiscard]] int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;
  [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                    int role) const override;

  // Roles other than the text (tool-tips, colours) of a cell inside the counts, labels
  // included, for data() and headerData() to serve; unset, the model serves none.
  std::function<QVariant(std::int32_t col, std::int32_t row, int role)> CellRole;

 signals:
  void CornerTextChanged();

 private:
  [[nodiscard]] std::size_t Slot(std::int32_t col, std::int32_t row) const {
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(stride_) +
           static_cast<std::size_t>(col);
  }
  void Relayout(std::int32_t stride);
  void AnnounceCell(std::int32_t col, std::int32_t row);
  void AnnounceRange(std::int32_t col0, std::int32_t row0, std::int32_t col1, std::int32_t row1);
  void NoteInBatch(std::int32_t col0, std::int32_t row0, std::int32_t col1, std::int32_t row1);
  [[nodiscard]] QString TextAt(std::int32_t col, std::int32_t row) const;

  static inline const std::string kEmptyText;  // the text of every cell outside the counts

  std::int32_t cols_ = 5;
  std::int32_t rows_ = 5;
  std::int32_t fixed_cols_ = 1;
  std::int32_t fixed_rows_ = 1;
  std::int32_t stride_ = 5;
  std::vector<std::string> cells_;  // cells_[row * stride_ + col]
  int batch_depth_ = 0;
  bool batch_pending_ = false;  // the rectangle below holds a write not yet announced
  std::int32_t batch_col0_ = 0;
  std::int32_t batch_row0_ = 0;
  std::int32_t batch_col1_ = 0;
  std::int32_t batch_row1_ = 0;
};

}  // namespace tk
