// Ctrl+A, Ctrl+C and Ctrl+V on the main grid through real key presses: what a copy puts on the
// clipboard, a round trip grid -> grid, a block written as a spreadsheet writes it, and every
// refusal leaving the table and the unsaved flag as they were.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <string>
#include <vector>

#include "tests/ui/main_window_session.h"
#include "toolkit/application.h"
#include "toolkit/string_grid.h"
#include "ui/main_window.h"
#include "ui/table_undo.h"

using mwtest::Localized;
using mwtest::MoveToCell;
using mwtest::PressKey;
using mwtest::TableFile;

namespace {

using Texts = std::vector<std::string>;

// Three intervals by two grades; every value cell a pair with a decimal.
TableFile ThreeByTwo() {
  return {{10, 18, 30},
          {"h7    ", "js10  "},
          {{{0.015, 0}, {0.018, 0}, {0.021, 0}}, {{-0.5, 0.5}, {-0.75, 0.75}, {-1, 1}}}};
}

Texts Cells(const tk::StringGrid& grid) {
  Texts texts;
  for (int row = 0; row < grid.RowCount(); ++row) {
    for (int col = 0; col < grid.ColCount(); ++col) texts.push_back(grid.GetCell(col, row));
  }
  return texts;
}

QString Shown(const char* text) { return QString::fromStdString(Localized(std::string(text))); }

void Press(Qt::Key key) { PressKey(key, Qt::ControlModifier); }

}  // namespace

class TestTableClipboard : public QObject {
  Q_OBJECT

 private slots:
  void selectAllAndCopyCarryTheLabels();
  void copyOfARange();
  void roundTripGridToGrid();
  void spreadsheetBlock_data();
  void spreadsheetBlock();
  void refusals_data();
  void refusals();
  void labelLineTargetIsRefused();
};

void TestTableClipboard::selectAllAndCopyCarryTheLabels() {
  mwtest::WorkDir dir(ThreeByTwo().Bytes());
  tktest::ModalAnswerer answers;
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    const tk::StringGrid& grid = *form.StringGrid1;
    MoveToCell(form, 2, 2);
    Press(Qt::Key_A);
    const tk::StringGrid::CellRange range = grid.Selection();
    QCOMPARE(QRect(QPoint(range.left, range.top), QPoint(range.right, range.bottom)),
             QRect(QPoint(1, 1), QPoint(2, 3)));
    QCOMPARE(QPoint(grid.CurrentCol(), grid.CurrentRow()), QPoint(1, 1));
    Press(Qt::Key_C);
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    QCOMPARE(mime->text(),
             QStringLiteral("     мм  \th7    \tjs10  \n") + Shown("До 10\t0.015 0\t-0.5 0.5\n") +
                 Shown("До 18\t0.018 0\t-0.75 0.75\n") + Shown("До 30\t0.021 0\t-1 1\n"));
    QVERIFY(mime->hasHtml());
    QVERIFY(mime->html().contains(QStringLiteral("<tr><td>До 30</td><td>") + Shown("0.021 0") +
                                  "</td>"));
    QVERIFY(!form.Unsaved());
  });
  QVERIFY(outcome.script_ran);
}

void TestTableClipboard::copyOfARange() {
  mwtest::WorkDir dir(ThreeByTwo().Bytes());
  tktest::ModalAnswerer answers;
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    MoveToCell(form, 2, 1);
    PressKey(Qt::Key_Down, Qt::ShiftModifier);
    Press(Qt::Key_C);
    QCOMPARE(QApplication::clipboard()->text(), Shown("-0.5 0.5\n-0.75 0.75\n"));
    MoveToCell(form, 1, 3);  // the current cell alone
    Press(Qt::Key_C);
    QCOMPARE(QApplication::clipboard()->text(), Shown("0.021 0\n"));
  });
  QVERIFY(outcome.script_ran);
}

// Row 1 copied onto row 3: the cells match, the paste made the table unsaved and hid the red
// label, and one undo brings row 3 back.
void TestTableClipboard::roundTripGridToGrid() {
  mwtest::WorkDir dir(ThreeByTwo().Bytes());
  tktest::ModalAnswerer answers;
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    const tk::StringGrid& grid = *form.StringGrid1;
    const Texts loaded = Cells(grid);
    MoveToCell(form, 1, 1);
    PressKey(Qt::Key_Right, Qt::ShiftModifier);
    Press(Qt::Key_C);
    MoveToCell(form, 1, 3);
    form.Label1->show();
    Press(Qt::Key_V);
    QCOMPARE(grid.GetCell(1, 3), grid.GetCell(1, 1));
    QCOMPARE(grid.GetCell(2, 3), grid.GetCell(2, 1));
    QVERIFY(form.Unsaved());
    QVERIFY(form.Label1->isHidden());
    Press(Qt::Key_Z);
    QCOMPARE(Cells(grid), loaded);
    QVERIFY(!form.Unsaved());
  });
  QVERIFY(outcome.script_ran);
  QVERIFY(answers.Seen().isEmpty());
}

