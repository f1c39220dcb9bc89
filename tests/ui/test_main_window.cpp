// The main window from start to close: the load at start with its failures, the fitted
// widths, the layout, in-place editing and the question about unsaved edits.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <cerrno>

#include "data/number_text.h"
#include "tests/support/privileges.h"
#include "tests/ui/main_window_session.h"
#include "toolkit/application.h"
#include "toolkit/controls.h"
#include "toolkit/dispatch.h"
#include "toolkit/string_grid.h"
#include "ui/Addint.h"
#include "ui/Addkv.h"
#include "ui/main_window.h"

using mwtest::Localized;
using mwtest::TableFile;

namespace {

const QString kMissingFileText = QStringLiteral("Файл допусков не найден.");
const QString kUnsavedQuestion = QStringLiteral("Значения допусков не записаны. Выходить?");

// The shared two-by-two table with a long second bound, so that the label column's texts
// differ in length.
TableFile WideTwoByTwo() {
  TableFile table = mwtest::TwoByTwo();
  table.bounds[1] = 123456.789;
  return table;
}

// The grid fills the central widget below the 29-pixel tool bar.
bool FillsClientArea(const TForm1& form) {
  const QWidget* client = form.centralWidget();
  const QRect expected(0, 29, client->width(), client->height() - 29);
  const QRect actual(form.StringGrid1->mapTo(client, QPoint(0, 0)), form.StringGrid1->size());
  return actual == expected;
}

// True once another process holds an exclusive lock on the file: not even a shared one can be
// had here. A shared lock taken by the probe only delays a waiting exclusive locker.
bool LockedElsewhere(const QString& path) {
  const int fd = ::open(qPrintable(path), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool locked = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);
  return locked;
}

}  // namespace

class TestMainWindow : public QObject {
  Q_OBJECT

 private slots:
  void missingFileEndsProgramAfterOneBox_data();
  void missingFileEndsProgramAfterOneBox();
  void layout();
  void loadFillsClientAreaAndFitsWidths_data();
  void loadFillsClientAreaAndFitsWidths();
  void loadFailureIsReportedAndWindowStays_data();
  void loadFailureIsReportedAndWindowStays();
  void editingSetsUnsavedFlag();
  void addDialogRunsOnceAndTableIsNotReloaded();
  void closeAsksOnlyAboutUnsavedEdits_data();
  void closeAsksOnlyAboutUnsavedEdits();
};

void TestMainWindow::missingFileEndsProgramAfterOneBox_data() {
  QTest::addColumn<bool>("directory");
  QTest::newRow("no entry") << false;
  QTest::newRow("a directory of that name") << true;
}

void TestMainWindow::missingFileEndsProgramAfterOneBox() {
  QFETCH(bool, directory);
  mwtest::WorkDir dir;
  if (directory) QVERIFY(QDir().mkdir(dir.Path("Zarava.win")));
  tktest::ModalAnswerer answers;
  answers.QueueBoxAnswer(QMessageBox::Ok);
  answers.QueueBoxAnswer(QMessageBox::Yes);  // would answer a second, wrong box

  const mwtest::RunOutcome outcome = mwtest::RunProgram(answers, [](TForm1&) {});

  QVERIFY(outcome.ended_by_itself);
  QCOMPARE(answers.Seen().size(), 1);
  QCOMPARE(answers.Seen()[0].text, kMissingFileText);
  QCOMPARE(answers.Seen()[0].title, QStringLiteral("Ошибка"));
  QCOMPARE(answers.Seen()[0].icon, int(QMessageBox::Critical));
  QCOMPARE(QFileInfo(dir.Path("Zarava.win")).isDir(), directory);  // nothing was created
  QCOMPARE(QFileInfo::exists(dir.Path("Zarava.win")), directory);
}

