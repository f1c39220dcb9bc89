// The main window's views of its table: the status bar, the rounding and check marks, the zone
// panel with its fit line, and the exports (picture, print to PDF), on the sample file.

#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTest>
#include <QXmlStreamReader>
#include <limits>
#include <random>
#include <set>
#include <utility>

#include "data/number_text.h"
#include "data/table_checks.h"
#include "tests/ui/main_window_session.h"
#include "toolkit/application.h"
#include "toolkit/controls.h"
#include "toolkit/grid_model.h"
#include "toolkit/string_grid.h"
#include "ui/cell_status.h"
#include "ui/check_counter.h"
#include "ui/loaded_values.h"
#include "ui/main_window.h"
#include "ui/marked_cell_painter.h"
#include "ui/table_printer.h"
#include "ui/tolerance_panel.h"
#include "ui/tolerance_views.h"
#include "ui/zone_chart.h"
#include "ui/zone_geometry.h"

using mwtest::CellEdits;
using mwtest::TableFile;

namespace {

constexpr int kJs6 = 19;  // the sample's column of js6
constexpr int kTo30 = 5;  // the sample's row "До 30"

QByteArray Sample() {
  QFile file(QStringLiteral(TOL_SAMPLE_FILE));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The marked cells of the whole table.
std::set<std::pair<int, int>> MarkedCells(TForm1& form) {
  std::set<std::pair<int, int>> marked;
  const tk::StringGrid& grid = *form.StringGrid1;
  for (int col = 0; col < grid.ColCount(); ++col) {
    for (int row = 0; row < grid.RowCount(); ++row) {
      if (form.Views->Loaded().Marked(col, row)) marked.insert({col, row});
    }
  }
  return marked;
}

std::set<std::pair<int, int>> Js6Marks(int col) {
  std::set<std::pair<int, int>> marks;
  for (const int row : {3, 4, 5, 7, 9, 10}) marks.insert({col, row});
  return marks;
}

// The colour of the pixel just inside a cell's top-right corner, as the grid paints it.
QColor CornerPixel(TForm1& form, int col, int row) {
  tk::StringGrid& grid = *form.StringGrid1;
  grid.scrollTo(grid.Model()->IndexOf(col, row));
  const QRect cell = grid.visualRect(grid.Model()->IndexOf(col, row));
  const QImage image = grid.viewport()->grab().toImage();
  return image.pixelColor(cell.right() - 1, cell.top() + 1);
}

int PdfPages(const QByteArray& pdf) {
  return static_cast<int>(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") +
                          pdf.count("/Type /Page/") + pdf.count("/Type /Page>") +
                          pdf.count("/Type /Page "));
}

}  // namespace

class TestToleranceViews : public QObject {
  Q_OBJECT

