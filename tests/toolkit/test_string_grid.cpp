// The string grid's cell editor, keys, mouse and focus, driven by real key and mouse events.

#include <QAction>
#include <QHeaderView>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>

#include "tests/support/modal_answer.h"
#include "tests/toolkit/grid_test_window.h"
#include "toolkit/errors.h"
#include "toolkit/grid_model.h"
#include "toolkit/message_box.h"

using tktest::GridWindow;

class StringGridEditingTest : public QObject {
  Q_OBJECT

 private slots:
  void editReportsFollowKeys_data();
  void editReportsFollowKeys();
  void editingModeOpensCaretAtEndAndClosesOnce();
  void setCellReloadsOpenEditorSilently();
  void keyPressHandlerSeesEveryCharacterFirst();
  void handlerErrorIsReportedAndEditingGoesOn();
  void alwaysShownEditorEnterToggles();
  void enterMovedOnByHandlerLeavesCaretAtEnd();
  void sideKeysLeaveTextOnlyAtItsEnds_data();
  void sideKeysLeaveTextOnlyAtItsEnds();
  void shiftArrowsSelectRange();
  void f2MenuShortcutComesFirst();
  void mousePressCommitsThenMoves();
  void mousePressOnFixedRowOnlyCommits();
  void draggingHeaderBoundaryStoresWidth();
  void enterRaisedOnlyOnEntryFromSameWindow();
  void tabLeavesEditorOpenAndSilent();
  void messageBoxLeavesEditorOpenAndSilent();
};

// One row per key script on a main-window grid whose current cell (1, 1) holds "x".
void StringGridEditingTest::editReportsFollowKeys_data() {
  QTest::addColumn<QString>("keys");
  QTest::addColumn<int>("reports");
  QTest::addColumn<QString>("cell");
  QTest::newRow("seven typed characters, then leaving") << "0,018 0↓" << 8 << "0,018 0";
  QTest::newRow("enter opens, enter closes untouched") << "\r\r" << 1 << "x";
  QTest::newRow("esc neither cancels nor reports") << "ab\x1b↓" << 3 << "ab";
  QTest::newRow("backspace on closed editor empties") << "\b↓" << 2 << "";
  QTest::newRow("enter opens with whole text selected") << "\rz\r" << 2 << "z";
  QTest::newRow("F2 opens like enter") << "§q\r" << 2 << "q";
  QTest::newRow("up on the first row stays in the text") << "a↑b\r" << 3 << "ab";
  QTest::newRow("moving after a close reports nothing") << "k\r↓" << 2 << "k";
  QTest::newRow("backspace in the editor removes the character before") << "abc\b\r" << 5 << "ab";
  QTest::newRow("delete in the editor removes the character after") << "abc⇤⌦\r" << 5 << "bc";
  QTest::newRow("delete on the closed editor does nothing") << "⌦↓" << 0 << "x";
}

void StringGridEditingTest::editReportsFollowKeys() {
  QFETCH(QString, keys);
  QFETCH(int, reports);
  QFETCH(QString, cell);
  GridWindow w(tktest::kMainGridOptions);
  w.grid->SetCell(1, 1, "x");
  QVERIFY(w.Show());
  GridWindow::Press(keys);
  QCOMPARE(static_cast<int>(w.reports.size()), reports);
  QCOMPARE(QString::fromStdString(w.grid->GetCell(1, 1)), cell);
  for (const auto& report : w.reports) {
    QCOMPARE(report.col, 1);
    QCOMPARE(report.row, 1);
    QCOMPARE(report.cell_when_raised, report.value);  // the text is in the cell already
  }
}

void StringGridEditingTest::editingModeOpensCaretAtEndAndClosesOnce() {
  GridWindow w(tktest::kMainGridOptions);
  w.grid->SetCell(1, 1, "0.5 1");
  QVERIFY(w.Show());
  w.grid->SetEditingMode(true);
  QVERIFY(w.Editor() != nullptr);
  QVERIFY(!w.Editor()->hasSelectedText());
  QCOMPARE(w.Editor()->cursorPosition(), 5);
  QCOMPARE(QApplication::focusWidget(), w.Editor());
  w.grid->SetEditingMode(false);
  w.grid->SetEditingMode(false);
  QCOMPARE(w.reports.size(), std::size_t{1});
  QCOMPARE(w.reports[0].value, "0.5 1");
  QVERIFY(w.Editor() == nullptr);
  QCOMPARE(QApplication::focusWidget(), w.grid);
}

