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
  const QModelIndex current = model->IndexOf(cur_col, cur_row);
  QModelIndex anchor = model->IndexOf(anchor_col, anchor_row);
  if (!anchor.isValid()) anchor = current;
  QItemSelectionModel* selection = q.selectionModel();
  selection->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
  const QModelIndex top_left = model->index(std::min(current.row(), anchor.row()),
                                            std::min(current.column(), anchor.column()));
  const QModelIndex bottom_right = model->index(std::max(current.row(), anchor.row()),
                                                std::max(current.column(), anchor.column()));
  selection->select(QItemSelection(top_left, bottom_right), QItemSelectionModel::ClearAndSelect);
}

void StringGrid::Private::ScrollToCurrent() { q.scrollTo(model->IndexOf(cur_col, cur_row)); }

// Moves the current cell to a scrollable cell; a range selection keeps its anchor only when
// extended. Leaving the old cell commits the editor, which runs the editor's handler; the
// target is brought back inside the counts in case that handler changed them.
void StringGrid::Private::MoveCurrent(std::int32_t col, std::int32_t row, bool extend_range) {
  if (col == cur_col && row == cur_row) {
    if (!extend_range) {
      anchor_col = col;
      anchor_row = row;
    }
    SyncSelection();
    return;
  }
  const bool editor_was_open = editor_open;
  LeaveCurrentCell();
  cur_col = std::clamp(col, model->FixedCols(), model->ColCount() - 1);
  cur_row = std::clamp(row, model->FixedRows(), model->RowCount() - 1);
  if (!extend_range) {
    anchor_col = cur_col;
    anchor_row = cur_row;
  }
  SyncSelection();
  ScrollToCurrent();
  EnterCurrentCell(editor_was_open);
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

void StringGrid::Private::EnterCurrentCell(bool editor_was_open) {
  if (AlwaysShowEditor() && CanEdit() && editing_mode && !editor_open &&
      (editor_was_open || EditorHasFocusOrGrid())) {
    OpenEditor(true);
  }
}

void StringGrid::Private::OpenEditor(bool select_whole) {
  if (!CanEdit()) return;
  const bool focused = EditorHasFocusOrGrid();
  editing_mode = true;
  const bool opening = !editor_open;
  if (opening) {
    edit_col = cur_col;
    edit_row = cur_row;
  }
  editor_open = true;
  editor->Load(QString::fromStdString(model->Cell(edit_col, edit_row)), select_whole);
  if (opening && q.OnGetEditText) {
    Guarded([this] { q.OnGetEditText(&q, edit_col, edit_row, model->Cell(edit_col, edit_row)); });
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
  if (!editor_open) return;
  editor_open = false;
  const std::int32_t col = edit_col;
  const std::int32_t row = edit_row;
  const std::string value = editor->text().toStdString();
  const bool had_focus = q.window()->focusWidget() == editor;
  q.setFocusProxy(nullptr);
  // The focus goes back to the grid before the editor hides, or Qt would pass it to the next
  // control of the window.
  if (had_focus) q.setFocus(Qt::OtherFocusReason);
  editor->hide();
  model->SetCell(col, row, value);
  RaiseSetEditText(col, row, value);
}

void StringGrid::Private::SwitchEditingOn() {
  if (!CanEdit()) return;
  editing_mode = true;
  if (AlwaysShowEditor() || IsActiveControl()) OpenEditor(false);
}

void StringGrid::Private::SwitchEditingOff() {
  const bool stay_on = AlwaysShowEditor() && CanEdit();
  editing_mode = stay_on;
  CloseEditor();
  if (stay_on && EditorHasFocusOrGrid()) OpenEditor(true);
}

void StringGrid::Private::ReloadEditorIfOn(std::int32_t col0, std::int32_t row0, std::int32_t col1,
                                           std::int32_t row1) {
  if (!editor_open || edit_col < col0 || edit_col > col1 || edit_row < row0 || edit_row > row1)
    return;
  editor->Load(QString::fromStdString(model->Cell(edit_col, edit_row)), true);
}

void StringGrid::Private::UserEdited(const QString& text) {
  if (!editor_open) return;
  const std::string value = text.toStdString();
  model->SetCell(edit_col, edit_row, value);
  RaiseSetEditText(edit_col, edit_row, value);
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
