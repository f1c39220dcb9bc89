#pragma once
// The add dialog: one design shared by the add-grade and add-interval dialogs. The user names a
// new label in Edit1 and types its value pairs into StringGrid1; the save button checks them and
// appends them to the main window's grid as one new column (a grade) or one new row (an
// interval). The dialog grid's fixed line repeats the main grid's labels of the other
// direction; line 1 holds the new label and its values:
//
//   add grade (lines are columns):  label cell (1, 0), value cells (1, a), a = 1..RowCount-1
//   add interval (lines are rows):  label cell (0, 1), value cells (a, 1), a = 1..ColCount-1

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <string>

#include "toolkit/form.h"

class QChar;
class QLabel;

namespace tk {
class Button;
class Edit;
class GridLine;
class StringGrid;
}  // namespace tk

// Everything in which the two dialogs differ apart from the label text and the entry filter.
struct AddDialogDesign {
  bool lines_are_columns;  // true: the new label is a column (grade); false: a row (interval)
  QString caption;
  QString prompt;           // its accelerator focuses Edit1
  QString missing_label;    // Label2
  QString duplicate_label;  // Label3
  QSize client_size;
  QRect grid;
  std::int32_t label_col_width;  // dialog grid column 0
  std::int32_t value_col_width;  // dialog grid column 1
  QPoint prompt_pos;
  QPoint error_label_pos;  // Label2, Label3 and Label4 share it
  QRect edit;
  int entry_max_length;
  QRect save_button;
  QRect exit_button;
};

class AddDialog : public tk::Form {
  Q_OBJECT

 public:
  QLabel* Label1 = nullptr;  // the entry prompt
  tk::Edit* Edit1 = nullptr;
  QLabel* Label2 = nullptr;  // the grid was entered with an empty entry field
  QLabel* Label3 = nullptr;  // the new label already names a line of the main grid
  QLabel* Label4 = nullptr;  // "Ошибка при вводе допусков": a value cell is bad
  tk::StringGrid* StringGrid1 = nullptr;
  tk::Button* BitBtnSave = nullptr;
  tk::Button* BitBtnExit = nullptr;  // closes the dialog with ModalResult 1

  // Handlers, named after control and event.
  void FormActivate(QObject* sender);
  void Edit1KeyPress(QObject* sender, QChar& key);
  void Edit1Change(QObject* sender);
  void StringGrid1Enter(QObject* sender);
  void StringGrid1KeyPress(QObject* sender, QChar& key);
  void BitBtnSaveClick(QObject* sender);
  void FormCloseQuery(QObject* sender, bool& can_close);

 protected:
  // unsaved is the flag of the dialog's kind; it outlives every dialog of that kind.
  AddDialog(const AddDialogDesign& design, bool& unsaved, QWidget* parent);

  // The label the entry field names: a grade name or an interval label.
  [[nodiscard]] virtual std::string NewLabelText() const = 0;
  // The kind's own handling of a character typed into the entry field; QChar(0) discards it.
  virtual void FilterEntryKey(QChar& key) = 0;

 private:
  void BuildControls(const AddDialogDesign& design);
  void BuildGrid(const AddDialogDesign& design, QWidget* client);
  void ConnectHandlers();

  // Text of cell `index` of line `line` (a column for grades, a row for intervals) of grid.
  [[nodiscard]] std::string LineCell(const tk::StringGrid& grid, std::int32_t line,
                                     std::int32_t index) const;
  void SetLineCell(tk::StringGrid& grid, std::int32_t line, std::int32_t index,
                   const std::string& text) const;
  // Cells along one line: the row count for grades, the column count for intervals.
  [[nodiscard]] std::int32_t LineLength(const tk::StringGrid& grid) const;
  void SetLineLength(tk::StringGrid& grid, std::int32_t length) const;
  // Number of lines: the column count for grades, the row count for intervals.
  [[nodiscard]] std::int32_t LineCount(const tk::StringGrid& grid) const;
  void SetLineCount(tk::StringGrid& grid, std::int32_t count) const;
  // The main grid's labels that a new label must not repeat (corner cell included).
  [[nodiscard]] tk::GridLine MainLabelLine() const;
  // Position of the current cell along the new line, and moving it there.
  [[nodiscard]] std::int32_t CurrentIndex() const;
  void SetCurrentIndex(std::int32_t index);

  // Shows label and hands the focus back to the control to correct.
  void PointAt(QLabel* label, QWidget* control);
  // The entry field names a label the main grid does not have yet; else points at Edit1.
  [[nodiscard]] bool CheckNewLabel();
  // Every value cell reads as a value pair; else points at the first bad one.
  [[nodiscard]] bool CheckValueCells();
  void CommitNewLine();

  bool lines_are_columns_;
  bool& unsaved_;
};
