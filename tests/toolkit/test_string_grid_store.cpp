// The string grid's cell store: counts and fixed lines, widths, line views with find and
// assign, the text list, misuse errors, the model's announcements, and large tables.

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <functional>

#include "tests/toolkit/grid_test_window.h"
#include "toolkit/errors.h"
#include "toolkit/grid_model.h"

using tktest::GridWindow;

namespace {

// The message of the error action raises, or "" when it raises none.
std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const tol::Exception& error) {
    return error.Message();
  }
  return {};
}

void FillRow(tk::StringGrid& grid, std::int32_t row, const std::vector<std::string>& texts) {
  for (std::size_t i = 0; i < texts.size(); ++i) {
    grid.SetCell(static_cast<std::int32_t>(i), row, texts[i]);
  }
}

std::vector<std::string> RowOf(tk::StringGrid& grid, std::int32_t row) {
  std::vector<std::string> texts;
  for (std::int32_t i = 0; i < grid.ColCount(); ++i) texts.push_back(grid.GetCell(i, row));
  return texts;
}

}  // namespace

class StringGridStoreTest : public QObject {
  Q_OBJECT

 private slots:
  void newColumnsGetDefaultWidthOthersKeepTheirs();
  void loweringCountsPullsCurrentCellIn();
  void countLeavingNoScrollableLineGivesUpFixedLine_data();
  void countLeavingNoScrollableLineGivesUpFixedLine();
  void removingEditedColumnCommitsFirst();
  void fixedColumnWidthIsHeaderWidth();
  void findIndexIgnoresCaseButNotBlanks_data();
  void findIndexIgnoresCaseButNotBlanks();
  void assignCopiesByPositionInOneAnnouncement();
  void textListKeepsOrderDuplicatesAndEmptyTexts();
  void misuseRaisesTheSystemErrors();
  void modelStaysConsistentThroughChanges();
  void rowsAddedAfterFewerColumnsKeepTheTexts();
  void batchAnnouncesItsWritesOnceAtTheEnd();
  void alignClientFollowsParent();
  void largeTableTakesEditsAndDeletes();
};

void StringGridStoreTest::newColumnsGetDefaultWidthOthersKeepTheirs() {
  tk::StringGrid grid;
  grid.SetColWidth(3, 10);
  grid.SetColWidth(4, 200);
  grid.SetColCount(6);
  QCOMPARE(grid.ColWidth(3), 10);
  QCOMPARE(grid.ColWidth(4), 200);
  QCOMPARE(grid.ColWidth(5), tk::StringGrid::DefaultColWidth);
  QCOMPARE(grid.horizontalHeader()->sectionSize(3), 200);  // view section 3 is column 4
  QCOMPARE(grid.horizontalHeader()->sectionSize(4), tk::StringGrid::DefaultColWidth);
  grid.SetColCount(4);
  grid.SetColCount(5);
  QCOMPARE(grid.ColWidth(4), tk::StringGrid::DefaultColWidth);  // the dropped width is gone
  QCOMPARE(grid.ColWidth(99), tk::StringGrid::DefaultColWidth);
  grid.SetRowCount(40);
  QCOMPARE(grid.rowHeight(0), tk::StringGrid::DefaultRowHeight);
  QCOMPARE(grid.rowHeight(38), tk::StringGrid::DefaultRowHeight);
  QCOMPARE(grid.horizontalHeader()->height(), tk::StringGrid::DefaultRowHeight);
}

void StringGridStoreTest::loweringCountsPullsCurrentCellIn() {
  tk::StringGrid grid;
  grid.SetCurrentCol(4);
  grid.SetCurrentRow(4);
  grid.SetColCount(4);
  grid.SetRowCount(3);
  QCOMPARE(grid.CurrentCol(), 3);
  QCOMPARE(grid.CurrentRow(), 2);
  QCOMPARE(grid.Model()->ColOf(grid.currentIndex()), 3);
  QCOMPARE(grid.Model()->RowOf(grid.currentIndex()), 2);
  grid.SetColCount(-5);
  QCOMPARE(grid.ColCount(), 1);
}

void StringGridStoreTest::countLeavingNoScrollableLineGivesUpFixedLine_data() {
  QTest::addColumn<bool>("columns");
  QTest::addColumn<int>("count");
  QTest::newRow("one column") << true << 1;
  QTest::newRow("column count below one") << true << 0;
  QTest::newRow("one row") << false << 1;
}

