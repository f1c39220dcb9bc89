// The ISO 286 commands through the real window: "Добавить квалитеты по ISO 286..." with its
// dialog and "Заполнить строку по ISO 286" on the current row, with the values they write, the
// cells they leave and say so, the duplicate refusal, the one undo step and the unsaved flag.

#include <QAction>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QUndoStack>

#include "tests/ui/main_window_session.h"
#include "toolkit/application.h"
#include "toolkit/string_grid.h"
#include "ui/iso_classes_dialog.h"
#include "ui/main_window.h"
#include "ui/table_undo.h"

using mwtest::LineTexts;
using mwtest::Localized;
using mwtest::LocalizedTexts;
using mwtest::TableFile;

namespace {

// Types names into the dialog's line, replacing what it held, and presses OK.
void EnterNames(QWidget* window, const QString& names) {
  auto* dialog = qobject_cast<IsoClassesDialog*>(window);
  QVERIFY(dialog != nullptr);
  dialog->Edit1->selectAll();
  QTest::keyClicks(dialog->Edit1, names);
  QPushButton* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
  QTest::mouseClick(ok, Qt::LeftButton);
}

// Three intervals, one of them (12) no ISO range bound, and the shaft h7.
TableFile ThreeIntervals() {
  return {{3, 12, 14}, {"h7    "}, {{{0, -0.01}, {0, -0.018}, {0, -0.018}}}};
}

}  // namespace

class TestMainWindowIso : public QObject {
  Q_OBJECT

 private slots:
  void addClassesFillsTheirColumns();
  void addClassesRefusesAnExistingName();
  void addClassesCancelledChangesNothing();
  void fillRow_data();
  void fillRow();
};

void TestMainWindowIso::addClassesFillsTheirColumns() {
  mwtest::WorkDir dir(ThreeIntervals().Bytes());
  tktest::ModalAnswerer answers;
  answers.QueueDialogAction([](QWidget* dialog) { EnterNames(dialog, "H7 js6, a11"); });
  answers.QueueBoxAnswer(QMessageBox::Ok);
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    tk::StringGrid& grid = *form.StringGrid1;
    QVERIFY(!form.Unsaved());
    form.MenuAddIso->trigger();
    // The names keep their case beside the shaft h7, padded as grade names are.
    QCOMPARE(LineTexts(grid.RowTexts(0)),
             (QStringList{"     мм  ", "h7    ", "H7    ", "js6   ", "a11   "}));
    QCOMPARE(LineTexts(grid.RowTexts(1)),
             LocalizedTexts({"До 3", "0 -0.01", "0.01 0", "0.003 -0.003", "-0.27 -0.33"}));
    // 12 mm is inside the range 10 to 14: no value, the cells left for the user.
    QCOMPARE(LineTexts(grid.RowTexts(2)), LocalizedTexts({"До 12", "0 -0.018", "", "", ""}));
    const QStringList row3 =
        LocalizedTexts({"До 14", "0 -0.018", "0.018 0", "0.0055 -0.0055", "-0.29 -0.4"});
    QCOMPARE(LineTexts(grid.RowTexts(3)), row3);
    QVERIFY(form.Unsaved());
    // The three columns are one step: one undo removes them all and leaves nothing to undo.
    TableUndo& history = form.UndoHistory();
    QCOMPARE(history.UndoAction()->text(),
             QStringLiteral("Отменить добавление квалитетов по ISO 286 H7 js6 a11"));
    history.Undo();
    QCOMPARE(LineTexts(grid.RowTexts(0)), (QStringList{"     мм  ", "h7    "}));
    QCOMPARE(LineTexts(grid.RowTexts(3)), LocalizedTexts({"До 14", "0 -0.018"}));
    QVERIFY(!history.Stack().canUndo());
    QVERIFY(!form.Unsaved());
    history.Redo();
    QCOMPARE(LineTexts(grid.RowTexts(3)), row3);
    QVERIFY(form.Unsaved());
  });
  QVERIFY(outcome.script_ran);
  QVERIFY(!answers.Seen().isEmpty());  // then the unsaved question at the end
  const QString text = answers.Seen()[0].text;
  QVERIFY2(text.startsWith(QStringLiteral("По ISO 286 не заполнены (введите значения сами):")),
           qPrintable(text));
  for (const char* cell : {"H7, До 12: граница интервала", "js6, До 12:", "a11, До 12:"}) {
    QVERIFY2(text.contains(QString::fromUtf8(cell)), qPrintable(text));
  }
  QCOMPARE(text.count(QStringLiteral("\n")), 3);
  QCOMPARE(answers.Seen()[0].icon, int(QMessageBox::Information));
}

void TestMainWindowIso::addClassesRefusesAnExistingName() {
  mwtest::WorkDir dir(ThreeIntervals().Bytes());
  tktest::ModalAnswerer answers;
  QStringList troubles;
  answers.QueueDialogAction([&](QWidget* window) {
    auto* dialog = qobject_cast<IsoClassesDialog*>(window);
    for (const QString& names : {QStringLiteral("g6 h7"), QStringLiteral("g6 g6"),
                                 QStringLiteral("Q7"), QStringLiteral("  ")}) {
      EnterNames(dialog, names);
      QVERIFY(dialog->isVisible());
      QVERIFY(dialog->Label2->isVisible());
      troubles << dialog->Label2->text();
    }
    EnterNames(dialog, "H7");  // the hole beside the shaft h7 is no duplicate
  });
  answers.QueueBoxAnswer(QMessageBox::Ok);  // the interval 12 left empty in the new column
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    form.MenuAddIso->trigger();
    QCOMPARE(LineTexts(form.StringGrid1->RowTexts(0)),
             (QStringList{"     мм  ", "h7    ", "H7    "}));
  });
  QVERIFY(outcome.script_ran);
  QCOMPARE(troubles, (QStringList{"Такой квалитет уже есть", "Такой квалитет уже есть",
                                  "Q7: в ISO 286 нет основного отклонения с такой буквой",
                                  "Не задан квалитет"}));
  QVERIFY(!answers.Seen().isEmpty());
  QVERIFY(answers.Seen()[0].text.contains(QStringLiteral("H7, До 12")));
}

