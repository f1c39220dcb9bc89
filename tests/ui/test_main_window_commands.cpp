// The main window's save command: validation of every value cell, and what reaches the file.

#include <QLabel>
#include <QMessageBox>
#include <QTest>

#include "data/number_text.h"
#include "tests/ui/main_window_session.h"
#include "toolkit/application.h"
#include "toolkit/controls.h"
#include "toolkit/dispatch.h"
#include "toolkit/string_grid.h"
#include "ui/main_window.h"

using mwtest::ApplyEdits;
using mwtest::CellEdits;
using mwtest::TableFile;
using mwtest::TwoByTwo;

namespace {}  // namespace

class TestMainWindowCommands : public QObject {
  Q_OBJECT

 private slots:
  void saveValidatesEveryValueCell_data();
  void saveValidatesEveryValueCell();
  void typingHidesTheErrorLabel();
  void f2SavesWhileTheEditorIsOpen();
  void overflowIsReportedAndFileUntouched();
  void saveWithoutValueCells();
};

void TestMainWindowCommands::saveValidatesEveryValueCell_data() {
  QTest::addColumn<CellEdits>("edits");
  QTest::addColumn<QPoint>("bad_cell");  // (-1, -1): the save passes
  QTest::addColumn<double>("first");     // what cell (1, 1) stores when it passes
  QTest::addColumn<double>("second");
  const QPoint none(-1, -1);
  QTest::newRow("commas as decimal points")
      << CellEdits{{1, 1, "0,012 -0,006"}} << none << 0.012 << -0.006;
  QTest::newRow("three words: the third dropped")
      << CellEdits{{1, 1, "1 2 3"}} << none << 1.0 << 2.0;
  QTest::newRow("letters") << CellEdits{{1, 1, "abc"}} << QPoint(1, 1) << 0.0 << 0.0;
  QTest::newRow("number and a letter") << CellEdits{{2, 1, "5 x"}} << QPoint(2, 1) << 0.0 << 0.0;
  QTest::newRow("empty cell") << CellEdits{{1, 2, ""}} << QPoint(1, 2) << 0.0 << 0.0;
  QTest::newRow("a single number") << CellEdits{{2, 2, "5"}} << QPoint(2, 2) << 0.0 << 0.0;
  QTest::newRow("first bad cell in row order")
      << CellEdits{{1, 2, "x"}, {2, 1, "y"}} << QPoint(2, 1) << 0.0 << 0.0;
}

void TestMainWindowCommands::saveValidatesEveryValueCell() {
  QFETCH(CellEdits, edits);
  QFETCH(QPoint, bad_cell);
  QFETCH(double, first);
  QFETCH(double, second);
  mwtest::WorkDir dir(TwoByTwo().Bytes());
  tktest::ModalAnswerer answers;
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    ApplyEdits(form, edits);
    QTest::mouseClick(form.Save, Qt::LeftButton);
    const bool passes = bad_cell.x() < 0;
    QCOMPARE(form.Label1->isVisible(), !passes);
    QCOMPARE(form.Unsaved(), !passes);
    if (!passes) {
      QCOMPARE(QPoint(form.StringGrid1->CurrentCol(), form.StringGrid1->CurrentRow()), bad_cell);
      QVERIFY(form.StringGrid1->hasFocus());
    }
  });
  QVERIFY(outcome.script_ran);
  mwtest::ExpectFirstValueSaved(dir, bad_cell.x() < 0, first, second);
}

void TestMainWindowCommands::typingHidesTheErrorLabel() {
  mwtest::WorkDir dir(TwoByTwo().Bytes());
  tktest::ModalAnswerer answers;
  const auto outcome = mwtest::RunProgram(answers, [](TForm1& form) {
    ApplyEdits(form, {{1, 1, "x"}});
    QTest::mouseClick(form.Save, Qt::LeftButton);
    QVERIFY(form.Label1->isVisible());
    mwtest::TypeText("1");
    QVERIFY(!form.Label1->isVisible());
  });
  QVERIFY(outcome.script_ran);
}

void TestMainWindowCommands::f2SavesWhileTheEditorIsOpen() {
  mwtest::WorkDir dir(TwoByTwo().Bytes());
  tktest::ModalAnswerer answers;
  const auto outcome = mwtest::RunProgram(answers, [](TForm1& form) {
    mwtest::MoveToCell(form, 2, 2);
    mwtest::TypeText("0,1 0,2");
    QVERIFY(form.StringGrid1->EditingMode());
    mwtest::PressKey(Qt::Key_F2);
    QVERIFY(!form.Unsaved());
  });
  QVERIFY(outcome.script_ran);
  TableFile expected = TwoByTwo();
  expected.values[1][1] = {0.1, 0.2};
  QCOMPARE(dir.Read(), expected.Bytes());
}

void TestMainWindowCommands::overflowIsReportedAndFileUntouched() {
  mwtest::WorkDir dir;
  const QByteArray original = TwoByTwo().Bytes();
  dir.Write(original);
  tktest::ModalAnswerer answers;
  answers.QueueBoxAnswer(QMessageBox::Ok);
  const auto outcome = mwtest::RunProgram(answers, [](TForm1& form) {
    ApplyEdits(form, {{1, 1, "1e400 0"}});
    QTest::mouseClick(form.Save, Qt::LeftButton);
    QVERIFY(form.Unsaved());
  });
  QVERIFY(outcome.script_ran);
  QVERIFY(!answers.Seen().isEmpty());
  QCOMPARE(answers.Seen()[0].text, QStringLiteral("Floating point overflow."));
  QCOMPARE(answers.Seen()[0].title, tk::ApplicationTitle());
  QCOMPARE(dir.Read(), original);
}

// Counts, bounds and names are written even where no value cell exists: a bound shown with
// fewer digits than the file held, and a deleted last interval.
void TestMainWindowCommands::saveWithoutValueCells() {
  {
    mwtest::WorkDir dir(TableFile{{0.1 + 0.2}, {}, {}}.Bytes());
    tktest::ModalAnswerer answers;
    const auto outcome = mwtest::RunProgram(
        answers, [](TForm1& form) { QTest::mouseClick(form.Save, Qt::LeftButton); });
    QVERIFY(outcome.script_ran);
    QCOMPARE(dir.Read(), (TableFile{{0.3}, {}, {}}.Bytes()));
  }
  mwtest::WorkDir dir;
  const TableFile one_interval{{10}, {"h7    ", "js10  "}, {{{1, 2}}, {{3, 4}}}};
  const QByteArray original = one_interval.Bytes();
  dir.Write(original);
  tktest::ModalAnswerer answers;
  answers.QueueBoxAnswer(QMessageBox::Yes);
  const auto outcome = mwtest::RunProgram(answers, [](TForm1& form) {
    QTest::mouseClick(form.DelInt, Qt::LeftButton);
    QTest::mouseClick(form.Save, Qt::LeftButton);
    QVERIFY(!form.Unsaved());
  });
  QVERIFY(outcome.script_ran);
  const QByteArray written = TableFile{{}, {"h7    ", "js10  "}, {{}, {}}}.Bytes();
  QCOMPARE(dir.Read(), written + original.mid(written.size()));  // the file never shrinks
}

int main(int argc, char** argv) {
  mwtest::DropPrivilegesWhenAsked();
  tk::Application application(argc, argv);
  TestMainWindowCommands test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_main_window_commands.moc"