void StringGridStoreTest::countLeavingNoScrollableLineGivesUpFixedLine() {
  QFETCH(bool, columns);
  QFETCH(int, count);
  tk::StringGrid grid;
  grid.SetCell(0, 0, "     мм  ");
  grid.SetCell(0, 1, "До 3");
  grid.SetCell(1, 0, "h7    ");
  grid.SetColWidth(0, 70);
  grid.SetCurrentCol(2);
  grid.SetCurrentRow(2);
  if (columns) {
    grid.SetColCount(count);
  } else {
    grid.SetRowCount(count);
  }
  QCOMPARE(grid.FixedCols(), columns ? 0 : 1);
  QCOMPARE(grid.FixedRows(), columns ? 1 : 0);
  QCOMPARE(grid.CurrentCol(), grid.FixedCols());
  QCOMPARE(grid.CurrentRow(), grid.FixedRows());
  QCOMPARE(grid.FirstVisibleCol(), grid.FixedCols());
  QCOMPARE(grid.verticalHeader()->isHidden(), columns);
  QCOMPARE(grid.horizontalHeader()->isHidden(), !columns);
  // The former labels are ordinary cells now.
  const QModelIndex label = columns ? grid.Model()->IndexOf(0, 1) : grid.Model()->IndexOf(1, 0);
  QVERIFY(label.isValid());
  QCOMPARE(label.data().toString(), columns ? QStringLiteral("До 3") : QStringLiteral("h7    "));
  if (columns) QCOMPARE(grid.horizontalHeader()->sectionSize(0), 70);
  grid.SetColCount(3);
  QCOMPARE(grid.FixedCols(), columns ? 0 : 1);  // a fixed line given up stays given up
}

void StringGridStoreTest::removingEditedColumnCommitsFirst() {
  GridWindow w(tktest::kMainGridOptions);
  w.grid->SetCurrentCol(4);
  QVERIFY(w.Show());
  GridWindow::Press("z");
  w.grid->SetColCount(4);
  QCOMPARE(w.reports.size(), std::size_t{2});
  QCOMPARE(w.reports[1].col, 4);
  QCOMPARE(w.reports[1].value, "z");
  QCOMPARE(w.grid->CurrentCol(), 3);
  QVERIFY(!w.grid->EditingMode());
  QVERIFY(w.Editor() == nullptr);
}

void StringGridStoreTest::fixedColumnWidthIsHeaderWidth() {
  GridWindow w(tktest::kMainGridOptions);
  QVERIFY(w.Show());
  w.grid->SetColWidth(0, 91);
  QTRY_COMPARE(w.grid->verticalHeader()->width(), 91);
  w.grid->SetColWidth(2, 0);  // a column whose texts are all empty
  QCOMPARE(w.grid->horizontalHeader()->sectionSize(1), 0);
}

void StringGridStoreTest::findIndexIgnoresCaseButNotBlanks_data() {
  QTest::addColumn<QString>("wanted");
  QTest::addColumn<int>("index");
  QTest::newRow("latin, other case") << "h7    " << 1;
  QTest::newRow("latin, blanks missing") << "h7" << -1;
  QTest::newRow("latin, extra blank") << "h7     " << -1;
  QTest::newRow("cyrillic, other case") << "н7    " << 2;
  QTest::newRow("cyrillic, same case") << "Н7    " << 2;
  QTest::newRow("cyrillic is not latin") << "H7    " << 1;
  QTest::newRow("the corner label takes part") << "     ММ  " << 0;
  QTest::newRow("first of duplicates") << "JS6   " << 3;
  QTest::newRow("empty text finds an empty cell") << "" << 5;
}

void StringGridStoreTest::findIndexIgnoresCaseButNotBlanks() {
  QFETCH(QString, wanted);
  tk::StringGrid grid;
  grid.SetColCount(7);
  FillRow(grid, 0, {"     мм  ", "H7    ", "Н7    ", "js6   ", "JS6   ", "", "x"});
  QTEST(grid.RowTexts(0).FindIndex(wanted.toStdString()), "index");
  grid.SetRowCount(7);
  for (std::int32_t i = 0; i < 7; ++i) grid.SetCell(0, i, grid.GetCell(i, 0));
  QTEST(grid.ColTexts(0).FindIndex(wanted.toStdString()), "index");
}