void TestMainWindowIso::addClassesCancelledChangesNothing() {
  mwtest::WorkDir dir(ThreeIntervals().Bytes());
  tktest::ModalAnswerer answers;
  answers.QueueDialogAction([](QWidget* window) {
    auto* dialog = qobject_cast<IsoClassesDialog*>(window);
    QTest::keyClicks(dialog->Edit1, "H7");
    QTest::keyClick(dialog->Edit1, Qt::Key_Escape);
  });
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    form.MenuAddIso->trigger();
    QCOMPARE(form.StringGrid1->ColCount(), 2);
    QVERIFY(!form.Unsaved());
  });
  QVERIFY(outcome.script_ran);
  QVERIFY(answers.Seen().isEmpty());
}

void TestMainWindowIso::fillRow_data() {
  QTest::addColumn<double>("bound");
  QTest::addColumn<bool>("rounding");
  QTest::addColumn<QStringList>("row");  // the current row afterwards, label first
  QTest::addColumn<QString>("message");  // "" for none
  QTest::addColumn<bool>("unsaved");
  const QString not_filled10 = QStringLiteral(
      "Интервал До 10: по ISO 286 не заполнены квалитеты:\n"
      "xyz: это не обозначение поля допуска (буквы и номер квалитета, например H7 или g6)\n"
      "K9: K грубее 8-го квалитета задан только для размеров до 3 мм");
  QTest::newRow("ISO classes filled, the others listed")
      << 10.0 << false
      << QStringList{"До 10", "0.015 0", "0.0045 -0.0045", "0.0075 -0.0075", "1 1", "1 1"}
      << not_filled10 << true;
  QTest::newRow("with the rounding option JS7 is whole micrometres")
      << 10.0 << true
      << QStringList{"До 10", "0.015 0", "0.0045 -0.0045", "0.007 -0.007", "1 1", "1 1"}
      << not_filled10 << true;
  QTest::newRow("up to 3 mm K9 is defined, xyz still listed")
      << 3.0 << false
      << QStringList{"До 3", "0.01 0", "0.003 -0.003", "0.005 -0.005", "1 1", "0 -0.025"}
      << QStringLiteral("Интервал До 3: по ISO 286 не заполнены квалитеты:\nxyz: ") << true;
  QTest::newRow("a bound inside a range fills nothing")
      << 12.0 << false << QStringList{"До 12", "1 1", "1 1", "1 1", "1 1", "1 1"}
      << QStringLiteral("Интервал До 12: по ISO 286 не заполнены квалитеты:\nH7: граница") << false;
}

void TestMainWindowIso::fillRow() {
  QFETCH(double, bound);
  QFETCH(bool, rounding);
  QFETCH(QStringList, row);
  QFETCH(QString, message);
  QFETCH(bool, unsaved);
  mwtest::WorkDir dir;
  const std::vector<std::pair<double, double>> ones{{1, 1}, {1, 1}};
  dir.Write(TableFile{
      {1, bound},
      {"H7    ", " js6  ", "JS7   ", "xyz   ", "K9    "},
      {ones, ones, ones, ones,
       ones}}.Bytes());
  tktest::ModalAnswerer answers;
  if (!message.isEmpty()) answers.QueueBoxAnswer(QMessageBox::Ok);
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    tk::StringGrid& grid = *form.StringGrid1;
    form.MenuIsoRounding->setChecked(rounding);
    mwtest::MoveToCell(form, 2, 2);
    form.MenuFillIso->trigger();
    QCOMPARE(LineTexts(grid.RowTexts(2)), LocalizedTexts(row));
    const QStringList untouched{"1 1", "1 1", "1 1", "1 1", "1 1"};
    QCOMPARE(LineTexts(grid.RowTexts(1)), LocalizedTexts(QStringList{"До 1"} + untouched));
    QCOMPARE(form.Unsaved(), unsaved);
    // A fill that changed cells is one step; undone, the row is as loaded.
    TableUndo& history = form.UndoHistory();
    QCOMPARE(history.Stack().canUndo(), unsaved);
    history.Undo();
    QCOMPARE(LineTexts(grid.RowTexts(2)), LocalizedTexts(QStringList{row[0]} + untouched));
    QVERIFY(!history.Stack().canUndo());
    QVERIFY(!form.Unsaved());
  });
  QVERIFY(outcome.script_ran);
  // The unsaved question at the end comes after any box of the command.
  const QString question = QStringLiteral("Значения допусков не записаны. Выходить?");
  if (message.isEmpty()) {
    QVERIFY(answers.Seen().isEmpty() || answers.Seen()[0].text == question);
  } else {
    QVERIFY(!answers.Seen().isEmpty());
    QVERIFY2(answers.Seen()[0].text.startsWith(message), qPrintable(answers.Seen()[0].text));
  }
}

int main(int argc, char** argv) {
  tk::Application application(argc, argv);
  TestMainWindowIso test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_main_window_iso.moc"
