#pragma once
// Ranges of the main grid through the clipboard, as spreadsheets exchange them: Ctrl+C copies
// the selected range (or the current cell) as tab-separated text and as an HTML table, Ctrl+A
// selects every value cell, and Ctrl+V pastes a tab-separated block at the current cell as one
// undo step. A copy of every value cell carries the grade-name row and the interval-label
// column too, so that it reads as a table. A paste is all or nothing: a block that does not fit,
// a bad field or a target in the label lines leaves the table as it was and says why in a
// message box.

#include <QObject>
#include <string>
#include <string_view>

class QAction;
class QMimeData;
class QWidget;
class TableUndo;

namespace tk {
class StringGrid;
}

class TableClipboard : public QObject {
  Q_OBJECT

 public:
  // The three commands become short-cuts of window.
  TableClipboard(QWidget& window, tk::StringGrid& grid, TableUndo& undo);

  [[nodiscard]] QAction* CopyAction() const { return copy_; }
  [[nodiscard]] QAction* PasteAction() const { return paste_; }
  [[nodiscard]] QAction* SelectAllAction() const { return selectAll_; }

  void Copy();
  void Paste();
  void SelectAll();

  // What Copy puts on the clipboard (the caller owns it).
  [[nodiscard]] QMimeData* SelectionAsMime() const;
  // Pastes text at the current cell; "" on success, else the reason the table was left as it
  // was.
  [[nodiscard]] std::string PasteText(std::string_view text);

 signals:
  // A block was pasted (even one that changed no text): like typing, it hides the error label
  // and sets the unsaved flag.
  void Pasted();

 private:
  tk::StringGrid& grid_;
  TableUndo& undo_;
  QAction* copy_;
  QAction* paste_;
  QAction* selectAll_;
};
