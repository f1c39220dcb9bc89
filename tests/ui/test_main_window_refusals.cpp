// Saves the main window refuses so that the file keeps its table: after a load that failed part
// way, with an interval bound that does not read as a number, and under a file-size limit that
// the write exceeds (a message, not the end of the program).

#include <sys/resource.h>

#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <cerrno>
#include <cmath>
#include <limits>

#include "tests/ui/main_window_session.h"
#include "toolkit/application.h"
#include "toolkit/controls.h"
#include "toolkit/dispatch.h"
#include "toolkit/string_grid.h"
#include "ui/main_window.h"

using mwtest::TableFile;

namespace {

const QString kRefusal =
    QStringLiteral("Файл допусков прочитан не полностью. Таблица не записана.");

// The file with interval bound i replaced by a signalling NaN.
QByteArray WithSignallingBound(const TableFile& table, int i) {
  QByteArray bytes = table.Bytes();
  bytes.replace(8 + 8 * i, 8, QByteArray::fromHex("010000000000f07f"));
  return bytes;
}

}  // namespace

class TestMainWindowRefusals : public QObject {
  Q_OBJECT

 private slots:
  void saveAfterAFailedLoadWritesNothing_data();
  void saveAfterAFailedLoadWritesNothing();
  void anUnreadableBoundStopsTheSave_data();
  void anUnreadableBoundStopsTheSave();
  void aFileSizeLimitIsReportedNotFatal();
};

void TestMainWindowRefusals::saveAfterAFailedLoadWritesNothing_data() {
  QTest::addColumn<QByteArray>("file");
  QTest::addColumn<QString>("load_message");
  QTest::newRow("signalling NaN bound, no grades: no value cell to stop the save")
      << WithSignallingBound(TableFile{{3, 7}, {}, {}}, 1)
      << QStringLiteral("Invalid floating point operation.");
  const QByteArray whole = TableFile{{10, 18}, {"h7    "}, {{{0.01, 0}, {0.02, 0}}}}.Bytes();
  QTest::newRow("file cut in the values")
      << whole.left(whole.size() - 4) << QStringLiteral("Read beyond end of file.");
}

void TestMainWindowRefusals::saveAfterAFailedLoadWritesNothing() {
  QFETCH(QByteArray, file);
  QFETCH(QString, load_message);
  mwtest::WorkDir dir(file);
  tktest::ModalAnswerer answers;
  for (int box = 0; box < 3; ++box) answers.QueueBoxAnswer(QMessageBox::Ok);
  const auto outcome = mwtest::RunProgram(answers, [](TForm1& form) {
    QTest::mouseClick(form.Save, Qt::LeftButton);
    form.StringGrid1->SetCell(0, 1, "До 5");  // whatever the grid holds, nothing is written
    mwtest::PressKey(Qt::Key_F2);
    QVERIFY(form.isVisible());
  });
  QVERIFY(outcome.script_ran);
  QCOMPARE(answers.Seen().size(), 3);
  QCOMPARE(answers.Seen()[0].text, load_message);
  for (int refusal = 1; refusal <= 2; ++refusal) {
    QCOMPARE(answers.Seen()[refusal].text, kRefusal);
    QCOMPARE(answers.Seen()[refusal].title, QStringLiteral("Ошибка"));
    QCOMPARE(answers.Seen()[refusal].icon, int(QMessageBox::Critical));
  }
  QCOMPARE(dir.Read(), file);
  QCOMPARE(QDir(dir.Path(".")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
           QStringList{"Zarava.win"});
}

void TestMainWindowRefusals::anUnreadableBoundStopsTheSave_data() {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInf = std::numeric_limits<double>::infinity();
  QTest::addColumn<QByteArray>("file");
  QTest::addColumn<QPoint>("cursor");  // the label column is fixed while there are grades
  QTest::newRow("NaN bound among grades")
      << TableFile{{10, kNaN}, {"h7    "}, {{{0.01, 0}, {0.02, 0}}}}.Bytes() << QPoint(1, 2);
  QTest::newRow("infinite bound, no grades")
      << TableFile{{kInf, 5}, {}, {}}.Bytes() << QPoint(0, 1);
  QTest::newRow("negative infinite bound after a good one")
      << TableFile{{3, -kInf}, {}, {}}.Bytes() << QPoint(0, 2);
}

void TestMainWindowRefusals::anUnreadableBoundStopsTheSave() {
  QFETCH(QByteArray, file);
  QFETCH(QPoint, cursor);
  mwtest::WorkDir dir(file);
  tktest::ModalAnswerer answers;
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    tk::StringGrid& grid = *form.StringGrid1;
    grid.SetCurrentRow(grid.RowCount() - 1 == cursor.y() ? grid.FixedRows() : grid.RowCount() - 1);
    QTest::mouseClick(form.Save, Qt::LeftButton);
    QVERIFY(form.Label1->isVisible());
    QCOMPARE(QPoint(grid.CurrentCol(), grid.CurrentRow()), cursor);
    QVERIFY(grid.hasFocus());
  });
  QVERIFY(outcome.script_ran);
  QVERIFY(answers.Seen().isEmpty());
  QCOMPARE(dir.Read(), file);
}

// The limit is lowered in this process around one save only (its hard limit stays), so the
// program itself must survive the write beyond it.
void TestMainWindowRefusals::aFileSizeLimitIsReportedNotFatal() {
  mwtest::WorkDir dir;
  const QByteArray original = mwtest::TwoByTwo().Bytes();
  dir.Write(original);
  tktest::ModalAnswerer answers;
  answers.QueueBoxAnswer(QMessageBox::Ok);
  const auto outcome = mwtest::RunProgram(answers, [](TForm1& form) {
    form.StringGrid1->SetCell(1, 1, "1 2");
    rlimit saved{};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const rlimit none{0, saved.rlim_max};
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &none), 0);
    QTest::mouseClick(form.Save, Qt::LeftButton);
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &saved), 0);
  });
  QVERIFY(outcome.script_ran);
  QCOMPARE(answers.Seen().size(), 1);
  QCOMPARE(answers.Seen()[0].text, QStringLiteral("I/O error %1.").arg(EFBIG));
  QCOMPARE(dir.Read(), original);
  QCOMPARE(QDir(dir.Path(".")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
           QStringList{"Zarava.win"});
}

int main(int argc, char** argv) {
  tk::Application application(argc, argv);
  TestMainWindowRefusals test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_main_window_refusals.moc"