 private slots:
  void statusBarTexts_data();
  void statusBarTexts();
  void labelTexts();
  void marksFollowTheirCells();
  void marksGoWithASave();
  void checksMarkedAndCounted();
  void loadedChecksAgreeWithTheTexts();
  void panelShowsZonesAndFits_data();
  void panelShowsZonesAndFits();
  void panelFollowsEditsAndClicks();
  void zoneGeometry();
  void picturesExport();
  void printsToPdf();
};

void TestToleranceViews::statusBarTexts_data() {
  QTest::addColumn<char>("separator");
  QTest::addColumn<int>("col");
  QTest::addColumn<int>("row");
  QTest::addColumn<QString>("edit");  // typed into the cell first, unless empty
  QTest::addColumn<QString>("status");
  QTest::newRow("marked value cell, comma")
      << ',' << kJs6 << kTo30 << QString()
      << "св. 18 до 30 мм · квалитет js6 · верхнее 0,0065 мм = 6,5 мкм · нижнее -0,0065 мм = "
         "-6,5 мкм · допуск 13 мкм · в файле 0,0065 -0,0065, при записи будет 0,006 -0,006";
  QTest::newRow("marked value cell, point")
      << '.' << kJs6 << 3 << QString()
      << "св. 6 до 10 мм · квалитет js6 · верхнее 0.0045 мм = 4.5 мкм · нижнее -0.0045 мм = "
         "-4.5 мкм · допуск 9 мкм · в файле 0.0045 -0.0045, при записи будет 0.004 -0.004";
  QTest::newRow("plain value cell, first interval from 0")
      << ',' << 2 << 1 << QString()
      << "св. 0 до 3 мм · квалитет H7 · верхнее 0,01 мм = 10 мкм · нижнее 0 мм = 0 мкм · "
         "допуск 10 мкм";
  QTest::newRow("edited cell: the values of its text")
      << '.' << kJs6 << kTo30 << "0,00651 -0.0065"
      << "св. 18 до 30 мм · квалитет js6 · верхнее 0.00651 мм = 6.51 мкм · нижнее -0.0065 мм = "
         "-6.5 мкм · допуск 13.01 мкм";
  QTest::newRow("edited cell that does not read")
      << ',' << 1 << 1 << "0,01"
      << "св. 0 до 3 мм · квалитет H6 · текст ячейки не читается как два числа";
  QTest::newRow("a number beyond binary64 is no error here, the save reports it")
      << ',' << 1 << 1 << "1e400 0"
      << "св. 0 до 3 мм · квалитет H6 · текст ячейки не читается как два числа";
  QTest::newRow("an infinite deviation")
      << '.' << 1 << 1 << "1E6000 0"
      << "св. 0 до 3 мм · квалитет H6 · верхнее INF мм · нижнее 0 мм = 0 мкм · допуск INF мкм";
}

void TestToleranceViews::statusBarTexts() {
  QFETCH(char, separator);
  QFETCH(int, col);
  QFETCH(int, row);
  QFETCH(QString, edit);
  QFETCH(QString, status);
  mwtest::WorkDir dir(Sample());
  tktest::ModalAnswerer answers;
  const char before = tol::DecimalSeparator();
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    tol::SetDecimalSeparator(separator);
    if (!edit.isEmpty()) mwtest::ApplyEdits(form, CellEdits{{col, row, edit}});
    mwtest::MoveToCell(form, col, row);
    QVERIFY2(form.Views->CellStatus->text() == status, qPrintable(form.Views->CellStatus->text()));
  });
  tol::SetDecimalSeparator(before);
  QVERIFY(outcome.script_ran);
}

void TestToleranceViews::labelTexts() {
  mwtest::WorkDir dir(Sample());
  tktest::ModalAnswerer answers;
  const char before = tol::DecimalSeparator();
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    const tk::GridModel& cells = *form.StringGrid1->Model();
    const LoadedValues& loaded = form.Views->Loaded();
    tol::SetDecimalSeparator(',');
    QCOMPARE(CellStatusText(cells, loaded, kJs6, 0), "квалитет js6: поле допуска вала");
    QCOMPARE(CellStatusText(cells, loaded, 2, 0), "квалитет H7: поле допуска отверстия");
    QCOMPARE(CellStatusText(cells, loaded, 0, 4), "интервал размеров св. 10 до 18 мм");
    QCOMPARE(CellStatusText(cells, loaded, 0, 0),
             "размеры в мм: строки — интервалы размеров, столбцы — квалитеты");
    // The labels tell the same in their tool-tips.
    QCOMPARE(cells.headerData(3, Qt::Vertical, Qt::ToolTipRole).toString(),
             "интервал размеров св. 10 до 18 мм");
    QCOMPARE(cells.data(cells.IndexOf(kJs6, 3), Qt::ToolTipRole).toString(),
             "в файле 0,0045 -0,0045, при записи будет 0,004 -0,004");
    QVERIFY(!cells.data(cells.IndexOf(2, 3), Qt::ToolTipRole).isValid());
  });
  tol::SetDecimalSeparator(before);
  QVERIFY(outcome.script_ran);
}