void TestTableClipboard::spreadsheetBlock_data() {
  QTest::addColumn<QString>("block");
  QTest::addColumn<QPoint>("target");
  QTest::addColumn<QStringList>("cells");  // row by row from the target, "." for the separator
  QTest::newRow("two columns a grade, decimal commas, CRLF")
      << "0,025\t0\t-0,01\t0,01\r\n0,03\t-0,001\t1\t-1\r\n"
      << QPoint(1, 1) << QStringList{"0.025 0", "-0.01 0.01", "0.03 -0.001", "1 -1"};
  QTest::newRow("more than three decimals shown rounded") << "0.0126\t-0.0004\n"
                                                          << QPoint(2, 3) << QStringList{"0.013 0"};
  QTest::newRow("pairs as the grid copies them, quoted by a spreadsheet")
      << "\"0,5 1\"\t2 3\n"
      << QPoint(1, 2) << QStringList{"0.5 1", "2 3"};
}

void TestTableClipboard::spreadsheetBlock() {
  QFETCH(QString, block);
  QFETCH(QPoint, target);
  QFETCH(QStringList, cells);
  mwtest::WorkDir dir(ThreeByTwo().Bytes());
  tktest::ModalAnswerer answers;
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    const tk::StringGrid& grid = *form.StringGrid1;
    MoveToCell(form, target.x(), target.y());
    QApplication::clipboard()->setText(block);
    Press(Qt::Key_V);
    const int width = grid.ColCount() - target.x();
    for (int i = 0; i < cells.size(); ++i) {
      const int col = target.x() + i % width;
      const int row = target.y() + i / width;
      QCOMPARE(QString::fromStdString(grid.GetCell(col, row)),
               QString::fromStdString(Localized(cells[i].toStdString())));
    }
    QVERIFY(form.Unsaved());
    QVERIFY(answers.Seen().isEmpty());  // no refusal
  });
  QVERIFY(outcome.script_ran);
}

void TestTableClipboard::refusals_data() {
  QTest::addColumn<QString>("block");
  QTest::addColumn<QPoint>("target");
  QTest::addColumn<QString>("message");
  const QString where = QStringLiteral(" вставляемого блока");
  QTest::newRow("past the last row")
      << "1\t2\n3\t4\n"
      << QPoint(1, 3) << "Строка 2, столбец 1" + where + " выходит за край таблицы.";
  QTest::newRow("past the last column")
      << "1\t2\t3\t4\n"
      << QPoint(2, 1) << "Строка 1, столбец 3" + where + " выходит за край таблицы.";
  QTest::newRow("a word in the block")
      << "1 2\tмного\n"
      << QPoint(1, 1) << "Строка 1, столбец 2" + where + ": «много» — не два числа.";
  QTest::newRow("pairs written, then a row that does not pair")
      << "0.5\t-0.5\n1 2\n"
      << QPoint(1, 1) << "Строка 1, столбец 1" + where + ": «0.5» — не два числа.";
  QTest::newRow("a number too large")
      << "1\t2\n1e400\t0\n"
      << QPoint(1, 1)
      << "Строка 2, столбец 1" + where + ": число «1e400» вне допустимого диапазона.";
}

void TestTableClipboard::refusals() {
  QFETCH(QString, block);
  QFETCH(QPoint, target);
  QFETCH(QString, message);
  mwtest::WorkDir dir(ThreeByTwo().Bytes());
  tktest::ModalAnswerer answers;
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    const tk::StringGrid& grid = *form.StringGrid1;
    const Texts loaded = Cells(grid);
    MoveToCell(form, target.x(), target.y());
    QApplication::clipboard()->setText(block);
    answers.QueueBoxAnswer(QMessageBox::Ok);
    Press(Qt::Key_V);
    QCOMPARE(Cells(grid), loaded);
    QVERIFY(!form.Unsaved());
    QVERIFY(!form.UndoHistory().UndoAction()->isEnabled());
  });
  QVERIFY(outcome.script_ran);
  QCOMPARE(answers.Seen().size(), 1);
  QCOMPARE(answers.Seen()[0].text, message);
  QCOMPARE(answers.Seen()[0].title, QStringLiteral("Редактор файла допусков"));
  QCOMPARE(answers.Seen()[0].icon, int(QMessageBox::Critical));
}

// A table without grades has given up its label column, whose cells are then current cells.
void TestTableClipboard::labelLineTargetIsRefused() {
  mwtest::WorkDir dir(TableFile{{10, 18}, {}, {}}.Bytes());
  tktest::ModalAnswerer answers;
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    const Texts loaded = Cells(*form.StringGrid1);
    QApplication::clipboard()->setText(QStringLiteral("1\t2\n"));
    answers.QueueBoxAnswer(QMessageBox::Ok);
    Press(Qt::Key_V);
    QCOMPARE(Cells(*form.StringGrid1), loaded);
  });
  QVERIFY(outcome.script_ran);
  QCOMPARE(answers.Seen().size(), 1);
  QCOMPARE(answers.Seen()[0].text,
           QStringLiteral("Строка 1, столбец 1 вставляемого блока попадает на заголовки таблицы."));
}

int main(int argc, char** argv) {
  tk::Application application(argc, argv);
  TestTableClipboard tests;
  return QTest::qExec(&tests, argc, argv);
}

#include "test_table_clipboard.moc"
