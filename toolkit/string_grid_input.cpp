// The string grid's keys, mouse presses and focus. Every typed character reaches OnKeyPress
// first; the grid then moves, opens, edits or closes as the key asks.

#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <algorithm>

#include "toolkit/cell_editor.h"
#include "toolkit/dispatch.h"
#include "toolkit/form.h"
#include "toolkit/grid_model.h"
#include "toolkit/string_grid_private.h"
#include "toolkit/typed_character.h"

namespace tk {

bool StringGrid::Private::NavigationKey(const QKeyEvent* event, bool rows_by_ctrl) {
  const bool ctrl = rows_by_ctrl && (event->modifiers() & Qt::ControlModifier) != 0;
  const std::int32_t page = std::max(q.viewport()->height() / DefaultRowHeight, 1);
  std::int32_t col = cur_col;
  std::int32_t row = cur_row;
  switch (event->key()) {
    case Qt::Key_Up: row -= 1; break;
    case Qt::Key_Down: row += 1; break;
    case Qt::Key_PageUp: row -= page; break;
    case Qt::Key_PageDown: row += page; break;
    case Qt::Key_Left: col -= 1; break;
    case Qt::Key_Right: col += 1; break;
    case Qt::Key_Home:
      col = model->FixedCols();
      if (ctrl) row = model->FixedRows();
      break;
    case Qt::Key_End:
      col = model->ColCount() - 1;
      if (ctrl) row = model->RowCount() - 1;
      break;
    default: return false;
  }
  col = std::clamp(col, model->FixedCols(), model->ColCount() - 1);
  row = std::clamp(row, model->FixedRows(), model->RowCount() - 1);
  const bool extend = (event->modifiers() & Qt::ShiftModifier) != 0 && (options & goRangeSelect);
  MoveCurrent(col, row, extend);
  return true;
}

// In a grid that always shows its editor, Left/Home and Right/End leave the text for the
// neighbouring cell once the caret cannot go further that way, the whole text is selected, or
// Ctrl is held.
bool StringGrid::Private::MovesOutOfEditor(const QKeyEvent* event, bool towards_start) const {
  if (!AlwaysShowEditor()) return false;
  if ((event->modifiers() & Qt::ControlModifier) != 0 || editor->WholeTextSelected()) return true;
  return towards_start ? editor->CaretAtStart() : editor->CaretAtEnd();
}

void StringGrid::Private::ToggleEditorSelection() {
  if (editor->WholeTextSelected()) {
    editor->deselect();
    editor->end(false);
  } else {
    editor->selectAll();
  }
}

void StringGrid::Private::TypeIntoEditor(QKeyEvent* event, QChar typed, QChar key) {
  if (key == typed) {
    editor->Type(event);
    return;
  }
  QKeyEvent replaced(QEvent::KeyPress, KeyOf(key), event->modifiers() & Qt::ShiftModifier,
                     QString(key));
  editor->Type(&replaced);
}

// A key pressed in the open editor; false leaves it to the entry (caret moves, deletes, paste).
bool StringGrid::Private::EditorKey(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: return NavigationKey(event, false);
    case Qt::Key_Left:
    case Qt::Key_Home: return MovesOutOfEditor(event, true) && NavigationKey(event, false);
    case Qt::Key_Right:
    case Qt::Key_End: return MovesOutOfEditor(event, false) && NavigationKey(event, false);
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_F2: return true;
    default: break;
  }
  const QChar typed = TypedCharacter(*event, kGridTyping);
  if (typed.isNull()) return false;
  QChar key = typed;
  if (!RaiseKeyPress(key) || !editor_open) return true;
  if (key == QChar(kEnter)) {
    if (AlwaysShowEditor()) {
      ToggleEditorSelection();
    } else {
      SwitchEditingOff();
    }
    return true;
  }
  if (key == QChar(kEscape) || key == QChar(kTab)) return true;  // no cancel, no tab character
  TypeIntoEditor(event, typed, key);
  return true;
}

// A key pressed on the grid while its editor is closed.
bool StringGrid::Private::GridKey(QKeyEvent* event) {
  if (editor_open) {
    QCoreApplication::sendEvent(editor, event);
    return true;
  }
  if (NavigationKey(event, true)) return true;
  if (event->key() == Qt::Key_F2 && event->modifiers() == Qt::NoModifier) {
    OpenEditor(true);
    return true;
  }
  const QChar typed = TypedCharacter(*event, kGridTyping);
  if (typed.isNull()) return false;
  QChar key = typed;
  if (!RaiseKeyPress(key) || !CanEdit() || editor_open) return true;
  if (key == QChar(kEnter)) {
    OpenEditor(true);
  } else if (key == QChar(kBackspace) || key.unicode() >= kFirstPrintable) {
    // The editor opens with the whole text selected, so the key replaces it.
    OpenEditor(true);
    if (editor_open) TypeIntoEditor(event, typed, key);
  }
  return true;
}