void StringGridStoreTest::assignCopiesByPositionInOneAnnouncement() {
  tk::StringGrid grid;
  grid.SetColCount(4);
  FillRow(grid, 2, {"A", "B", "C", "D"});
  tk::TStringList list;
  list.AppendTexts(grid.RowTexts(2));
  list.RemoveAt(1);
  QSignalSpy cells(grid.Model(), &QAbstractItemModel::dataChanged);
  QSignalSpy labels(grid.Model(), &QAbstractItemModel::headerDataChanged);
  grid.AssignRow(2, list);
  QCOMPARE(RowOf(grid, 2), (std::vector<std::string>{"A", "C", "D", "D"}));
  QCOMPARE(cells.count(), 1);
  QCOMPARE(labels.count(), 1);
  // A longer list stops at the line's end; empty texts are copied as they are.
  list.RemoveAll();
  list.AppendTexts(grid.ColTexts(3));  // 5 items: "", "", "D", "", ""
  grid.SetRowCount(3);
  grid.AssignCol(1, list);
  QCOMPARE(grid.GetCell(1, 0), "");
  QCOMPARE(grid.GetCell(1, 2), "D");
}

void StringGridStoreTest::textListKeepsOrderDuplicatesAndEmptyTexts() {
  tk::StringGrid grid;
  FillRow(grid, 1, {"a", "", "a", "b", ""});
  tk::TStringList list;
  list.AppendTexts(grid.RowTexts(1));
  list.AppendTexts(grid.RowTexts(1));
  QCOMPARE(list.Count(), 10);
  list.RemoveAt(0);
  QCOMPARE(list.Item(0), "");
  QCOMPARE(list.Item(1), "a");
  QCOMPARE(list.Item(8), "");
}

void StringGridStoreTest::misuseRaisesTheSystemErrors() {
  const std::string grid_error = "Grid index out of range";
  const std::string list_error = "List index out of bounds";
  tk::StringGrid grid;
  tk::TStringList list;
  list.AppendTexts(grid.RowTexts(0));
  const struct {
    const char* what;
    std::function<void()> action;
    std::string message;
  } cases[] = {
      {"current column below 0", [&] { grid.SetCurrentCol(-1); }, grid_error},
      {"current column at count", [&] { grid.SetCurrentCol(5); }, grid_error},
      {"current row at count", [&] { grid.SetCurrentRow(5); }, grid_error},
      {"width of column at count", [&] { grid.SetColWidth(5, 10); }, grid_error},
      {"width of last column", [&] { grid.SetColWidth(4, 10); }, ""},
      {"cell outside the counts", [&] { grid.SetCell(5, 0, "x"); }, grid_error},
      {"assign to a missing row", [&] { grid.AssignRow(5, list); }, grid_error},
      {"fixed cell may be current", [&] { grid.SetCurrentCol(0); }, ""},
      {"remove below 0", [&] { list.RemoveAt(-1); }, list_error},
      {"remove at count", [&] { list.RemoveAt(5); }, list_error},
      {"read at count", [&] { (void)list.Item(5); }, list_error},
      {"remove last", [&] { list.RemoveAt(4); }, ""},
  };
  for (const auto& c : cases) {
    QVERIFY2(ErrorOf(c.action) == c.message, c.what);
  }
}

void StringGridStoreTest::modelStaysConsistentThroughChanges() {
  tk::StringGrid grid;
  QAbstractItemModelTester tester(grid.Model(),
                                  QAbstractItemModelTester::FailureReportingMode::QtTest);
  grid.SetColCount(8);
  grid.SetRowCount(9);
  grid.SetCell(3, 4, "1 2");
  grid.SetCell(0, 0, "corner");
  tk::TStringList list;
  list.AppendTexts(grid.RowTexts(4));
  grid.AssignRow(5, list);
  grid.SetColCount(2);
  grid.SetRowCount(1);
  grid.SetColCount(1);
  grid.SetRowCount(4);
  QCOMPARE(grid.Model()->rowCount(), 4);
  QCOMPARE(grid.Model()->columnCount(), 1);
}

// Rows added after the columns were cut down move the table to a narrower store: every text
// stays at its cell, new cells are empty, and so are the cut columns when they come back.
void StringGridStoreTest::rowsAddedAfterFewerColumnsKeepTheTexts() {
  tk::StringGrid grid;
  grid.SetColCount(8);
  grid.SetRowCount(3);
  const auto text = [](int col, int row) {
    return std::to_string(col) + "," + std::to_string(row);
  };
  for (int col = 0; col < 8; ++col) {
    for (int row = 0; row < 3; ++row) grid.SetCell(col, row, text(col, row));
  }
  grid.SetColCount(2);
  grid.SetRowCount(40);
  grid.SetColCount(8);
  for (int col = 0; col < 8; ++col) {
    for (int row = 0; row < 40; ++row) {
      QCOMPARE(grid.GetCell(col, row), col < 2 && row < 3 ? text(col, row) : "");
    }
  }
}