void StringGridEditingTest::setCellReloadsOpenEditorSilently() {
  GridWindow w(tktest::kMainGridOptions);
  QVERIFY(w.Show());
  GridWindow::Press("ab");
  w.reports.clear();
  w.grid->SetCell(1, 1, "new");
  QCOMPARE(w.Editor()->text(), QStringLiteral("new"));
  QCOMPARE(w.Editor()->selectedText(), QStringLiteral("new"));
  QVERIFY(w.reports.empty());
}

void StringGridEditingTest::keyPressHandlerSeesEveryCharacterFirst() {
  GridWindow w(tktest::kMainGridOptions);
  QString seen;
  w.grid->OnKeyPress = [&seen](QObject*, QChar& key) {
    seen += key;
    if (key == u'.') key = u',';
    if (key.isLetter() || key == QChar(13)) key = QChar(0);
  };
  QVERIFY(w.Show());
  GridWindow::Press("1a.5\b\r");
  QCOMPARE(seen, QStringLiteral("1a.5\b\r"));
  QCOMPARE(w.grid->GetCell(1, 1), "1,");  // "." replaced, "a" dropped, "5" erased again
  QVERIFY(w.Editor() != nullptr);         // the discarded Enter did not close it
}

void StringGridEditingTest::handlerErrorIsReportedAndEditingGoesOn() {
  GridWindow w(tktest::kMainGridOptions);
  w.grid->OnSetEditText = [](QObject*, std::int32_t, std::int32_t, const std::string&) {
    throw tk::EInvalidGridOperation();
  };
  QVERIFY(w.Show());
  tktest::ModalAnswerer answerer;
  answerer.QueueBoxAnswer(QMessageBox::Ok);
  GridWindow::Press("7");
  QTRY_COMPARE(answerer.Seen().size(), 1);
  QCOMPARE(answerer.Seen()[0].text, QStringLiteral("Grid index out of range."));
  QCOMPARE(w.grid->GetCell(1, 1), "7");
}

void StringGridEditingTest::alwaysShownEditorEnterToggles() {
  GridWindow w(tktest::kDialogGridOptions);
  w.grid->SetCell(1, 1, "12");
  QVERIFY(w.grid->EditingMode());
  QVERIFY(w.Show());
  QLineEdit* editor = w.Editor();
  QVERIFY(editor != nullptr);
  QCOMPARE(editor->selectedText(), QStringLiteral("12"));
  GridWindow::Press("\r");
  QVERIFY(!editor->hasSelectedText());
  QCOMPARE(editor->cursorPosition(), 2);
  GridWindow::Press("\r");
  QCOMPARE(editor->selectedText(), QStringLiteral("12"));
  QVERIFY(w.reports.empty());
  QVERIFY(w.Editor() != nullptr);
}

// The add dialogs move the current cell on Enter and let the key through.
void StringGridEditingTest::enterMovedOnByHandlerLeavesCaretAtEnd() {
  GridWindow w(tktest::kDialogGridOptions);
  w.grid->SetCell(1, 2, "0 1");
  w.grid->OnKeyPress = [&w](QObject*, QChar& key) {
    if (key == QChar(13)) w.grid->SetCurrentRow(w.grid->CurrentRow() + 1);
  };
  QVERIFY(w.Show());
  GridWindow::Press("5\r");
  QCOMPARE(w.grid->CurrentRow(), 2);
  QCOMPARE(w.Editor()->text(), QStringLiteral("0 1"));
  QVERIFY(!w.Editor()->hasSelectedText());
  QCOMPARE(w.Editor()->cursorPosition(), 3);
  QCOMPARE(w.reports.back().row, 1);  // the old cell was committed
  QCOMPARE(w.grid->GetCell(1, 1), "5");
}