// The sample's js6 cells hold halves of thousandths. A mark goes with an edit of its cell's
// numbers, stays on the others through the delete of another grade, comes back with undo and
// goes again with redo, and is drawn in the cell's top-right corner.
void TestToleranceViews::marksFollowTheirCells() {
  mwtest::WorkDir dir(Sample());
  tktest::ModalAnswerer answers;
  answers.QueueBoxAnswer(QMessageBox::Yes);
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    QCOMPARE(MarkedCells(form), Js6Marks(kJs6));
    QCOMPARE(CornerPixel(form, kJs6, kTo30), QColor(210, 30, 30));
    QVERIFY(CornerPixel(form, kJs6 - 1, kTo30) != QColor(210, 30, 30));

    mwtest::ApplyEdits(form, CellEdits{{kJs6, 3, "0,0045 -0,0045"}});
    std::set<std::pair<int, int>> expected = Js6Marks(kJs6);
    expected.erase({kJs6, 3});
    QCOMPARE(MarkedCells(form), expected);

    mwtest::MoveToCell(form, 1, 1);
    QTest::mouseClick(form.DelKv, Qt::LeftButton);  // H6, left of js6
    expected = Js6Marks(kJs6 - 1);
    expected.erase({kJs6 - 1, 3});
    QCOMPARE(MarkedCells(form), expected);

    // Undo brings back the column and then the text, and with them the marks; redo takes the
    // edited cell's mark away again.
    std::set<std::pair<int, int>> edited_only = Js6Marks(kJs6);
    edited_only.erase({kJs6, 3});
    mwtest::PressKey(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(MarkedCells(form), edited_only);
    mwtest::PressKey(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(MarkedCells(form), Js6Marks(kJs6));
    mwtest::PressKey(Qt::Key_Y, Qt::ControlModifier);
    mwtest::PressKey(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(MarkedCells(form), expected);

    // The text typed back as the load showed it reads as the rounding again.
    mwtest::ApplyEdits(form, CellEdits{{kJs6 - 1, 3, "0.004 -0.004"}});
    QCOMPARE(MarkedCells(form), Js6Marks(kJs6 - 1));
  });
  QVERIFY(outcome.script_ran);
}

void TestToleranceViews::marksGoWithASave() {
  mwtest::WorkDir dir(Sample());
  tktest::ModalAnswerer answers;
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    QVERIFY(!MarkedCells(form).empty());
    mwtest::PressKey(Qt::Key_F2);
    QVERIFY(MarkedCells(form).empty());
    QVERIFY(form.Views->Loaded().Empty());
  });
  QVERIFY(outcome.script_ran);
}

void TestToleranceViews::checksMarkedAndCounted() {
  mwtest::WorkDir dir(
      TableFile{{10, 6, 18}, {"h7    "}, {{{0, -0.015}, {0, -0.012}, {0, -0.018}}}}.Bytes());
  tktest::ModalAnswerer answers;
  answers.QueueBoxAnswer(QMessageBox::Yes);
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    const tk::GridModel& cells = *form.StringGrid1->Model();
    QCOMPARE(form.Views->ChecksStatus->text(), "границы интервалов не по возрастанию: 1");
    QCOMPARE(cells.headerData(1, Qt::Vertical, Qt::ForegroundRole).value<QBrush>().color(),
             QColor(Qt::red));
    QVERIFY(!cells.headerData(0, Qt::Vertical, Qt::ForegroundRole).isValid());

    mwtest::ApplyEdits(form, CellEdits{{1, 1, "-0,015 0"}, {1, 3, "-1 1"}});
    QCOMPARE(form.Views->ChecksStatus->text(),
             "верхнее отклонение ниже нижнего: 2; границы интервалов не по возрастанию: 1");
    QVERIFY(form.Views->Checks().CellFails(1, 1));
    mwtest::ApplyEdits(form, CellEdits{{1, 1, "0 -0,015"}});
    QCOMPARE(form.Views->ChecksStatus->text(),
             "верхнее отклонение ниже нижнего: 1; границы интервалов не по возрастанию: 1");
    // The checks never stop a save.
    mwtest::PressKey(Qt::Key_F2);
    QVERIFY(!form.Unsaved());
    // Deleting the failing cell's interval takes its count away; undo brings it back.
    mwtest::MoveToCell(form, 1, 3);
    QTest::mouseClick(form.DelInt, Qt::LeftButton);
    QCOMPARE(form.Views->ChecksStatus->text(), "границы интервалов не по возрастанию: 1");
    mwtest::PressKey(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(form.Views->ChecksStatus->text(),
             "верхнее отклонение ниже нижнего: 1; границы интервалов не по возрастанию: 1");
  });
  QVERIFY(outcome.script_ran);
}

// The load names the cells whose file values fail and the counter checks only their texts: on
// values that round to equal texts, infinities, NaNs and large numbers, it counts what a check
// of every text counts.
void TestToleranceViews::loadedChecksAgreeWithTheTexts() {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const double pool[] = {
      0,          0.0001, 0.0004, 0.0005, 0.0006,
      -0.0004,    0.001,  0.0045, 0.004,  1e5,
      1e5 + 1e-4, kInf,   -kInf,  1e300,  std::numeric_limits<double>::quiet_NaN()};
  std::mt19937 random(11);
  TableFile table;
  for (int interval = 1; interval <= 40; ++interval) table.bounds.push_back(interval);
  for (int grade = 0; grade < 30; ++grade) {
    table.names.push_back("g" + std::to_string(10000 + grade).substr(1));
    auto& column = table.values.emplace_back();
    for (int interval = 0; interval < 40; ++interval) {
      column.emplace_back(pool[random() % std::size(pool)], pool[random() % std::size(pool)]);
    }
  }
  mwtest::WorkDir dir(table.Bytes());
  tktest::ModalAnswerer answers;
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    const tk::GridModel& cells = *form.StringGrid1->Model();
    std::size_t failing = 0;
    for (int col = 1; col < cells.ColCount(); ++col) {
      for (int row = 1; row < cells.RowCount(); ++row) {
        const bool fails = tol::UpperBelowLower(cells.Cell(col, row));
        failing += fails ? 1 : 0;
        QCOMPARE(form.Views->Checks().CellFails(col, row), fails);
      }
    }
    QVERIFY(failing > 0);
    QCOMPARE(form.Views->Checks().UpperBelowLowerCount(), failing);
  });
  QVERIFY(outcome.script_ran);
}

