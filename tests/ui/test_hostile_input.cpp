// Hostile input to the main window: huge texts typed or pasted into a value cell, numbers of
// thousands of digits, exponents beyond every range, "NAN" and "INF", typing at the label
// cells, and a text pasted past the add dialog's key filter. Nothing may crash or hang; each
// text ends in the save's own answer: stored (an exponent from 5120 on as infinity), refused
// with the red label at the cell, or the "Floating point overflow" box with the file untouched.

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <limits>

#include "tests/ui/main_window_session.h"
#include "toolkit/application.h"
#include "toolkit/controls.h"
#include "toolkit/string_grid.h"
#include "ui/Addint.h"
#include "ui/add_dialog.h"
#include "ui/main_window.h"

using mwtest::TableFile;
using mwtest::TwoByTwo;

namespace {

constexpr qint64 kPatienceMs = 60000;  // far beyond any sound handling, even under sanitizers
constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr int kMegabyte = 1 << 20;

enum class Outcome { kStored, kRefused, kOverflow };
enum class Entry { kTyped, kPasted };

// Replaces the text of the current cell through the keyboard: typed key by key, or pasted from
// the clipboard into the emptied cell editor.
void Enter(Entry entry, const QString& text) {
  if (entry == Entry::kTyped) {
    mwtest::TypeText(text);
    return;
  }
  QApplication::clipboard()->setText(text);
  mwtest::TypeText(QStringLiteral("x"));  // opens the editor on a one-character text
  mwtest::PressKey(Qt::Key_Backspace);
  mwtest::PressKey(Qt::Key_V, Qt::ControlModifier);
}

// The boxes shown, without the unsaved question that closing the window at the end asks.
QList<tktest::SeenBox> BoxesBeforeClosing(const tktest::ModalAnswerer& answers) {
  QList<tktest::SeenBox> boxes = answers.Seen();
  boxes.removeIf([](const tktest::SeenBox& box) {
    return box.text == QStringLiteral("Значения допусков не записаны. Выходить?");
  });
  return boxes;
}

QString Repeated(char c, int count) { return QString(count, QLatin1Char(c)); }

}  // namespace

class TestHostileInput : public QObject {
  Q_OBJECT

 private slots:
  void valueCellTextOnSave_data();
  void valueCellTextOnSave();
  void labelCellsIgnoreTyping();
  void textPastedIntoTheAddDialogReachesTheFile();
};

void TestHostileInput::valueCellTextOnSave_data() {
  QTest::addColumn<int>("entry");
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("outcome");
  QTest::addColumn<double>("first");  // what cell (1, 1) stores when it is stored
  QTest::addColumn<double>("second");
  const auto row = [](const char* name, Entry entry, const QString& text, Outcome outcome,
                      double first = 0, double second = 0) {
    QTest::newRow(name) << int(entry) << text << int(outcome) << first << second;
  };
  const int kDigits = 5000;  // beyond the 4932 decimal places of the extended range
  row("exponent to infinity", Entry::kTyped, "1E6000 0", Outcome::kStored, kInfinity, 0);
  row("negative exponent to infinity", Entry::kTyped, "-1e6000 3", Outcome::kStored, -kInfinity, 3);
  row("exponent of twenty digits", Entry::kTyped, "1e99999999999999999999 0", Outcome::kStored,
      kInfinity, 0);
  row("exponent to zero", Entry::kTyped, "1E-6000 5", Outcome::kStored, 0, 5);
  row("NAN alone", Entry::kTyped, "NAN", Outcome::kRefused);
  row("NAN as a number", Entry::kTyped, "NAN 0", Outcome::kRefused);
  row("INF as the first number", Entry::kTyped, "INF 0", Outcome::kRefused);
  row("INF as the second number", Entry::kTyped, "0 INF", Outcome::kRefused);
  row("5000 nines: beyond the extended range", Entry::kTyped, Repeated('9', kDigits) + " 0",
      Outcome::kOverflow);
  row("401 digits: beyond binary64", Entry::kTyped, "1" + Repeated('0', 400) + " 0",
      Outcome::kOverflow);
  row("5000 digits of leading zeros", Entry::kPasted, Repeated('0', kDigits) + "5 0,5",
      Outcome::kStored, 5, 0.5);
  row("5000 fraction digits", Entry::kTyped, "0," + Repeated('0', kDigits) + "25 -0,5",
      Outcome::kStored, 0, -0.5);
  row("a megabyte after two numbers", Entry::kPasted, "0,5 0,25 " + Repeated('x', kMegabyte),
      Outcome::kStored, 0.5, 0.25);
  row("a megabyte of letters", Entry::kPasted, Repeated('x', kMegabyte), Outcome::kRefused);
  row("a megabyte of blanks before two numbers", Entry::kPasted, Repeated(' ', kMegabyte) + "1 2",
      Outcome::kStored, 1, 2);
  row("a megabyte of digits", Entry::kPasted, Repeated('1', kMegabyte) + " 0", Outcome::kOverflow);
  row("control characters", Entry::kPasted, QStringLiteral("1\t2\n3"), Outcome::kRefused);
}