void StringGridEditingTest::sideKeysLeaveTextOnlyAtItsEnds_data() {
  QTest::addColumn<uint>("options");
  QTest::addColumn<QString>("keys");
  QTest::addColumn<int>("col");
  QTest::newRow("whole text selected, right") << uint{tktest::kDialogGridOptions} << "→" << 3;
  QTest::newRow("caret at end, right") << uint{tktest::kDialogGridOptions} << "\r→" << 3;
  QTest::newRow("caret at end, left moves caret") << uint{tktest::kDialogGridOptions} << "\r←" << 2;
  QTest::newRow("caret at start, left") << uint{tktest::kDialogGridOptions} << "\r⇤←" << 1;
  QTest::newRow("caret inside, ctrl+left") << uint{tktest::kDialogGridOptions} << "\r←^←" << 1;
  QTest::newRow("whole text selected, end") << uint{tktest::kDialogGridOptions} << "⇥" << 4;
  QTest::newRow("main grid keeps the caret") << uint{tktest::kMainGridOptions} << "\r→→" << 2;
}

void StringGridEditingTest::sideKeysLeaveTextOnlyAtItsEnds() {
  QFETCH(uint, options);
  QFETCH(QString, keys);
  GridWindow w(options);
  for (std::int32_t col = 1; col < 5; ++col) w.grid->SetCell(col, 1, "ab");
  w.grid->SetCurrentCol(2);
  QVERIFY(w.Show());
  GridWindow::Press(keys);
  QTEST(w.grid->CurrentCol(), "col");
}

void StringGridEditingTest::shiftArrowsSelectRange() {
  GridWindow w(tktest::kMainGridOptions);
  QVERIFY(w.Show());
  GridWindow::Press("⇧↓⇧→");
  const QModelIndexList picked = w.grid->selectionModel()->selectedIndexes();
  QCOMPARE(picked.size(), 4);
  QCOMPARE(w.grid->CurrentCol(), 2);
  QCOMPARE(w.grid->CurrentRow(), 2);
  w.grid->SetCurrentRow(1);
  QCOMPARE(w.grid->selectionModel()->selectedIndexes().size(), 1);
}

void StringGridEditingTest::f2MenuShortcutComesFirst() {
  GridWindow w(tktest::kMainGridOptions);
  auto* save = new QAction(&w.Window());
  save->setShortcut(Qt::Key_F2);
  w.Window().addAction(save);
  QSignalSpy saved(save, &QAction::triggered);
  QVERIFY(w.Show());
  GridWindow::Press("§");
  QCOMPARE(saved.count(), 1);
  QVERIFY(w.Editor() == nullptr);
  GridWindow::Press("\r§");  // also from inside the editor
  QCOMPARE(saved.count(), 2);
  QVERIFY(w.Editor() != nullptr);
}

void StringGridEditingTest::mousePressCommitsThenMoves() {
  GridWindow w(tktest::kMainGridOptions);
  QVERIFY(w.Show());
  GridWindow::Press("9");
  const QPoint cell22 = w.grid->visualRect(w.grid->Model()->IndexOf(2, 2)).center();
  QTest::mouseClick(w.grid->viewport(), Qt::LeftButton, {}, cell22);
  QCOMPARE(w.reports.size(), std::size_t{2});
  QCOMPARE(w.grid->CurrentCol(), 2);
  QCOMPARE(w.grid->CurrentRow(), 2);
  QVERIFY(w.Editor() == nullptr);
  QTest::mouseClick(w.grid->viewport(), Qt::LeftButton, Qt::ShiftModifier, cell22);
  QVERIFY(w.Editor() != nullptr);  // a press on the current cell reopens the editor
  QCOMPARE(w.grid->selectionModel()->selectedIndexes().size(), 1);
}

