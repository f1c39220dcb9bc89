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

  void entryFieldKeepsOnlyWhatALabelCanHold_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("shown");
    QTest::newRow("grade names are lower case") << kGrade << false << "H7"
                                                << "h7";
    QTest::newRow("grade names have six characters") << kGrade << false << "abcdefgh"
                                                     << "abcdef";
    QTest::newRow("Cyrillic is kept, lowered") << kGrade << false << "ЖЁ7"
                                               << "жё7";
    QTest::newRow("no Windows-1251 form, refused") << kGrade << false << "h✓7"
                                                   << "h7";
    QTest::newRow("pasted grade lowered") << kGrade << true << "H7"
                                          << "h7";
    QTest::newRow("pasted grade without Windows-1251 form") << kGrade << true << "h✓"
                                                            << "";
    QTest::newRow("letters and signs dropped") << kInterval << false << "2a5x-0."
                                               << "250";
    QTest::newRow("bounds have ten digits") << kInterval << false << "12345678901"
                                            << "1234567890";
  }
  void entryFieldKeepsOnlyWhatALabelCanHold() {
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

  void missingOrExistingLabelIsRefused_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<bool>("by_save");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    for (const bool by_save : {false, true}) {
      const char* how = by_save ? "save: " : "enter: ";
      QTest::addRow("%sno grade", how) << kGrade << by_save << ""
                                       << "Не задан квалитет";
      QTest::addRow("%sgrade H7 exists, case ignored", how) << kGrade << by_save << "h7"
                                                            << "Такой квалитет уже есть";
      QTest::addRow("%sno interval", how) << kInterval << by_save << ""
                                          << "Не задан интервал";
      QTest::addRow("%sinterval exists", how) << kInterval << by_save << "10"
                                              << "Такой интервал уже есть";
      QTest::addRow("%sinterval exists, typed with a leading zero", how)
          << kInterval << by_save << "010"
          << "Такой интервал уже есть";
    }
  }
  void missingOrExistingLabelIsRefused() {
    QFETCH(Kind, kind);
    QFETCH(bool, by_save);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    RunDialog(kind, {[&](AddDialog& d) {
                       TypeInto(d.Edit1, typed);
                       if (by_save) {
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
  void leadingZerosOfAnIntervalAreDropped_data() {
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
  void leadingZerosOfAnIntervalAreDropped() {
    QFETCH(QString, typed);
    QFETCH(QString, label);
    RunDialog(kInterval, {[&](AddDialog& d) {
                            TypeInto(d.Edit1, typed);
                            QTest::keyClick(d.Edit1, Qt::Key_Return);
                            QCOMPARE(NewLineCell(d, kInterval, 0), label);
                          },
                          kLeave});
  }

  void enterStepsOnUntilTheLastValueCell_data() { AddKinds(); }
  void enterStepsOnUntilTheLastValueCell() {
    QFETCH(Kind, kind);
    RunDialog(kind,
              {[&](AddDialog& d) {
                 TypeInto(d.Edit1, "77");
                 QTest::keyClick(d.Edit1, Qt::Key_Return);
                 QVERIFY(d.StringGrid1->isAncestorOf(Focused()) || Focused() == d.StringGrid1);
                 QCOMPARE(NewLineCell(d, kind, 0), kind == kGrade ? "77    " : "До 77");
                 QVERIFY(DialogUnsaved(kind));
                 // The main grid's labels of the other direction, copied into the fixed line.
                 QCOMPARE(Text(kind == kGrade ? d.StringGrid1->GetCell(0, kIntervals)
                                              : d.StringGrid1->GetCell(kGrades, 0)),
                          Text(kind == kGrade ? kTable[kIntervals][0] : kTable[0][kGrades]));
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

  void deleteAndBackspaceEditEntryAndValueCell_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("typed");
    QTest::newRow("grade") << kGrade << "abc";
    QTest::newRow("interval, digits only") << kInterval << "123";
  }
  // Backspace removes the character before the caret and Delete the one after it, in the entry
  // field (whose filter lets only label characters through) and in a value cell's editor.
  void deleteAndBackspaceEditEntryAndValueCell() {
    QFETCH(Kind, kind);
    QFETCH(QString, typed);
    RunDialog(kind, {[&](AddDialog& d) {
                       TypeInto(d.Edit1, typed);
                       Press(Qt::Key_Backspace);
                       Press(Qt::Key_Home);
                       PressDelete();
                       QCOMPARE(d.Edit1->text(), typed.mid(1, 1));
                       Press(Qt::Key_Return);
                       QCOMPARE(CurrentIndex(d, kind), 1);
                       Type("123");
                       Press(Qt::Key_Backspace);
                       Press(Qt::Key_Home);
                       PressDelete();
                       Press(Qt::Key_Return);
                       QCOMPARE(NewLineCell(d, kind, 1), QStringLiteral("2"));
                     },
                     kLeave});
  }

  void saveStopsOnTheFirstBadValueCell_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<int>("bad");
    QTest::newRow("empty cell") << kGrade << QStringList{"0,018 0", "", "1 2"} << 2;
    QTest::newRow("one number only") << kGrade << QStringList{"0,018", "1 2", "1 2"} << 1;
    QTest::newRow("sign without digits") << kGrade << QStringList{"1 2", "3 4", "+ 5"} << 3;
    QTest::newRow("two decimal points") << kInterval << QStringList{"1..2 3", "1 2"} << 1;
    QTest::newRow("last cell empty") << kInterval << QStringList{"1 2", ""} << 2;
  }
  void saveStopsOnTheFirstBadValueCell() {
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
  void tabGoesRoundTheControls_data() { AddKinds(); }
  void tabGoesRoundTheControls() {
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