void TestMainWindow::layout() {
  mwtest::WorkDir dir(WideTwoByTwo().Bytes());
  tktest::ModalAnswerer answers;
  const auto outcome = mwtest::RunProgram(answers, [](TForm1& form) {
    QCOMPARE(form.windowTitle(), QStringLiteral("Редактор файла допусков"));
    QVERIFY(form.isMaximized());
    QCOMPARE(form.ActiveControl(), static_cast<QWidget*>(form.StringGrid1));
    QVERIFY(form.StringGrid1->hasFocus());
    const std::pair<tk::FlatButton*, const char*> buttons[] = {{form.Save, "Сохранить"},
                                                               {form.Edit, "Редактировать"},
                                                               {form.AddKv, "Добавить квалитет"},
                                                               {form.DelKv, "Удалить квалитет"},
                                                               {form.AddInt, "Добавить интервал"},
                                                               {form.DelInt, "Удалить интервал"},
                                                               {form.BExit, "Выход"}};
    int x = 4;
    for (const auto& [button, hint] : buttons) {
      QCOMPARE(button->toolTip(), QString::fromUtf8(hint));
      QCOMPARE(button->geometry(), QRect(x, 2, 25, 25));
      QVERIFY2(!button->icon().isNull(), hint);  // the picture resource is registered
      x += 24;
    }
    QVERIFY(form.Label1->isHidden());

    // The "Вид" menu and "Печать..." below a separator come after the window's own items.
    const QList<QAction*> menus = form.menuBar()->actions();
    QCOMPARE(menus.size(), 3);
    QCOMPARE(menus[0]->text(), QStringLiteral("&Файл"));
    QCOMPARE(menus[1]->text(), QStringLiteral("&Редактор"));
    QCOMPARE(menus[2]->text(), QStringLiteral("&Вид"));
    QStringList file_items, edit_items;
    for (QAction* item : menus[0]->menu()->actions()) file_items << item->text();
    for (QAction* item : menus[1]->menu()->actions()) edit_items << item->text();
    QCOMPARE(file_items, (QStringList{"&Сохранить", "&Выход", "", "&Печать..."}));
    // The editor's own five; after a separator the ISO 286 commands; after another, undo and
    // redo, with nothing to replay right after the load.
    QCOMPARE(edit_items,
             (QStringList{"Редактировать допуска", "Добавить квалитет", "Удалить квалитет",
                          "Добавить интервал", "Удалить интервал", "",
                          "Добавить квалитеты по ISO 286...", "Заполнить строку по ISO 286",
                          "Округлять JS7–JS11 до чётного (ISO 286)", "", "Отменить", "Повторить"}));
    QVERIFY(menus[1]->menu()->actions()[5]->isSeparator());
    QVERIFY(menus[1]->menu()->actions()[9]->isSeparator());
    QVERIFY(!menus[1]->menu()->actions()[10]->isEnabled());
    QVERIFY(!menus[1]->menu()->actions()[11]->isEnabled());
    QCOMPARE(form.MenuSave->shortcut(), QKeySequence(Qt::Key_F2));
  });
  QVERIFY(outcome.script_ran);
  QVERIFY(answers.Seen().isEmpty());
}

void TestMainWindow::loadFillsClientAreaAndFitsWidths_data() {
  QTest::addColumn<QByteArray>("file");
  QTest::addColumn<QSize>("counts");  // columns, rows
  QTest::addColumn<QSize>("fixed");   // fixed columns, fixed rows
  QTest::addColumn<std::vector<int>>("widths");
  // Column 0: "     мм  " is 9 characters (11 UTF-8 bytes), "До 123456.789" 13.
  QTest::newRow("2 x 2, label and value texts longest")
      << WideTwoByTwo().Bytes() << QSize(3, 3) << QSize(1, 1) << std::vector<int>{91, 84, 42};
  // "-123456.125 1234567.5" is 21 characters, counted over more than two blocks of eight.
  QTest::newRow("a long value text")
      << TableFile{{10}, {"h7    "}, {{{-123456.125, 1234567.5}}}}.Bytes() << QSize(2, 2)
      << QSize(1, 1) << std::vector<int>{63, 147};
  QTest::newRow("no intervals: one row, fixed row given up")
      << TableFile{{}, {"h7    ", "js10  "}, {{}, {}}}.Bytes() << QSize(3, 1) << QSize(1, 0)
      << std::vector<int>{63, 42, 42};
  QTest::newRow("no grades: one column, fixed column given up")
      << TableFile{{10, 3.5}, {}, {}}.Bytes() << QSize(1, 3) << QSize(0, 1) << std::vector<int>{63};
}

void TestMainWindow::loadFillsClientAreaAndFitsWidths() {
  QFETCH(QByteArray, file);
  QFETCH(QSize, counts);
  QFETCH(QSize, fixed);
  QFETCH(std::vector<int>, widths);
  mwtest::WorkDir dir(file);
  tktest::ModalAnswerer answers;
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    const tk::StringGrid& grid = *form.StringGrid1;
    QCOMPARE(QSize(grid.ColCount(), grid.RowCount()), counts);
    QCOMPARE(QSize(grid.FixedCols(), grid.FixedRows()), fixed);
    QCOMPARE(mwtest::ColumnWidths(grid), widths);
    QVERIFY(FillsClientArea(form));
    QCOMPARE(grid.GetCell(0, 0), std::string("     мм  "));
    QVERIFY(!form.Unsaved());
  });
  QVERIFY(outcome.script_ran);
  QVERIFY(answers.Seen().isEmpty());  // no error box, no question at the close
}