void TestToleranceViews::panelShowsZonesAndFits_data() {
  QTest::addColumn<QString>("shaft");
  QTest::addColumn<QString>("fit");
  QTest::newRow("clearance") << "g6"
                             << "H7/g6, св. 18 до 30 мм: наибольший зазор 41 мкм, наименьший "
                                "зазор 7 мкм; посадка с зазором";
  QTest::newRow("transition") << "k6"
                              << "H7/k6, св. 18 до 30 мм: наибольший зазор 19 мкм, наименьший "
                                 "зазор -15 мкм; посадка переходная";
  QTest::newRow("interference") << "p6"
                                << "H7/p6, св. 18 до 30 мм: наибольший зазор -1 мкм, "
                                   "наименьший зазор -35 мкм; посадка с натягом";
  QTest::newRow("equal bounds: h6 meets H7 at zero")
      << "h6"
      << "H7/h6, св. 18 до 30 мм: наибольший зазор 34 мкм, наименьший зазор 0 мкм; посадка с "
         "зазором";
}

void TestToleranceViews::panelShowsZonesAndFits() {
  QFETCH(QString, shaft);
  QFETCH(QString, fit);
  mwtest::WorkDir dir(Sample());
  tktest::ModalAnswerer answers;
  const char before = tol::DecimalSeparator();
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    tol::SetDecimalSeparator('.');
    TolerancePanel& panel = *form.Views->Panel;
    QVERIFY(!panel.isVisible());
    mwtest::PressKey(Qt::Key_F3);
    QVERIFY(panel.isVisible());
    QVERIFY(form.Views->MenuPanel->isChecked());
    mwtest::MoveToCell(form, 2, kTo30);
    panel.RefreshIfStale();
    panel.HoleBox->setCurrentText(QStringLiteral("H7"));
    panel.ShaftBox->setCurrentText(shaft);
    QApplication::processEvents();
    QCOMPARE(panel.FitLabel->text(), fit);
    QCOMPARE(panel.Chart->Zones().size(), std::size_t{25});
    QCOMPARE(panel.Chart->Zones()[kJs6 - 1].upper, 6.5);  // the file's value, not the text's
    mwtest::PressKey(Qt::Key_F3);
    QVERIFY(!panel.isVisible());
  });
  tol::SetDecimalSeparator(before);
  QVERIFY(outcome.script_ran);
}

// Typing into a cell of the shown interval changes its bar by the next paint; a click on a bar
// makes that grade's cell current; a delete takes the grade's bar away.
void TestToleranceViews::panelFollowsEditsAndClicks() {
  mwtest::WorkDir dir(Sample());
  tktest::ModalAnswerer answers;
  answers.QueueBoxAnswer(QMessageBox::Yes);
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    TolerancePanel& panel = *form.Views->Panel;
    mwtest::PressKey(Qt::Key_F3);
    mwtest::MoveToCell(form, 2, kTo30);
    mwtest::TypeText(QStringLiteral("0,05 0"));
    QApplication::processEvents();
    QCOMPARE(panel.Chart->Zones()[1].upper, 50.0);
    mwtest::PressKey(Qt::Key_Return);

    const QRect bar = panel.Chart->BarOf(kJs6);
    QVERIFY(!bar.isEmpty());
    QTest::mouseClick(panel.Chart, Qt::LeftButton, Qt::NoModifier, bar.center());
    QCOMPARE(form.StringGrid1->CurrentCol(), kJs6);
    QCOMPARE(form.StringGrid1->CurrentRow(), kTo30);

    QTest::mouseClick(form.DelKv, Qt::LeftButton);
    QApplication::processEvents();
    QCOMPARE(panel.Chart->Zones().size(), std::size_t{24});
    QCOMPARE(panel.ShaftBox->findText(QStringLiteral("js6")), -1);
  });
  QVERIFY(outcome.script_ran);
}

