#pragma once
// The string grid's in-place cell editor: a line entry laid over the current cell. The grid sees
// every key first (KeyFilter) and decides what the editor does with it; the editor itself knows
// nothing about cells.

#include <QLineEdit>
#include <functional>

namespace tk {

class CellEditor : public QLineEdit {
  Q_OBJECT

 public:
  explicit CellEditor(QWidget* parent);

  // Offered every key press first; returns true when it has dealt with the key.
  std::function<bool(QKeyEvent* event)> KeyFilter;
  // Focus arriving at or leaving the editor (the grid tracks focus for both as one control).
  std::function<void(QFocusEvent* event)> FocusIn;
  std::function<void(QFocusEvent* event)> FocusOut;

  // Replaces the text without reporting an edit, whole text selected or caret at the end.
  void Load(const QString& text, bool select_whole);
  // Edits the text as the key would, reporting the change like any typed key.
  void Type(QKeyEvent* event);

  [[nodiscard]] bool WholeTextSelected() const;
  [[nodiscard]] bool CaretAtStart() const;
  [[nodiscard]] bool CaretAtEnd() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace tk
