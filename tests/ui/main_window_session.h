#pragma once
// Runs the editor program inside a UI test: a fresh current directory holding the test's
// tolerance file, the real main window and the application's own loop, driven by key and mouse
// events from inside that loop.

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <Qt>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/modal_answer.h"

class TForm1;

namespace tk {
class GridLine;
class StringGrid;
}  // namespace tk

namespace mwtest {

// The contents of a tolerance file, built and taken apart byte by byte.
struct TableFile {
  std::vector<double> bounds;                                  // one per interval
  std::vector<std::string> names;                              // six single-byte characters
  std::vector<std::vector<std::pair<double, double>>> values;  // [grade][interval]

  [[nodiscard]] QByteArray Bytes() const;
  // The table at the start of bytes; the bytes must hold all that their counts promise.
  [[nodiscard]] static TableFile Parse(const QByteArray& bytes);
};

// Two intervals (10, 18) by two grades (h7, js10).
[[nodiscard]] TableFile TwoByTwo();

// A fresh empty directory made current for one test; the previous one is restored after it.
class WorkDir {
 public:
  WorkDir();
  // The same, holding table as the tolerance file.
  explicit WorkDir(const QByteArray& table);
  ~WorkDir();
  WorkDir(const WorkDir&) = delete;
  WorkDir& operator=(const WorkDir&) = delete;

  [[nodiscard]] QString Path(const QString& name) const { return dir_.filePath(name); }
  void Write(const QByteArray& bytes, const QString& name = QStringLiteral("Zarava.win")) const;
  [[nodiscard]] QByteArray Read(const QString& name = QStringLiteral("Zarava.win")) const;

 private:
  QTemporaryDir dir_;
  QString previous_;
};

struct RunOutcome {
  bool script_ran = false;
  // The program ended on its own; false when the harness had to close the window after the
  // script (answering Yes to the unsaved question).
  bool ended_by_itself = false;
};

// Creates Form1, runs the application loop and, once the window is active with no message box
// up, calls script inside the loop. Message boxes are answered by answers.
[[nodiscard]] RunOutcome RunProgram(tktest::ModalAnswerer& answers,
                                    const std::function<void(TForm1&)>& script);
// The same with the tolerance file named as a FILE argument names it.
[[nodiscard]] RunOutcome RunProgramOn(const std::string& file, tktest::ModalAnswerer& answers,
                                      const std::function<void(TForm1&)>& script);

// Key input to whatever has the keyboard focus now (the grid, or its cell editor once open).
void TypeText(const QString& text);
void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Moves the current cell with the arrow keys; the cell editor must be closed.
void MoveToCell(TForm1& form, int col, int row);

// An edit typed into one cell, the cell editor closed again with Enter.
struct CellEdit {
  int col;
  int row;
  QString text;  // empty: backspace, which empties the cell
};
using CellEdits = QList<CellEdit>;
void ApplyEdits(TForm1& form, const CellEdits& edits);

// A text as the grid shows it, with the locale's decimal separator in place of ".".
[[nodiscard]] std::string Localized(std::string text);
[[nodiscard]] QStringList LocalizedTexts(QStringList texts);
// The texts of one grid row or column, first to last.
[[nodiscard]] QStringList LineTexts(const tk::GridLine& line);

// For tests that need an unprivileged user (tests run as root): re-runs one test function of
// this executable as the user nobody and reports whether it passed. The child's output is
// printed on failure.
[[nodiscard]] bool RunTestAsNobody(const QString& test_function_and_tag);
// Called first in main: drops to nobody when this process is such a re-run.
void DropPrivilegesWhenAsked();

// After a save of the two-by-two table in dir whose value cell (1, 1) was edited: the file holds
// the table with that cell's pair when the save stored it, else exactly its original bytes.
void ExpectFirstValueSaved(const WorkDir& dir, bool stored, double first, double second);

// The grid's column widths, left to right.
[[nodiscard]] std::vector<int> ColumnWidths(const tk::StringGrid& grid);

}  // namespace mwtest

Q_DECLARE_METATYPE(mwtest::CellEdits)
