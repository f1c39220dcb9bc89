#pragma once
// Shared by the add dialog tests: a main window whose grid holds a small table, fresh dialogs run
// as the add commands run them, and steps that drive them with real key and mouse events.

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "data/tolerance_file.h"
#include "tests/support/dialog_steps.h"
#include "tests/support/modal_answer.h"
#include "toolkit/application.h"
#include "toolkit/controls.h"
#include "toolkit/string_grid.h"
#include "ui/Addint.h"
#include "ui/Addkv.h"
#include "ui/main_window.h"

namespace tktest {

enum Kind { kGrade, kInterval };
using Step = std::function<void(AddDialog&)>;
using Steps = tktest::DialogSteps<AddDialog>;

// Rows of the main table: two grades (H7 as loaded from a file) and three intervals.
inline const std::vector<std::vector<std::string>> kTable = {
    {"     мм  ", "H7    ", "h8    "},
    {"До 10", "0,015 0", "0,022 0"},
    {"До 18", "0,018 0", "0,027 0"},
    {"До 30", "0,021 0", "0,033 0"},
};
inline constexpr int kIntervals = 3;
inline constexpr int kGrades = 2;

inline void FillTable(tol::CellTable& table) {
  table.SetRowCount(static_cast<std::int32_t>(kTable.size()));
  table.SetColCount(static_cast<std::int32_t>(kTable[0].size()));
  for (std::size_t row = 0; row < kTable.size(); ++row)
    for (std::size_t col = 0; col < kTable[row].size(); ++col)
      table.SetCell(static_cast<std::int32_t>(col), static_cast<std::int32_t>(row),
                    kTable[row][col]);
}

inline QWidget* Focused() { return QApplication::focusWidget(); }
// Types text key by key; a character beyond ASCII is sent with its own key code and text.
inline void TypeInto(QWidget* widget, const QString& text) {
  for (const QChar ch : text) {
    if (ch.unicode() < 128) {
      QTest::keyClick(widget, static_cast<char>(ch.unicode()));
      continue;
    }
    const auto key = static_cast<Qt::Key>(ch.toUpper().unicode());
    QTest::sendKeyEvent(QTest::Press, widget, key, QString(ch), Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Release, widget, key, QString(ch), Qt::NoModifier);
  }
}
inline void Type(const QString& text) { TypeInto(Focused(), text); }
inline void Press(Qt::Key key) { QTest::keyClick(Focused(), key); }
// Delete as an X11 keyboard sends it: the key, with U+007F as its text.
inline void PressDelete(QWidget* widget = Focused()) {
  const QString text(QChar(0x7F));
  QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_Delete, text, Qt::NoModifier);
  QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_Delete, text, Qt::NoModifier);
}
inline void Click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); }

// Cell `index` along the dialog's new line (0 is its label cell).
inline QString NewLineCell(const AddDialog& d, Kind kind, int index) {
  const std::string text =
      kind == kGrade ? d.StringGrid1->GetCell(1, index) : d.StringGrid1->GetCell(index, 1);
  return QString::fromStdString(text);
}
inline int CurrentIndex(const AddDialog& d, Kind kind) {
  return kind == kGrade ? d.StringGrid1->CurrentRow() : d.StringGrid1->CurrentCol();
}
inline int ValueCells(Kind kind) { return kind == kGrade ? kIntervals : kGrades; }

// Names the label, enters the grid with Enter and fills each value cell with fill_cell.
inline Step EnterLineBy(const QString& label, std::function<void()> fill_cell) {
  return [label, fill_cell = std::move(fill_cell)](AddDialog& d) {
    const Kind kind = dynamic_cast<TFormAddKv*>(&d) != nullptr ? kGrade : kInterval;
    TypeInto(d.Edit1, label);
    QTest::keyClick(d.Edit1, Qt::Key_Return);
    for (int a = 1; a <= ValueCells(kind); ++a) {
      if (a > 1) Press(Qt::Key_Return);
      fill_cell();
    }
  };
}
// The same, typing one value pair into each value cell.
inline Step EnterLine(const QString& label, const QString& values = QStringLiteral("0,018 0")) {
  return EnterLineBy(label, [values] { Type(values); });
}
inline void ForgetUnsaved() {
  TFormAddKv::ForgetUnsaved();
  TFormAddInt::ForgetUnsaved();
}
inline QString Text(const std::string& text) { return QString::fromStdString(text); }

