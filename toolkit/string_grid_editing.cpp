// The string grid's current cell, range selection and cell editor with its commit rule: every
// user change of the editor's text is written to the cell and reported at once, and leaving
// the cell reports it once more.

#include <QItemSelectionModel>
#include <algorithm>

#include "toolkit/cell_editor.h"
#include "toolkit/dispatch.h"
#include "toolkit/form.h"
#include "toolkit/grid_model.h"
#include "toolkit/string_grid_private.h"

namespace tk {

bool StringGrid::Private::EditorHasFocusOrGrid() const {
  const QWidget* focused = q.window()->focusWidget();
  return focused == &q || focused == editor;
}

bool StringGrid::Private::IsActiveControl() const {
  if (EditorHasFocusOrGrid()) return true;
  const auto* form = qobject_cast<const Form*>(q.window());
  return form != nullptr && form->ActiveControl() == &q;
}

void StringGrid::Private::SyncSelection() {
  const QModelIndex current = model->IndexOf(curCol, curRow);
  QModelIndex anchor = model->IndexOf(anchorCol, anchorRow);
  if (!anchor.isValid()) anchor = current;
  QItemSelectionModel* selection = q.selectionModel();
  selection->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
  const QModelIndex topLeft = model->index(std::min(current.row(), anchor.row()),
                                           std::min(current.column(), anchor.column()));
  const QModelIndex bottomRight = model->index(std::max(current.row(), anchor.row()),
                                               std::max(current.column(), anchor.column()));
  selection->select(QItemSelection(topLeft, bottomRight), QItemSelectionModel::ClearAndSelect);
}

void StringGrid::Private::ScrollToCurrent() { q.scrollTo(model->IndexOf(curCol, curRow)); }

// Moves the current cell to a scrollable cell; a range selection keeps its anchor only when
// extended. Leaving the old cell commits the editor, which runs the editor's handler; the
// target is brought back inside the counts in case that handler changed them.
void StringGrid::Private::MoveCurrent(std::int32_t col, std::int32_t row, bool extendRange) {
  if (col == curCol && row == curRow) {
    if (!extendRange) {
      anchorCol = col;
      anchorRow = row;
    }
    SyncSelection();
    return;
  }
  const bool editorWasOpen = editorOpen;
  LeaveCurrentCell();
  curCol = std::clamp(col, model->FixedCols(), model->ColCount() - 1);
  curRow = std::clamp(row, model->FixedRows(), model->RowCount() - 1);
  if (!extendRange) {
    anchorCol = curCol;
    anchorRow = curRow;
  }
  SyncSelection();
  ScrollToCurrent();
  EnterCurrentCell(editorWasOpen);
}

// A grid that always shows its editor commits the old cell and keeps editing; any other grid
// leaves editing mode.
void StringGrid::Private::LeaveCurrentCell() {
  if (AlwaysShowEditor()) {
    CloseEditor();
  } else {
    SwitchEditingOff();
  }
}

void StringGrid::Private::EnterCurrentCell(bool editorWasOpen) {
  if (AlwaysShowEditor() && CanEdit() && editingMode && !editorOpen &&
      (editorWasOpen || EditorHasFocusOrGrid())) {
    OpenEditor(true);
  }
}

void StringGrid::Private::OpenEditor(bool selectWhole) {
  if (!CanEdit()) return;
  const bool focused = EditorHasFocusOrGrid();
  editingMode = true;
  const bool opening = !editorOpen;
  if (opening) {
    editCol = curCol;
    editRow = curRow;
  }
  editorOpen = true;
  editor->Load(QString::fromStdString(model->Cell(editCol, editRow)), selectWhole);
  if (opening && q.OnGetEditText) {
    Guarded([this] { q.OnGetEditText(&q, editCol, editRow, model->Cell(editCol, editRow)); });
  }
  ScrollToCurrent();
  PlaceEditor();
  editor->show();
  q.setFocusProxy(editor);
  if (focused) editor->setFocus(Qt::OtherFocusReason);
}

// Closes the editor and reports its text for its cell once more. A closed editor reports
// nothing, so a second close stays silent.
void StringGrid::Private::CloseEditor() {
  if (!editorOpen) return;
  editorOpen = false;
  const std::int32_t col = editCol;
  const std::int32_t row = editRow;
  const std::string value = editor->text().toStdString();
  const bool hadFocus = q.window()->focusWidget() == editor;
  q.setFocusProxy(nullptr);
  // The focus goes back to the grid before the editor hides, or Qt would pass it to the next
  // control of the window.
  if (hadFocus) q.setFocus(Qt::OtherFocusReason);
  editor->hide();
  model->SetCell(col, row, value);
  RaiseSetEditText(col, row, value);
}

void StringGrid::Private::SwitchEditingOn() {
  if (!CanEdit()) return;
  editingMode = true;
  if (AlwaysShowEditor() || IsActiveControl()) OpenEditor(false);
}

void StringGrid::Private::SwitchEditingOff() {
  const bool stayOn = AlwaysShowEditor() && CanEdit();
  editingMode = stayOn;
  CloseEditor();
  if (stayOn && EditorHasFocusOrGrid()) OpenEditor(true);
}

void StringGrid::Private::ReloadEditorIfOn(std::int32_t col0, std::int32_t row0, std::int32_t col1,
                                           std::int32_t row1) {
  if (!editorOpen || editCol < col0 || editCol > col1 || editRow < row0 || editRow > row1) return;
  editor->Load(QString::fromStdString(model->Cell(editCol, editRow)), true);
}

void StringGrid::Private::UserEdited(const QString& text) {
  if (!editorOpen) return;
  const std::string value = text.toStdString();
  model->SetCell(editCol, editRow, value);
  RaiseSetEditText(editCol, editRow, value);
}

void StringGrid::Private::RaiseSetEditText(std::int32_t col, std::int32_t row,
                                           const std::string& value) {
  if (q.OnSetEditText) Guarded([&] { q.OnSetEditText(&q, col, row, value); });
}

bool StringGrid::Private::RaiseKeyPress(QChar& key) {
  if (q.OnKeyPress) Guarded([&] { q.OnKeyPress(&q, key); });
  return !key.isNull();
}

}  // namespace tk