void TestMainWindow::loadFailureIsReportedAndWindowStays_data() {
  QTest::addColumn<QByteArray>("file");
  QTest::addColumn<QString>("how");  // "", "locked" or "read-only"
  QTest::addColumn<QString>("message");
  QTest::addColumn<bool>("counts_read");  // the grid was docked before the failure
  const QByteArray whole = WideTwoByTwo().Bytes();
  QTest::newRow("empty") << QByteArray() << ""
                         << "Read beyond end of file." << false;
  // A file shorter than its counts promise is refused before the table changes.
  QTest::newRow("truncated in the values") << whole.left(whole.size() - 20) << ""
                                           << "Read beyond end of file." << false;
  // A signalling NaN fails only when its cell is formatted: labels and names are set by then.
  QByteArray signalling = whole;
  signalling.replace(signalling.size() - 8, 8, QByteArray::fromHex("010000000000f07f"));
  QTest::newRow("signalling NaN in the values") << signalling << ""
                                                << "Invalid floating point operation." << true;
  QTest::newRow("locked by another process")
      << whole << "locked" << QString("I/O error %1.").arg(EWOULDBLOCK) << false;
  QTest::newRow("read-only") << whole << "read-only"
                             << "File access denied." << false;
}

void TestMainWindow::loadFailureIsReportedAndWindowStays() {
  QFETCH(QByteArray, file);
  QFETCH(QString, how);
  QFETCH(QString, message);
  QFETCH(bool, counts_read);
  if (how == "read-only" && tol::testing::Privileged()) {
    // root may write any file: the check runs again as an unprivileged user.
    QVERIFY(mwtest::RunTestAsNobody("loadFailureIsReportedAndWindowStays:read-only"));
    return;
  }
  mwtest::WorkDir dir(file);
  QProcess locker;
  if (how == "read-only") QVERIFY(::chmod(qPrintable(dir.Path("Zarava.win")), 0444) == 0);
  if (how == "locked") {
    locker.start("flock", {"--exclusive", dir.Path("Zarava.win"), "sleep", "60"});
    QVERIFY(locker.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(LockedElsewhere(dir.Path("Zarava.win")), 30000);
  }
  tktest::ModalAnswerer answers;
  answers.QueueBoxAnswer(QMessageBox::Ok);
  answers.QueueBoxAnswer(QMessageBox::Ok);  // would answer a missing-file box
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    QVERIFY(form.FileFound());
    QCOMPARE(FillsClientArea(form), counts_read);
    if (!counts_read) QCOMPARE(form.StringGrid1->size(), QSize(429, 256));
    if (counts_read) {  // labels and names were set before the break; widths were not fitted
      QCOMPARE(form.StringGrid1->GetCell(0, 1), std::string("До 10"));
      QCOMPARE(form.StringGrid1->GetCell(2, 0), std::string("js10  "));
      QCOMPARE(mwtest::ColumnWidths(*form.StringGrid1), (std::vector<int>{64, 64, 64}));
    }
  });
  locker.kill();
  locker.waitForFinished();
  QVERIFY(outcome.script_ran);
  QVERIFY(!outcome.ended_by_itself);
  QCOMPARE(answers.Seen().size(), 1);
  QCOMPARE(answers.Seen()[0].text, message);
  QCOMPARE(answers.Seen()[0].title, tk::ApplicationTitle());
  QCOMPARE(answers.Seen()[0].icon, int(QMessageBox::Critical));
}

void TestMainWindow::editingSetsUnsavedFlag() {
  mwtest::WorkDir dir(WideTwoByTwo().Bytes());
  tktest::ModalAnswerer answers;
  const auto outcome = mwtest::RunProgram(answers, [](TForm1& form) {
    tk::StringGrid& grid = *form.StringGrid1;
    QTest::mouseClick(form.Edit, Qt::LeftButton);  // opens the editor: not yet an edit
    QVERIFY(grid.EditingMode());
    QVERIFY(!form.Unsaved());
    mwtest::PressKey(Qt::Key_Return);  // leaving the editor commits, even unchanged
    QVERIFY(!grid.EditingMode());
    QVERIFY(form.Unsaved());
    QCOMPARE(grid.GetCell(1, 1), Localized("-0.012 0.125"));
    mwtest::TypeText("7");  // typing replaces the whole text
    QCOMPARE(grid.GetCell(1, 1), std::string("7"));
  });
  QVERIFY(outcome.script_ran);
  QVERIFY(!outcome.ended_by_itself);
}