inline QStringList VisibleMessages(const AddDialog& d) {
  QStringList visible;
  for (const QLabel* label : {d.Label2, d.Label3, d.Label4})
    if (label->isVisible()) visible << label->text();
  return visible;
}

// Where a committed line lands in the main grid, and its cells.
inline int NewMainLine(Kind kind) {
  return static_cast<int>(kind == kGrade ? kTable[0].size() : kTable.size());
}
inline QString MainLineCell(Kind kind, int line, int index) {
  const tk::StringGrid& grid = *Form1->StringGrid1;
  return Text(kind == kGrade ? grid.GetCell(line, index) : grid.GetCell(index, line));
}
inline bool MainUnchanged() {
  const tk::StringGrid& grid = *Form1->StringGrid1;
  return grid.ColCount() == static_cast<int>(kTable[0].size()) &&
         grid.RowCount() == static_cast<int>(kTable.size()) && !Form1->Unsaved();
}
inline bool DialogUnsaved(Kind kind) {
  return kind == kGrade ? TFormAddKv::Unsaved() : TFormAddInt::Unsaved();
}
inline QString NewLabel(Kind kind) { return kind == kGrade ? "h9" : "40"; }
inline QString Committed(Kind kind) { return kind == kGrade ? "h9    " : "До 40"; }

inline const Step kSave = [](AddDialog& d) { Click(d.BitBtnSave); };
inline const Step kExit = [](AddDialog& d) { Click(d.BitBtnExit); };
// Closes without the question, for cases about something else.
inline const Step kLeave = [](AddDialog& d) {
  ForgetUnsaved();
  Click(d.BitBtnExit);
};

// Runs a fresh dialog of kind as the add commands do; fails the test when the steps did not
// all run or left the dialog open.
inline void RunDialog(Kind kind, std::vector<Step> steps) {
  AddDialog* dialog = kind == kGrade ? static_cast<AddDialog*>(FormAddKv = new TFormAddKv)
                                     : static_cast<AddDialog*>(FormAddInt = new TFormAddInt);
  Steps driver(dialog, std::move(steps), [](AddDialog& d) {
    ForgetUnsaved();
    d.SetModalResult(tk::mrOk);
  });
  (void)tk::RunModal(*dialog);
  tk::HideWindow(*dialog);
  tk::DisposeWindow(dialog);
  FormAddKv = nullptr;
  FormAddInt = nullptr;
  QVERIFY2(driver.AllRan(), "the dialog closed before its last step");
  QVERIFY2(!driver.LeftOpen(), "the dialog was still open after its last step");
}

inline void AddKinds() {
  QTest::addColumn<Kind>("kind");
  QTest::newRow("grade") << kGrade;
  QTest::newRow("interval") << kInterval;
}

// A fresh main window holding kTable and both dialog kinds' flags as at program start.
inline void SetUpMainWindow() {
  ForgetUnsaved();
  Form1 = new TForm1;
  FillTable(*Form1->StringGrid1);
}
inline void TearDownMainWindow() {
  tk::DisposeWindow(Form1);
  Form1 = nullptr;
}

// SetUpMainWindow's window for one test, with an answerer for the message boxes raised meanwhile;
// the answerer is made after the window and goes before it.
class AnsweredMainWindow {
 public:
  AnsweredMainWindow() {
    SetUpMainWindow();
    answers_ = std::make_unique<ModalAnswerer>();
  }
  ~AnsweredMainWindow() {
    answers_.reset();
    TearDownMainWindow();
  }
  AnsweredMainWindow(const AnsweredMainWindow&) = delete;
  AnsweredMainWindow& operator=(const AnsweredMainWindow&) = delete;

  [[nodiscard]] ModalAnswerer& Answers() { return *answers_; }

 private:
  std::unique_ptr<ModalAnswerer> answers_;
};

// Runs tests under the toolkit's application. A plain window is made first, so that it is the
// application's main window and no test's Form1 ends the run when it closes.
inline int RunAddDialogTests(QObject& tests, int argc, char** argv) {
  tk::Application application(argc, argv);
  tk::Form main_window;
  return QTest::qExec(&tests, argc, argv);
}

}  // namespace tktest