void TestHostileInput::valueCellTextOnSave() {
  QFETCH(int, entry);
  QFETCH(QString, text);
  QFETCH(int, outcome);
  QFETCH(double, first);
  QFETCH(double, second);
  mwtest::WorkDir dir(TwoByTwo().Bytes());
  tktest::ModalAnswerer answers;
  if (Outcome(outcome) == Outcome::kOverflow) answers.QueueBoxAnswer(QMessageBox::Ok);
  QElapsedTimer clock;
  clock.start();
  const auto run = mwtest::RunProgram(answers, [&](TForm1& form) {
    mwtest::MoveToCell(form, 1, 1);
    Enter(Entry(entry), text);
    QCOMPARE(QString::fromStdString(form.StringGrid1->GetCell(1, 1)), text);
    mwtest::PressKey(Qt::Key_Return);
    form.StringGrid1->viewport()->repaint();  // the grid paints the cell with its new text
    QTest::mouseClick(form.Save, Qt::LeftButton);
    QCOMPARE(form.Label1->isVisible(), Outcome(outcome) == Outcome::kRefused);
    QCOMPARE(form.Unsaved(), Outcome(outcome) != Outcome::kStored);
    if (Outcome(outcome) == Outcome::kRefused) {
      QCOMPARE(QPoint(form.StringGrid1->CurrentCol(), form.StringGrid1->CurrentRow()),
               QPoint(1, 1));
    }
  });
  QVERIFY(run.script_ran);
  QVERIFY2(clock.elapsed() < kPatienceMs, qPrintable(QString("took %1 ms").arg(clock.elapsed())));
  const QList<tktest::SeenBox> boxes = BoxesBeforeClosing(answers);
  if (Outcome(outcome) == Outcome::kOverflow) {
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].text, QStringLiteral("Floating point overflow."));
    QCOMPARE(boxes[0].icon, int(QMessageBox::Critical));
  } else {
    QCOMPARE(boxes.size(), 0);
  }
  mwtest::ExpectFirstValueSaved(dir, Outcome(outcome) == Outcome::kStored, first, second);
}

// The label row and column are headers: clicking one and typing changes no label, corner or
// name; the keys reach the current value cell, if any.
void TestHostileInput::labelCellsIgnoreTyping() {
  mwtest::WorkDir dir(TwoByTwo().Bytes());
  tktest::ModalAnswerer answers;
  const auto run = mwtest::RunProgram(answers, [](TForm1& form) {
    tk::StringGrid& grid = *form.StringGrid1;
    const std::vector<std::string> labels = {grid.GetCell(0, 0), grid.GetCell(1, 0),
                                             grid.GetCell(2, 0), grid.GetCell(0, 1),
                                             grid.GetCell(0, 2)};
    QHeaderView* names = grid.horizontalHeader();
    QHeaderView* bounds = grid.verticalHeader();
    const auto click = [](QHeaderView* header, int section) {
      const int middle =
          header->sectionViewportPosition(section) + header->sectionSize(section) / 2;
      const QPoint at = header->orientation() == Qt::Horizontal
                            ? QPoint(middle, header->height() / 2)
                            : QPoint(header->width() / 2, middle);
      QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    };
    for (const auto& [header, section] :
         {std::pair{names, 0}, std::pair{names, 1}, std::pair{bounds, 0}}) {
      click(header, section);
      mwtest::TypeText("9 9");
      mwtest::PressKey(Qt::Key_Return);
      QVERIFY(grid.CurrentCol() >= 1 && grid.CurrentRow() >= 1);
      QCOMPARE(grid.GetCell(grid.CurrentCol(), grid.CurrentRow()), std::string("9 9"));
    }
    QCOMPARE((std::vector<std::string>{grid.GetCell(0, 0), grid.GetCell(1, 0), grid.GetCell(2, 0),
                                       grid.GetCell(0, 1), grid.GetCell(0, 2)}),
             labels);
  });
  QVERIFY(run.script_ran);
}

// The add dialog's value cells drop letters typed at them, but a paste passes: "1E6000 0" is
// accepted there, reaches the main grid and is stored with an infinite first number.
void TestHostileInput::textPastedIntoTheAddDialogReachesTheFile() {
  mwtest::WorkDir dir(TwoByTwo().Bytes());
  tktest::ModalAnswerer answers;
  answers.QueueDialogAction([](QWidget* window) {
    auto* dialog = static_cast<AddDialog*>(window);
    QTest::keyClicks(dialog->Edit1, QStringLiteral("40"));
    QTest::keyClick(dialog->Edit1, Qt::Key_Return);
    for (int cell = 1; cell <= 2; ++cell) {
      if (cell > 1) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
      QApplication::clipboard()->setText(QStringLiteral("1E6000 0"));
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
    }
    QTest::mouseClick(dialog->BitBtnSave, Qt::LeftButton);
    QVERIFY(!dialog->Label4->isVisible());
    QTest::mouseClick(dialog->BitBtnExit, Qt::LeftButton);
  });
  const auto run = mwtest::RunProgram(answers, [](TForm1& form) {
    QTest::mouseClick(form.AddInt, Qt::LeftButton);
    QCOMPARE(form.StringGrid1->RowCount(), 4);
    QCOMPARE(form.StringGrid1->GetCell(1, 3), std::string("1E6000 0"));
    QTest::mouseClick(form.Save, Qt::LeftButton);
    QVERIFY(!form.Unsaved());
  });
  QVERIFY(run.script_ran);
  QCOMPARE(answers.Seen().size(), 0);
  TableFile expected = TwoByTwo();
  expected.bounds.push_back(40);
  for (auto& grade : expected.values) grade.push_back({kInfinity, 0});
  QCOMPARE(dir.Read(), expected.Bytes());
}

int main(int argc, char** argv) {
  tk::Application application(argc, argv);
  TestHostileInput test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_hostile_input.moc"