// On a scale from -40 to 60 micrometres over 110 pixel rows, with a twentieth spare either
// end, a micrometre is one pixel row and 65 micrometres the top row.
void TestToleranceViews::zoneGeometry() {
  const ZoneScale scale(-40, 60, 0, 110);
  QCOMPARE(scale.Y(60), 5);
  QCOMPARE(scale.Y(0), 65);
  QCOMPARE(scale.Y(-40), 105);
  QCOMPARE(scale.Bar(10, 20, 21, 0), QRect(10, 44, 20, 22));
  QCOMPARE(scale.Bar(10, 20, 0, -40), QRect(10, 65, 20, 41));
  QCOMPARE(scale.Bar(10, 20, 0, 0).height(), ZoneScale::kMinBarHeight);  // no width: still seen
  QCOMPARE(scale.Ticks(28), (std::vector<double>{0, 50}));
  QCOMPARE(scale.Ticks(15), (std::vector<double>{-40, -20, 0, 20, 40, 60}));
  const ZoneScale only_above(5, 20, 0, 100);  // the zero line is always shown
  QVERIFY(only_above.Y(0) < 100 && only_above.Y(0) > only_above.Y(5));
  const BarRow bars{60, 40, 26};
  QCOMPARE(bars.BarAt(60, 3), 0);
  QCOMPARE(bars.BarAt(86, 3), -1);  // between two bars
  QCOMPARE(bars.BarAt(100, 3), 1);
  QCOMPARE(bars.BarAt(180, 3), -1);  // past the last bar
}

void TestToleranceViews::picturesExport() {
  mwtest::WorkDir dir(Sample());
  tktest::ModalAnswerer answers;
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    TolerancePanel& panel = *form.Views->Panel;
    mwtest::MoveToCell(form, 2, kTo30);
    panel.RefreshIfStale();
    const QString png = dir.Path(QStringLiteral("zones.png"));
    QVERIFY(panel.ExportPicture(png));
    const QImage image(png);
    QCOMPARE(image.size(), panel.PictureSize());
    // The current grade's bar in the hole colour, the others lighter.
    bool current = false;
    bool shaft = false;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        current = current || image.pixel(x, y) == zone_picture::kHoleColor.rgb();
        shaft = shaft || image.pixel(x, y) == zone_picture::kShaftColor.lighter(125).rgb();
      }
    }
    QVERIFY(current && shaft);

    const QString svg = dir.Path(QStringLiteral("zones.svg"));
    QVERIFY(panel.ExportPicture(svg));
    QFile file(svg);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    int rects = 0;
    QString root;
    while (!xml.atEnd()) {
      if (xml.readNext() != QXmlStreamReader::StartElement) continue;
      if (root.isEmpty()) root = xml.name().toString();
      if (xml.name() == QStringLiteral("rect") || xml.name() == QStringLiteral("path")) ++rects;
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(root, QStringLiteral("svg"));
    QVERIFY(rects >= 25);
    QVERIFY(!panel.ExportPicture(dir.Path(QStringLiteral("no/such/dir/zones.png"))));
  });
  QVERIFY(outcome.script_ran);
}

// A page that takes the interval column and a few value columns: the sample's 25 grades
// spread over several pages across, each repeating the interval column.
void TestToleranceViews::printsToPdf() {
  QCOMPARE(SplitColumns({50, 30, 30, 30, 30}, 120), (std::vector<ColumnRange>{{1, 2}, {3, 4}}));
  QCOMPARE(SplitColumns({50, 100, 30}, 120), (std::vector<ColumnRange>{{1, 1}, {2, 2}}));
  QCOMPARE(SplitColumns({50}, 120), std::vector<ColumnRange>{});

  mwtest::WorkDir dir(Sample());
  tktest::ModalAnswerer answers;
  const auto outcome = mwtest::RunProgram(answers, [&](TForm1& form) {
    QVERIFY(form.Views->MenuPrint->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_P));
    const QString path = dir.Path(QStringLiteral("table.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A6));
    const int pages = PrintTable(printer, *form.StringGrid1->Model(), "Zarava.win", "08.12.2026");
    QVERIFY(pages > 1);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    QVERIFY(pdf.startsWith("%PDF-"));
    QCOMPARE(PdfPages(pdf), pages);
  });
  QVERIFY(outcome.script_ran);
}

int main(int argc, char** argv) {
  tk::Application application(argc, argv);
  TestToleranceViews test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_tolerance_views.moc"
