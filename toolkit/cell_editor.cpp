#include "toolkit/cell_editor.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <limits>

namespace tk {

CellEditor::CellEditor(QWidget* parent) : QLineEdit(parent) {
  setFrame(false);
  setMaxLength(std::numeric_limits<int>::max());  // no length limit
  hide();
}

void CellEditor::Load(const QString& text, bool select_whole) {
  setText(text);  // setText never emits textEdited, so loading is no edit
  if (select_whole) {
    selectAll();
  } else {
    deselect();
    end(false);
  }
}

void CellEditor::Type(QKeyEvent* event) { QLineEdit::keyPressEvent(event); }

bool CellEditor::WholeTextSelected() const {
  return !text().isEmpty() && selectionStart() == 0 && selectedText().size() == text().size();
}

bool CellEditor::CaretAtStart() const { return !hasSelectedText() && cursorPosition() == 0; }

bool CellEditor::CaretAtEnd() const {
  return !hasSelectedText() && cursorPosition() == text().size();
}

void CellEditor::keyPressEvent(QKeyEvent* event) {
  if (!KeyFilter || !KeyFilter(event)) QLineEdit::keyPressEvent(event);
  // Keys the entry leaves alone (Esc, F-keys) must not travel on to the grid behind it.
  event->accept();
}

void CellEditor::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  if (FocusIn) FocusIn(event);
}

void CellEditor::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (FocusOut) FocusOut(event);
}

}  // namespace tk
