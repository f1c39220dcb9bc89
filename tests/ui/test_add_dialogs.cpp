// The add-grade and add-interval dialogs while a new line is typed: the entry field, entering
// the grid, moving through the value cells, and the save button's checks. Driven by real key
// and mouse events from inside the dialogs' modal loops.

#include <QClipboard>
#include <QTest>

#include "tests/support/add_dialog_fixture.h"

using namespace tktest;

class TestAddDialogs : public QObject {
  Q_OBJECT

 private slots:
  void init() { SetUpMainWindow(); }
  void cleanup() { TearDownMainWindow(); }

  void EntryFieldKeepsOnlyWhatALabelCanHold_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("shown");
    QTest::newRow("grade names are lower case") << Grade << false << "H7"
                                                << "h7";
    QTest::newRow("grade names have six characters") << Grade << false << "abcdefgh"
                                                     << "abcdef";
    QTest::newRow("Cyrillic is kept, lowered") << Grade << false << "ЖЁ7"
                                               << "жё7";
    QTest::newRow("no Windows-1251 form, refused") << Grade << false << "h✓7"
                                                   << "h7";
    QTest::newRow("pasted grade lowered") << Grade << true << "H7"
                                          << "h7";
    QTest::newRow("pasted grade without Windows-1251 form") << Grade << true << "h✓"
                                                            << "";
    QTest::newRow("letters and signs dropped") << Interval << false << "2a5x-0."
                                               << "250";
    QTest::newRow("bounds have ten digits") << Interval << false << "12345678901"
                                            << "1234567890";
  }
  void EntryFieldKeepsOnlyWhatALabelCanHold() {
    QFETCH(Kind, kind);
    QFETCH(bool, pasted);
    QFETCH(QString, input);
    QFETCH(QString, shown);
    if (pasted) QApplication::clipboard()->setText(input);
    RunDialog(kind, {[&](AddDialog& d) {
                       QCOMPARE(Focused(), static_cast<QWidget*>(d.Edit1));  // the first focus
                       if (pasted) {
                         QTest::keyClick(d.Edit1, Qt::Key_V, Qt::ControlModifier);
                       } else {
                         TypeInto(d.Edit1, input);
                       }
                       QCOMPARE(d.Edit1->text(), shown);
                     },
                     kLeave});
  }

  void MissingOrExistingLabelIsRefused_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<bool>("bySave");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    for (const bool bySave : {false, true}) {
      const char* how = bySave ? "save: " : "enter: ";
      QTest::addRow("%sno grade", how) << Grade << bySave << ""
                                       << "Не задан квалитет";
      QTest::addRow("%sgrade H7 exists, case ignored", how) << Grade << bySave << "h7"
                                                            << "Такой квалитет уже есть";
      QTest::addRow("%sno interval", how) << Interval << bySave << ""
                                          << "Не задан интервал";
      QTest::addRow("%sinterval exists", how) << Interval << bySave << "10"
                                              << "Такой интервал уже есть";
      QTest::addRow("%sinterval exists, typed with a leading zero", how)
          << Interval << bySave << "010"
          << "Такой интервал уже есть";
    }
  }
  void MissingOrExistingLabelIsRefused() {
    QFETCH(Kind, kind);
    QFETCH(bool, bySave);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    RunDialog(kind, {[&](AddDialog& d) {
                       TypeInto(d.Edit1, typed);
                       if (bySave) {
                         Click(d.BitBtnSave);
                       } else {
                         QTest::keyClick(d.Edit1, Qt::Key_Return);
                       }
                       QCOMPARE(Focused(), static_cast<QWidget*>(d.Edit1));
                       QCOMPARE(d.Edit1->selectedText(), typed);
                       QCOMPARE(VisibleMessages(d), QStringList{message});
                       QCOMPARE(NewLineCell(d, kind, 0), QString());
                       QVERIFY(MainUnchanged());
                       // The next key in the entry field hides the message again.
                       QTest::keyClick(d.Edit1, Qt::Key_Backspace);
                       QCOMPARE(VisibleMessages(d), QStringList{});
                     },
                     kLeave});
  }

  // The label is made from the bound's digits without leading zeros; zeros alone give "0".
  void LeadingZerosOfAnIntervalAreDropped_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("label");
    QTest::newRow("leading zeros") << "0077"
                                   << "До 77";
    QTest::newRow("zero stays") << "0"
                                << "До 0";
    QTest::newRow("zeros become one") << "000"
                                      << "До 0";
    QTest::newRow("inner zeros stay") << "1000"
                                      << "До 1000";
  }
  void LeadingZerosOfAnIntervalAreDropped() {
    QFETCH(QString, typed);
    QFETCH(QString, label);
    RunDialog(Interval, {[&](AddDialog& d) {
                           TypeInto(d.Edit1, typed);
                           QTest::keyClick(d.Edit1, Qt::Key_Return);
                           QCOMPARE(NewLineCell(d, Interval, 0), label);
                         },
                         kLeave});
  }

  void EnterStepsOnUntilTheLastValueCell_data() { AddKinds(); }
  void EnterStepsOnUntilTheLastValueCell() {
    QFETCH(Kind, kind);
    RunDialog(kind,
              {[&](AddDialog& d) {
                 TypeInto(d.Edit1, "77");
                 QTest::keyClick(d.Edit1, Qt::Key_Return);
                 QVERIFY(d.StringGrid1->isAncestorOf(Focused()) || Focused() == d.StringGrid1);
                 QCOMPARE(NewLineCell(d, kind, 0), kind == Grade ? "77    " : "До 77");
                 QVERIFY(DialogUnsaved(kind));
                 // The main grid's labels of the other direction, copied into the fixed line.
                 QCOMPARE(Text(kind == Grade ? d.StringGrid1->GetCell(0, kIntervals)
                                             : d.StringGrid1->GetCell(kGrades, 0)),
                          Text(kind == Grade ? kTable[kIntervals][0] : kTable[0][kGrades]));
                 QCOMPARE(CurrentIndex(d, kind), 1);
                 for (int a = 1; a <= ValueCells(kind) + 2; ++a) {
                   Type("x1y2");  // letters never reach a value cell
                   Press(Qt::Key_Return);
                   QCOMPARE(CurrentIndex(d, kind), std::min(a + 1, ValueCells(kind)));
                 }
                 QCOMPARE(NewLineCell(d, kind, 1), QStringLiteral("12"));
               },
               kLeave});
  }

  void SaveStopsOnTheFirstBadValueCell_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<int>("bad");
    QTest::newRow("empty cell") << Grade << QStringList{"0,018 0", "", "1 2"} << 2;
    QTest::newRow("one number only") << Grade << QStringList{"0,018", "1 2", "1 2"} << 1;
    QTest::newRow("sign without digits") << Grade << QStringList{"1 2", "3 4", "+ 5"} << 3;
    QTest::newRow("two decimal points") << Interval << QStringList{"1..2 3", "1 2"} << 1;
    QTest::newRow("last cell empty") << Interval << QStringList{"1 2", ""} << 2;
  }
  void SaveStopsOnTheFirstBadValueCell() {
    QFETCH(Kind, kind);
    QFETCH(QStringList, values);
    QFETCH(int, bad);
    RunDialog(kind,
              {[&](AddDialog& d) {
                 TypeInto(d.Edit1, NewLabel(kind));
                 QTest::keyClick(d.Edit1, Qt::Key_Return);
                 for (const QString& value : values) {
                   Type(value);
                   Press(Qt::Key_Return);
                 }
                 Click(d.BitBtnSave);
                 QCOMPARE(VisibleMessages(d), QStringList{"Ошибка при вводе допусков"});
                 QCOMPARE(CurrentIndex(d, kind), bad);
                 QVERIFY(d.StringGrid1->isAncestorOf(Focused()) || Focused() == d.StringGrid1);
                 QVERIFY(MainUnchanged());
                 Type("1");  // the next key in the grid hides the message
                 QCOMPARE(VisibleMessages(d), QStringList{});
               },
               kLeave});
  }

  // The cell editor always shows in a dialog grid, so Tab starts from inside it; it must still
  // reach the buttons and go round the window's controls in order.
  void TabGoesRoundTheControls_data() { AddKinds(); }
  void TabGoesRoundTheControls() {
    QFETCH(Kind, kind);
    RunDialog(kind,
              {[&](AddDialog& d) {
                 TypeInto(d.Edit1, NewLabel(kind));
                 QTest::keyClick(d.Edit1, Qt::Key_Return);
                 QVERIFY(d.StringGrid1->isAncestorOf(Focused()));
                 Press(Qt::Key_Tab);
                 QCOMPARE(Focused(), static_cast<QWidget*>(d.BitBtnSave));
                 Press(Qt::Key_Tab);
                 QCOMPARE(Focused(), static_cast<QWidget*>(d.BitBtnExit));
                 Press(Qt::Key_Tab);
                 QCOMPARE(Focused(), static_cast<QWidget*>(d.Edit1));
                 Press(Qt::Key_Tab);
                 QVERIFY(d.StringGrid1->isAncestorOf(Focused()) || Focused() == d.StringGrid1);
                 QTest::keyClick(Focused(), Qt::Key_Backtab, Qt::ShiftModifier);
                 QCOMPARE(Focused(), static_cast<QWidget*>(d.Edit1));
               },
               kLeave});
  }
};

int main(int argc, char** argv) {
  TestAddDialogs tests;
  return RunAddDialogTests(tests, argc, argv);
}

#include "test_add_dialogs.moc"
