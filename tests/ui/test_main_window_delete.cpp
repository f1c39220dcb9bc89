// The delete-grade and delete-interval commands, and one session from start to exit through
// real events.

#include <QFile>
#include <QMessageBox>
#include <QTest>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/ui/main_window_session.h"
#include "toolkit/application.h"
#include "toolkit/controls.h"
#include "toolkit/string_grid.h"
#include "ui/main_window.h"

using mwtest::CellEdits;
using mwtest::LineTexts;
using mwtest::Localized;
using mwtest::LocalizedTexts;
using mwtest::TableFile;

namespace {

// Column widths 63, 42, 84, 91 once loaded.
TableFile ThreeGrades() {
  return {{10, 18},
          {"a     ", "bb    ", "ccc   "},
          {{{1, 2}, {3, 4}}, {{-0.125, -0.25}, {0, 0}}, {{100000, 200000}, {0, 0}}}};
}

TableFile ThreeIntervals() {
  return {{3, 6, 10}, {"h7    "}, {{{0.01, 0}, {0.012, 0}, {0.015, 0}}}};
}

// A value as the save writes it back: the grid shows it rounded to three decimals, half away
// from zero, looking only at its first 18 significant digits.
double AsShown(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.17e", std::fabs(value));  // d.ddddddddddddddddde+XX
  const std::string digits = std::string(1, text[0]) + std::string(text + 2, 17);
  const int exponent = std::atoi(std::strchr(text, 'e') + 1);
  const int kept = exponent + 1 + 3;  // digits down to the thousandths
  if (kept > 18) return value;        // no test value is that large
  if (kept < 0) return 0.0;
  long long thousandths = kept == 0 ? 0 : std::stoll(digits.substr(0, kept));
  if (kept < 18 && digits[kept] >= '5') ++thousandths;
  if (thousandths == 0) return 0.0;  // shown as "0", read back as +0
  const double magnitude = std::strtod((std::to_string(thousandths) + "e-3").c_str(), nullptr);
  return std::copysign(magnitude, value);
}

}  // namespace

class TestMainWindowDelete : public QObject {
  Q_OBJECT

 private slots:
  void deleteGrade_data();
  void deleteGrade();
  void deleteInterval_data();
  void deleteInterval();
  void sessionFromStartToExit();
};

void TestMainWindowDelete::deleteGrade_data() {
  QTest::addColumn<QByteArray>("file");
  QTest::addColumn<int>("col");
  QTest::addColumn<QString>("typed");  // left in an open cell editor of the column
  QTest::addColumn<int>("answer");
  QTest::addColumn<QString>("question");
  QTest::addColumn<QStringList>("names");  // row 0 afterwards
  QTest::addColumn<QStringList>("row1");
  QTest::addColumn<std::vector<int>>("widths");
  QTest::addColumn<bool>("unsaved");
  const QByteArray three = ThreeGrades().Bytes();
  const QStringList unchanged_names{"     мм  ", "a     ", "bb    ", "ccc   "};
  const QStringList unchanged_row1{"До 10", "1 2", "-0.125 -0.25", "100000 200000"};
  QTest::newRow("middle grade: widths to its right shift left")
      << three << 2 << "" << int(QMessageBox::Yes) << "Удалить квалитет bb    ?"
      << QStringList{"     мм  ", "a     ", "ccc   "}
      << QStringList{"До 10", "1 2", "100000 200000"} << std::vector<int>{63, 42, 91} << true;
  QTest::newRow("rightmost grade: other widths unchanged")
      << three << 3 << "" << int(QMessageBox::Yes) << "Удалить квалитет ccc   ?"
      << QStringList{"     мм  ", "a     ", "bb    "} << QStringList{"До 10", "1 2", "-0.125 -0.25"}
      << std::vector<int>{63, 42, 84} << true;
  QTest::newRow("No changes nothing")
      << three << 2 << "" << int(QMessageBox::No) << "Удалить квалитет bb    ?" << unchanged_names
      << unchanged_row1 << std::vector<int>{63, 42, 84, 91} << false;
  QTest::newRow("No still commits an open editor")
      << three << 2 << "9" << int(QMessageBox::No) << "Удалить квалитет bb    ?" << unchanged_names
      << QStringList{"До 10", "1 2", "9", "100000 200000"} << std::vector<int>{63, 42, 84, 91}
      << true;
  QTest::newRow("last grade: the fixed column is given up")
      << TableFile{{10}, {"h7    "}, {{{1, 2}}}}.Bytes() << 1 << "" << int(QMessageBox::Yes)
      << "Удалить квалитет h7    ?" << QStringList{"     мм  "} << QStringList{"До 10"}
      << std::vector<int>{63} << true;
}

void TestMainWindowDelete::deleteGrade() {
  QFETCH(QByteArray, file);
  QFETCH(int, col);
  QFETCH(QString, typed);
  QFETCH(int, answer);
  QFETCH(QString, question);
  QFETCH(QStringList, names);
  QFETCH(QStringList, row1);
  QFETCH(std::vector<int>, widths);
  QFETCH(bool, unsaved);
  mwtest::WorkDir dir(file);
  tktest::ModalAnswerer answers;
  answers.QueueBoxAnswer(answer);
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    tk::StringGrid& grid = *form.StringGrid1;
    mwtest::MoveToCell(form, col, 1);
    if (!typed.isEmpty()) mwtest::TypeText(typed);
    QTest::mouseClick(form.DelKv, Qt::LeftButton);
    QVERIFY(!grid.EditingMode());
    QCOMPARE(LineTexts(grid.RowTexts(0)), names);
    QCOMPARE(LineTexts(grid.RowTexts(1)), LocalizedTexts(row1));
    QCOMPARE(mwtest::ColumnWidths(grid), widths);
    QCOMPARE(grid.FixedCols(), grid.ColCount() > 1 ? 1 : 0);
    QCOMPARE(form.Unsaved(), unsaved);
  });
  QVERIFY(outcome.script_ran);
  QVERIFY(!answers.Seen().isEmpty());
  QCOMPARE(answers.Seen()[0].text, question);
  QCOMPARE(answers.Seen()[0].title, QStringLiteral("Редактор файла допусков"));
  QCOMPARE(answers.Seen()[0].icon, int(QMessageBox::Question));
}