void StringGridEditingTest::mousePressOnFixedRowOnlyCommits() {
  GridWindow w(tktest::kMainGridOptions);
  QVERIFY(w.Show());
  GridWindow::Press("\r");
  QHeaderView* top = w.grid->horizontalHeader();
  QTest::mouseClick(top->viewport(), Qt::LeftButton, {}, QPoint(top->sectionPosition(2) + 20, 5));
  QCOMPARE(w.reports.size(), std::size_t{1});
  QVERIFY(w.Editor() == nullptr);
  QCOMPARE(w.grid->CurrentCol(), 1);
  QCOMPARE(w.grid->CurrentRow(), 1);
}

void StringGridEditingTest::draggingHeaderBoundaryStoresWidth() {
  GridWindow w(tktest::kMainGridOptions);
  QVERIFY(w.Show());
  QWidget* header = w.grid->horizontalHeader()->viewport();
  const int boundary = w.grid->horizontalHeader()->sectionViewportPosition(1) - 1;
  QTest::mousePress(header, Qt::LeftButton, {}, QPoint(boundary, 10));
  QTest::mouseMove(header, QPoint(boundary + 30, 10));
  QTest::mouseRelease(header, Qt::LeftButton, {}, QPoint(boundary + 30, 10));
  QCOMPARE(w.grid->ColWidth(1), tk::StringGrid::DefaultColWidth + 30);
  QCOMPARE(w.grid->ColWidth(2), tk::StringGrid::DefaultColWidth);
}

void StringGridEditingTest::enterRaisedOnlyOnEntryFromSameWindow() {
  GridWindow w(tktest::kMainGridOptions);
  QVERIFY(w.Show());
  QCOMPARE(w.entries, 1);
  GridWindow::Press("\r");  // into the editor and back: one control
  GridWindow::Press("\r");
  QCOMPARE(w.entries, 1);
  QWidget elsewhere;
  elsewhere.show();
  QApplication::setActiveWindow(&elsewhere);
  QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
  QApplication::setActiveWindow(&w.Window());
  QVERIFY(QTest::qWaitForWindowActive(&w.Window()));
  QCOMPARE(QApplication::focusWidget(), w.grid);
  QCOMPARE(w.entries, 1);
  w.other->setFocus(Qt::TabFocusReason);
  w.grid->setFocus(Qt::TabFocusReason);
  QCOMPARE(w.entries, 2);
}

void StringGridEditingTest::tabLeavesEditorOpenAndSilent() {
  GridWindow w(tktest::kMainGridOptions);
  QVERIFY(w.Show());
  GridWindow::Press("4\t");
  QCOMPARE(QApplication::focusWidget(), w.other);
  QCOMPARE(w.reports.size(), std::size_t{1});
  QVERIFY(w.Editor() != nullptr);
  QCOMPARE(w.grid->GetCell(1, 1), "4");
}

void StringGridEditingTest::messageBoxLeavesEditorOpenAndSilent() {
  GridWindow w(tktest::kMainGridOptions);
  QVERIFY(w.Show());
  GridWindow::Press("12");
  QLineEdit* editor = w.Editor();
  tktest::ModalAnswerer answerer;
  answerer.QueueBoxAnswer(QMessageBox::No);
  QCOMPARE(tk::ShowMessageBox("?", "Box", tk::MB_YESNO_QUESTION), tk::IDNO);
  // Reactivating is the message box's own business; here only the grid's side is looked at.
  QApplication::setActiveWindow(&w.Window());
  QTRY_COMPARE(QApplication::focusWidget(), editor);
  QCOMPARE(w.Editor(), editor);
  QCOMPARE(w.reports.size(), std::size_t{2});
  QCOMPARE(w.entries, 1);
  GridWindow::Press("3\t");
  GridWindow::Press("\x1b");  // lands in the other control
  w.other->setFocus(Qt::OtherFocusReason);
  QTest::keyClick(w.other, Qt::Key_Backtab, Qt::ShiftModifier);
  QCOMPARE(QApplication::focusWidget(), editor);  // back into the still open editor
  QCOMPARE(w.grid->GetCell(1, 1), "123");
}

int RunStringGridStoreTests(int argc, char** argv);

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  StringGridEditingTest editing;
  const int failures = QTest::qExec(&editing, argc, argv);
  return failures + RunStringGridStoreTests(argc, argv);
}

#include "test_string_grid.moc"
