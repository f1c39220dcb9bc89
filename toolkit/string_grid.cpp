#include "toolkit/string_grid.h"

#include <QHeaderView>
#include <QLabel>
#include <algorithm>

#include "toolkit/cell_editor.h"
#include "toolkit/dispatch.h"
#include "toolkit/errors.h"
#include "toolkit/grid_model.h"
#include "toolkit/string_grid_private.h"

namespace tk {

StringGrid::Private::Private(StringGrid& grid) : q(grid) {}

StringGrid::StringGrid(QWidget* parent) : QTableView(parent), d_(new Private(*this)) {
  d_->SetUpView();
}

StringGrid::~StringGrid() {
  // The editor outlives this body as a Qt child; it must no longer call into the grid.
  d_->editor->KeyFilter = nullptr;
  d_->editor->FocusIn = nullptr;
  d_->editor->FocusOut = nullptr;
  QObject::disconnect(d_->editor, nullptr, this, nullptr);
  QObject::disconnect(d_->model, nullptr, this, nullptr);
  delete d_;
  d_ = nullptr;
}

std::int32_t StringGrid::ColCount() const { return d_->model->ColCount(); }
std::int32_t StringGrid::RowCount() const { return d_->model->RowCount(); }
void StringGrid::SetColCount(std::int32_t count) { d_->ChangeCount(true, count); }
void StringGrid::SetRowCount(std::int32_t count) { d_->ChangeCount(false, count); }
std::int32_t StringGrid::FixedCols() const { return d_->model->FixedCols(); }
std::int32_t StringGrid::FixedRows() const { return d_->model->FixedRows(); }

std::string StringGrid::GetCell(std::int32_t col, std::int32_t row) const {
  return d_->model->Cell(col, row);
}

const std::string* StringGrid::CellInPlace(std::int32_t col, std::int32_t row) const {
  return &d_->model->Cell(col, row);
}

void StringGrid::SetCell(std::int32_t col, std::int32_t row, const std::string& text) {
  if (!d_->model->Contains(col, row)) throw EInvalidGridOperation();
  d_->model->SetCell(col, row, text);
  d_->ReloadEditorIfOn(col, row, col, row);
}

void StringGrid::SwapCells(std::span<tol::PlacedText> cells, bool backwards) {
  CellRange around{ColCount(), RowCount(), -1, -1};
  for (const tol::PlacedText& cell : cells) {
    if (!d_->model->Contains(cell.col, cell.row)) throw EInvalidGridOperation();
    around = {std::min(around.left, cell.col), std::min(around.top, cell.row),
              std::max(around.right, cell.col), std::max(around.bottom, cell.row)};
  }
  d_->model->SwapCells(cells, backwards);
  d_->ReloadEditorIfOn(around.left, around.top, around.right, around.bottom);
}

void StringGrid::SwapRuns(CellRuns& cells, bool backwards) {
  CellRange around{ColCount(), RowCount(), -1, -1};
  for (const CellRuns::Run& run : cells.runs) {
    if (run.count < 1 || !d_->model->Contains(run.col, run.row) ||
        !d_->model->Contains(run.col + run.count - 1, run.row)) {
      throw EInvalidGridOperation();
    }
    around = {std::min(around.left, run.col), std::min(around.top, run.row),
              std::max(around.right, run.col + run.count - 1), std::max(around.bottom, run.row)};
  }
  d_->model->SwapRuns(cells, backwards);
  d_->ReloadEditorIfOn(around.left, around.top, around.right, around.bottom);
}

void StringGrid::SwapChangedCells(std::vector<tol::PlacedText>& cells) {
  const tol::CellRect around = d_->model->SwapChangedCells(cells);
  d_->ReloadEditorIfOn(around.left, around.top, around.right, around.bottom);
}

void StringGrid::CellsWritten(tol::CellRect rect) {
  d_->model->AnnounceWritten(rect);
  d_->ReloadEditorIfOn(rect.left, rect.top, rect.right, rect.bottom);
}

void StringGrid::PrepareForCounts() {
  if (OnPrepareForCounts) Guarded([this] { OnPrepareForCounts(); });
}

void StringGrid::BeginCellBatch() { d_->model->BeginBatch(); }
void StringGrid::EndCellBatch() { d_->model->EndBatch(); }

std::int32_t StringGrid::CurrentCol() const { return d_->cur_col; }
std::int32_t StringGrid::CurrentRow() const { return d_->cur_row; }

void StringGrid::SetCurrentCol(std::int32_t col) {
  if (col == d_->cur_col) return;
  if (col < 0 || col >= ColCount()) throw EInvalidGridOperation();
  d_->MoveCurrent(col, d_->cur_row, false);
}

void StringGrid::SetCurrentRow(std::int32_t row) {
  if (row == d_->cur_row) return;
  if (row < 0 || row >= RowCount()) throw EInvalidGridOperation();
  d_->MoveCurrent(d_->cur_col, row, false);
}

std::int32_t StringGrid::FirstVisibleCol() const { return std::max(columnAt(0), 0) + FixedCols(); }

std::int32_t StringGrid::FirstVisibleRow() const { return std::max(rowAt(0), 0) + FixedRows(); }

std::int32_t StringGrid::ColWidth(std::int32_t col) const {
  if (col < 0 || col >= ColCount()) return DefaultColWidth;
  return d_->widths[static_cast<std::size_t>(col)];
}

void StringGrid::SetColWidth(std::int32_t col, std::int32_t width) {
  if (col < 0 || col >= ColCount()) throw EInvalidGridOperation();
  d_->widths[static_cast<std::size_t>(col)] = width;
  d_->ApplyWidth(col);
}

void StringGrid::SetColWidths(const std::vector<std::int32_t>& widths) {
  if (widths.size() > static_cast<std::size_t>(ColCount())) throw EInvalidGridOperation();
  std::copy(widths.begin(), widths.end(), d_->widths.begin());
  d_->ApplyWidths(static_cast<std::int32_t>(widths.size()));
}

GridOptions StringGrid::Options() const { return d_->options; }

void StringGrid::SetOptions(GridOptions options) {
  d_->options = options;
  horizontalHeader()->setSectionResizeMode((options & goColSizing) != 0 ? QHeaderView::Interactive
                                                                        : QHeaderView::Fixed);
  setShowGrid((options & (goVertLine | goHorzLine)) != 0);
  if (!d_->CanEdit()) {
    d_->SwitchEditingOff();
  } else if (d_->AlwaysShowEditor()) {
    d_->editing_mode = true;
    if (d_->EditorHasFocusOrGrid()) d_->EnterCurrentCell(false);
  }
}

bool StringGrid::EditingMode() const { return d_->editing_mode; }
bool StringGrid::EditorOpen() const { return d_->editor_open; }

StringGrid::CellRange StringGrid::Selection() const {
  return {std::min(d_->cur_col, d_->anchor_col), std::min(d_->cur_row, d_->anchor_row),
          std::max(d_->cur_col, d_->anchor_col), std::max(d_->cur_row, d_->anchor_row)};
}

void StringGrid::SelectRange(std::int32_t anchor_col, std::int32_t anchor_row, std::int32_t col,
                             std::int32_t row) {
  d_->MoveCurrent(col, row, false);
  d_->anchor_col = std::clamp(anchor_col, FixedCols(), ColCount() - 1);
  d_->anchor_row = std::clamp(anchor_row, FixedRows(), RowCount() - 1);
  d_->SyncSelection();
}

void StringGrid::SetEditingMode(bool on) {
  if (on) {
    d_->SwitchEditingOn();
  } else {
    d_->SwitchEditingOff();
  }
}

GridLine StringGrid::RowTexts(std::int32_t row) { return GridLine(*this, true, row); }
GridLine StringGrid::ColTexts(std::int32_t col) { return GridLine(*this, false, col); }

void StringGrid::AssignRow(std::int32_t row, const TStringList& list) {
  if (row < 0 || row >= RowCount()) throw EInvalidGridOperation();
  d_->model->AssignLine(true, row, list.Texts());
  d_->ReloadEditorIfOn(0, row, ColCount() - 1, row);
}

void StringGrid::AssignCol(std::int32_t col, const TStringList& list) {
  if (col < 0 || col >= ColCount()) throw EInvalidGridOperation();
  d_->model->AssignLine(false, col, list.Texts());
  d_->ReloadEditorIfOn(col, 0, col, RowCount() - 1);
}

void StringGrid::SetAlignClient() {
  QWidget* parent = parentWidget();
  if (parent == nullptr) return;
  if (!d_->align_client) parent->installEventFilter(this);
  d_->align_client = true;
  d_->FillParent();
}

GridModel* StringGrid::Model() const { return d_->model; }

}  // namespace tk