void TestMainWindowDelete::deleteInterval_data() {
  QTest::addColumn<QByteArray>("file");
  QTest::addColumn<int>("row");
  QTest::addColumn<int>("answer");
  QTest::addColumn<QString>("question");
  QTest::addColumn<QStringList>("labels");  // column 0 afterwards
  QTest::addColumn<QStringList>("col1");
  QTest::addColumn<bool>("unsaved");
  const QByteArray three = ThreeIntervals().Bytes();
  QTest::newRow("middle interval: rows below move up with their labels")
      << three << 2 << int(QMessageBox::Yes) << "Удалить интервал До 6?"
      << QStringList{"     мм  ", "До 3", "До 10"} << QStringList{"h7    ", "0.01 0", "0.015 0"}
      << true;
  QTest::newRow("No changes nothing")
      << three << 2 << int(QMessageBox::No) << "Удалить интервал До 6?"
      << QStringList{"     мм  ", "До 3", "До 6", "До 10"}
      << QStringList{"h7    ", "0.01 0", "0.012 0", "0.015 0"} << false;
  QTest::newRow("last interval: the fixed row is given up")
      << TableFile{{10}, {"h7    "}, {{{1, 2}}}}.Bytes() << 1 << int(QMessageBox::Yes)
      << "Удалить интервал До 10?" << QStringList{"     мм  "} << QStringList{"h7    "} << true;
}

void TestMainWindowDelete::deleteInterval() {
  QFETCH(QByteArray, file);
  QFETCH(int, row);
  QFETCH(int, answer);
  QFETCH(QString, question);
  QFETCH(QStringList, labels);
  QFETCH(QStringList, col1);
  QFETCH(bool, unsaved);
  mwtest::WorkDir dir(file);
  tktest::ModalAnswerer answers;
  answers.QueueBoxAnswer(answer);
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    tk::StringGrid& grid = *form.StringGrid1;
    mwtest::MoveToCell(form, 1, row);
    QTest::mouseClick(form.DelInt, Qt::LeftButton);
    QCOMPARE(LineTexts(grid.ColTexts(0)), labels);
    QCOMPARE(LineTexts(grid.ColTexts(1)), LocalizedTexts(col1));
    QCOMPARE(grid.FixedRows(), grid.RowCount() > 1 ? 1 : 0);
    QCOMPARE(form.Unsaved(), unsaved);
  });
  QVERIFY(outcome.script_ran);
  QVERIFY(!answers.Seen().isEmpty());
  QCOMPARE(answers.Seen()[0].text, question);
}

// Start on a copy of the sample file, edit a cell, delete the second grade and the second
// interval, save with F2 and exit: the file holds the reduced table, then its old tail.
void TestMainWindowDelete::sessionFromStartToExit() {
  QFile sample(QStringLiteral(TOL_SAMPLE_FILE));
  const QByteArray original = sample.open(QIODevice::ReadOnly)
                                  ? sample.readAll()
                                  : TableFile{{3, 6, 10},
                                              {"h7    ", "js10  ", "k6    "},
                                              {{{0.01, 0}, {0.012, 0}, {0.015, 0}},
                                               {{0.02, -0.02}, {0.024, -0.024}, {0.029, -0.029}},
                                               {{0.006, 0}, {0.009, 0.001}, {0.01, 0.001}}}}
                                        .Bytes();
  TableFile expected = TableFile::Parse(original);
  QVERIFY2(expected.bounds.size() >= 2 && expected.names.size() >= 2,
           "the session needs two intervals and two grades");
  mwtest::WorkDir dir(original);
  tktest::ModalAnswerer answers;
  answers.QueueBoxAnswer(QMessageBox::Yes);  // delete grade
  answers.QueueBoxAnswer(QMessageBox::Yes);  // delete interval
  const auto outcome = mwtest::RunProgram(answers, [](TForm1& form) {
    mwtest::ApplyEdits(form, CellEdits{{1, 1, "0,5 -0,25"}});
    mwtest::MoveToCell(form, 2, 1);
    QTest::mouseClick(form.DelKv, Qt::LeftButton);
    mwtest::MoveToCell(form, 1, 2);
    QTest::mouseClick(form.DelInt, Qt::LeftButton);
    mwtest::PressKey(Qt::Key_F2);
    QTest::mouseClick(form.BExit, Qt::LeftButton);
  });
  QVERIFY(outcome.script_ran);
  QVERIFY(outcome.ended_by_itself);
  QCOMPARE(answers.Seen().size(), 2);  // no question at the exit

  expected.values[0][0] = {0.5, -0.25};
  expected.names.erase(expected.names.begin() + 1);
  expected.values.erase(expected.values.begin() + 1);
  expected.bounds.erase(expected.bounds.begin() + 1);
  for (auto& grade : expected.values) {
    grade.erase(grade.begin() + 1);
    for (auto& [first, second] : grade) {
      first = AsShown(first);
      second = AsShown(second);
    }
  }
  const QByteArray written = expected.Bytes();
  QCOMPARE(dir.Read(), written + original.mid(written.size()));
}

int main(int argc, char** argv) {
  mwtest::DropPrivilegesWhenAsked();
  tk::Application application(argc, argv);
  TestMainWindowDelete test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_main_window_delete.moc"