// Each add command runs a fresh dialog and disposes of it; closing it gives the focus back to
// the main window without a second activation, so the file is not read again.
void TestMainWindow::addDialogRunsOnceAndTableIsNotReloaded() {
  mwtest::WorkDir dir(WideTwoByTwo().Bytes());
  tktest::ModalAnswerer answers;
  QStringList dialogs;  // which global named each dialog while it ran
  const auto close_dialog = [&dialogs](QWidget* dialog) {
    dialogs << (dialog == FormAddKv ? "FormAddKv" : dialog == FormAddInt ? "FormAddInt" : "?");
    dialog->close();
  };
  answers.QueueDialogAction(close_dialog);
  answers.QueueDialogAction(close_dialog);
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    dir.Write(TableFile{{1}, {"x     "}, {{{1, 1}}}}.Bytes());  // a reload would show this
    QTest::mouseClick(form.AddKv, Qt::LeftButton);
    QTest::mouseClick(form.AddInt, Qt::LeftButton);
    QCOMPARE(dialogs, (QStringList{"FormAddKv", "FormAddInt"}));
    QVERIFY(FormAddKv == nullptr);
    QVERIFY(FormAddInt == nullptr);
    QVERIFY(form.isActiveWindow());
    QCOMPARE(form.StringGrid1->RowCount(), 3);
    QCOMPARE(form.StringGrid1->GetCell(1, 0), std::string("h7    "));
  });
  QVERIFY(outcome.script_ran);
}

void TestMainWindow::closeAsksOnlyAboutUnsavedEdits_data() {
  QTest::addColumn<bool>("save");
  QTest::addColumn<QString>("via");  // "button", "menu" or "close box"
  QTest::addColumn<int>("answer");
  QTest::addColumn<bool>("asked");
  QTest::addColumn<bool>("ends");
  QTest::newRow("edit, Exit, No: window stays")
      << false << "button" << int(QMessageBox::No) << true << false;
  QTest::newRow("edit, Exit, Yes: ends unwritten")
      << false << "button" << int(QMessageBox::Yes) << true << true;
  QTest::newRow("edit, menu Exit, Yes") << false << "menu" << int(QMessageBox::Yes) << true << true;
  QTest::newRow("edit, close box, Yes")
      << false << "close box" << int(QMessageBox::Yes) << true << true;
  QTest::newRow("edit, save, Exit: no question")
      << true << "button" << int(QMessageBox::No) << false << true;
  QTest::newRow("edit, menu save, menu Exit")
      << true << "menu" << int(QMessageBox::No) << false << true;
}

void TestMainWindow::closeAsksOnlyAboutUnsavedEdits() {
  QFETCH(bool, save);
  QFETCH(QString, via);
  QFETCH(int, answer);
  QFETCH(bool, asked);
  QFETCH(bool, ends);
  mwtest::WorkDir dir;
  const QByteArray original = WideTwoByTwo().Bytes();
  dir.Write(original);
  tktest::ModalAnswerer answers;
  answers.QueueBoxAnswer(answer);
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    mwtest::TypeText("5 6");
    mwtest::PressKey(Qt::Key_Return);
    if (save && via == "menu") form.MenuSave->trigger();
    if (save && via != "menu") QTest::mouseClick(form.Save, Qt::LeftButton);
    if (via == "close box") form.close();
    if (via == "menu") form.MenuExit->trigger();
    if (via == "button") QTest::mouseClick(form.BExit, Qt::LeftButton);
    if (!ends) {  // No keeps the window with the edit
      QVERIFY(form.isVisible());
      QCOMPARE(form.StringGrid1->GetCell(1, 1), std::string("5 6"));
      QVERIFY(form.Unsaved());
    }
  });
  QVERIFY(outcome.script_ran);
  QCOMPARE(outcome.ended_by_itself, ends);
  QCOMPARE(!answers.Seen().isEmpty(), asked);
  if (asked) {
    QCOMPARE(answers.Seen()[0].text, kUnsavedQuestion);
    QCOMPARE(answers.Seen()[0].title, QStringLiteral("Редактор файла допусков"));
    QCOMPARE(answers.Seen()[0].icon, int(QMessageBox::Question));
  }
  QCOMPARE(dir.Read() == original, !save);
}

int main(int argc, char** argv) {
  mwtest::DropPrivilegesWhenAsked();
  tk::Application application(argc, argv);
  TestMainWindow test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_main_window.moc"