// A press on the grid commits the editor first; a grid that always shows its editor opens it
// again where the press leaves the current cell.
void StringGrid::Private::CommitForMouse() {
  if (AlwaysShowEditor()) {
    CloseEditor();
  } else {
    SwitchEditingOff();
  }
}

void StringGrid::Private::MousePressOnCells(const QMouseEvent* event) {
  CommitForMouse();
  const QModelIndex index = q.indexAt(event->position().toPoint());
  if (!index.isValid() || event->button() != Qt::LeftButton) {
    EnterCurrentCell(true);
    return;
  }
  const std::int32_t col = model->ColOf(index);
  const std::int32_t row = model->RowOf(index);
  if (col == cur_col && row == cur_row) {
    OpenEditor(true);
    return;
  }
  MoveCurrent(col, row, false);
}

void StringGrid::Private::MousePressOnFixed() {
  if ((q.focusPolicy() & Qt::ClickFocus) != 0 && !focus_inside) q.setFocus(Qt::MouseFocusReason);
  CommitForMouse();
  EnterCurrentCell(true);
}

// The grid and its editor are one control for the focus: moving between them is no entry, and
// the focus coming back with a reactivated window is no entry either.
void StringGrid::Private::FocusArrived() {
  if (focus_inside) return;
  focus_inside = true;
  const bool entered = !window_focus;
  window_focus = true;
  const QPointer<StringGrid> alive(&q);
  NoteFocusEntered(&q);
  if (alive && entered && q.OnEnter) Guarded([this] { q.OnEnter(&q); });
  if (!alive) return;
  if (focus_inside && editing_mode && CanEdit() && !editor_open && EditorHasFocusOrGrid()) {
    OpenEditor(true);
  }
}

void StringGrid::Private::FocusLeft(const QFocusEvent* event) {
  if (event->reason() == Qt::PopupFocusReason) return;
  const QWidget* now = QApplication::focusWidget();
  if (now == &q || now == editor) return;
  focus_inside = false;
  // Another control of the same window takes the focus; focus going to another window (a
  // message box, a dialog) comes back to the grid without an entry, and so does focus lent to
  // the menu bar (Alt, Alt+letter) and given back.
  const bool to_menu_bar =
      event->reason() == Qt::MenuBarFocusReason || qobject_cast<const QMenuBar*>(now) != nullptr;
  if (now != nullptr && now->window() == q.window() && !to_menu_bar) window_focus = false;
}

void StringGrid::keyPressEvent(QKeyEvent* event) {
  if (!d_->GridKey(event)) event->ignore();
}

void StringGrid::focusInEvent(QFocusEvent* event) {
  QTableView::focusInEvent(event);
  d_->FocusArrived();
}

void StringGrid::focusOutEvent(QFocusEvent* event) {
  QTableView::focusOutEvent(event);
  d_->FocusLeft(event);
}

void StringGrid::mousePressEvent(QMouseEvent* event) {
  d_->MousePressOnCells(event);
  event->accept();
}

void StringGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  d_->MousePressOnCells(event);
  event->accept();
}

// Dragging never selects: a range comes from Shift with the arrow keys only.
void StringGrid::mouseMoveEvent(QMouseEvent* event) { event->accept(); }
void StringGrid::mouseReleaseEvent(QMouseEvent* event) { event->accept(); }

void StringGrid::scrollContentsBy(int dx, int dy) {
  QTableView::scrollContentsBy(dx, dy);
  d_->PlaceEditor();
}

void StringGrid::updateGeometries() {
  QTableView::updateGeometries();
  d_->PlaceCorner();
  d_->PlaceEditor();
}

bool StringGrid::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (watched == parentWidget() && d_->align_client && type == QEvent::Resize) d_->FillParent();
  const bool press = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
  if (press && watched == d_->corner) {
    d_->MousePressOnFixed();
    return true;
  }
  if (press &&
      (watched == horizontalHeader()->viewport() || watched == verticalHeader()->viewport())) {
    d_->MousePressOnFixed();
    return false;  // the header goes on to start a width drag on a section boundary
  }
  return QTableView::eventFilter(watched, event);
}

}  // namespace tk