void StringGridStoreTest::batchAnnouncesItsWritesOnceAtTheEnd() {
  tk::StringGrid grid;
  grid.SetColCount(6);
  grid.SetRowCount(7);
  QSignalSpy cells(grid.Model(), &QAbstractItemModel::dataChanged);
  QSignalSpy labels(grid.Model(), &QAbstractItemModel::headerDataChanged);
  QSignalSpy corner(grid.Model(), &tk::GridModel::CornerTextChanged);
  grid.BeginCellBatch();
  grid.BeginCellBatch();  // nested: only the outer end announces
  grid.SetCell(2, 5, "a");
  grid.SetCell(0, 3, "b");
  grid.EndCellBatch();
  grid.SetCell(4, 2, "c");
  grid.SetCell(3, 0, "d");
  QCOMPARE(cells.count() + labels.count() + corner.count(), 0);
  QCOMPARE(grid.GetCell(2, 5), "a");
  grid.EndCellBatch();
  // One rectangle from (0, 0) to (4, 5): both label strips, the corner and the value cells.
  QCOMPARE(cells.count(), 1);
  QCOMPARE(cells[0][0].value<QModelIndex>(), grid.Model()->IndexOf(1, 1));
  QCOMPARE(cells[0][1].value<QModelIndex>(), grid.Model()->IndexOf(4, 5));
  QCOMPARE(labels.count(), 2);
  QCOMPARE(corner.count(), 1);
  // Outside a batch every write is announced at once again.
  grid.SetCell(5, 6, "e");
  QCOMPARE(cells.count(), 2);
  // A batch whose cells were cut away by a lowered count announces nothing of them.
  grid.BeginCellBatch();
  grid.SetCell(5, 6, "f");
  grid.SetColCount(3);
  grid.EndCellBatch();
  QCOMPARE(cells.count(), 2);
}

void StringGridStoreTest::alignClientFollowsParent() {
  QWidget area;
  area.resize(300, 200);
  auto* grid = new tk::StringGrid(&area);
  grid->setGeometry(0, 0, 100, 50);
  grid->SetAlignClient();
  QCOMPARE(grid->geometry(), QRect(0, 0, 300, 200));
  area.show();
  area.resize(640, 480);
  QCOMPARE(grid->geometry(), QRect(0, 0, 640, 480));
}

// The editor's delete command on a 1,000 x 1,000 table, and typing into one of its cells (their
// speed is measured by the benchmarks).
void StringGridStoreTest::largeTableTakesEditsAndDeletes() {
  constexpr std::int32_t kSide = 1000;
  GridWindow w(tktest::kMainGridOptions);
  w.grid->SetColCount(kSide);
  w.grid->SetRowCount(kSide);
  for (std::int32_t c = 0; c < kSide; ++c) {
    w.grid->SetCell(c, 0, "0.018 -0.006");
    w.grid->SetColWidth(c, 40 + c % 50);
  }
  tk::TStringList filled;
  filled.AppendTexts(w.grid->RowTexts(0));
  for (std::int32_t r = 1; r < kSide; ++r) w.grid->AssignRow(r, filled);
  QVERIFY(w.Show());
  w.grid->SetCurrentCol(500);

  GridWindow::Press("0,0123456789");
  QCOMPARE(w.grid->GetCell(500, 1), std::string("0,0123456789"));

  const std::int32_t col = w.grid->CurrentCol();
  for (std::int32_t i = col; i < w.grid->ColCount() - 1; ++i) {
    w.grid->SetColWidth(i, w.grid->ColWidth(i + 1));
  }
  tk::TStringList list;
  for (std::int32_t row = 0; row < w.grid->RowCount(); ++row) {
    list.AppendTexts(w.grid->RowTexts(row));
    list.RemoveAt(col);
    w.grid->AssignRow(row, list);
    list.RemoveAll();
  }
  w.grid->SetColCount(w.grid->ColCount() - 1);
  QCoreApplication::processEvents();

  QCOMPARE(w.grid->ColCount(), kSide - 1);
  QCOMPARE(w.grid->ColWidth(500), 40 + 501 % 50);
  QCOMPARE(w.grid->GetCell(500, 1), std::string("0.018 -0.006"));  // the neighbour moved in
}

int RunStringGridStoreTests(int argc, char** argv) {
  StringGridStoreTest store;
  return QTest::qExec(&store, argc, argv);
}

#include "test_string_grid_store.moc"
