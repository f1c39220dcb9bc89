// A block written straight into the grid: the cells that change and the texts they replace, one
// announcement when the block is kept, and every text back when it is not.

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <string>
#include <vector>

#include "toolkit/grid_block_writer.h"
#include "toolkit/grid_model.h"
#include "toolkit/string_grid.h"

namespace {

using Texts = std::vector<std::string>;  // every cell, row by row

Texts AllTexts(const tk::StringGrid& grid) {
  Texts texts;
  for (std::int32_t row = 0; row < grid.RowCount(); ++row) {
    for (std::int32_t col = 0; col < grid.ColCount(); ++col)
      texts.push_back(grid.GetCell(col, row));
  }
  return texts;
}

// A 5 x 5 grid whose cell (c, r) holds "c r".
void Fill(tk::StringGrid& grid) {
  for (std::int32_t row = 0; row < grid.RowCount(); ++row) {
    for (std::int32_t col = 0; col < grid.ColCount(); ++col) {
      grid.SetCell(col, row, std::to_string(col) + " " + std::to_string(row));
    }
  }
}

// Puts a cell that changes, one that holds its text already, one outside the counts, and a
// cell written twice.
void PutSome(tk::GridBlockWriter& writer) {
  writer.Reserve(5);
  writer.Put(1, 1, "a");
  writer.Put(2, 1, "2 1");
  writer.Put(9, 9, "x");
  writer.Put(3, 2, "b");
  writer.Put(3, 2, "c");
}

}  // namespace

class GridBlockWriterTest : public QObject {
  Q_OBJECT

 private slots:
  void keptBlockIsAnnouncedOnceWithTheReplacedTexts();
  void blockNotKeptIsTakenBack();
  void rowsOfCellsMakeRuns();
};

void GridBlockWriterTest::keptBlockIsAnnouncedOnceWithTheReplacedTexts() {
  tk::StringGrid grid;
  Fill(grid);
  QSignalSpy cells(grid.Model(), &QAbstractItemModel::dataChanged);
  tk::GridBlockWriter writer(grid);
  PutSome(writer);
  QCOMPARE(cells.count(), 0);  // nothing announced while the block is read
  QCOMPARE(writer.Count(), std::size_t{5});
  const tk::CellRuns replaced = writer.Keep();
  QCOMPARE(cells.count(), 1);
  const auto& args = cells.front();
  const auto top_left = args[0].value<QModelIndex>();
  const auto bottom_right = args[1].value<QModelIndex>();
  QCOMPARE(grid.Model()->ColOf(top_left), 1);
  QCOMPARE(grid.Model()->RowOf(top_left), 1);
  QCOMPARE(grid.Model()->ColOf(bottom_right), 3);
  QCOMPARE(grid.Model()->RowOf(bottom_right), 2);
  QCOMPARE(grid.GetCell(1, 1), "a");
  QCOMPARE(grid.GetCell(2, 1), "2 1");
  QCOMPARE(grid.GetCell(3, 2), "c");
  // The unchanged cell and the one outside are not kept; the cell written twice is, twice.
  QCOMPARE(replaced.texts, (std::vector<std::string>{"1 1", "3 2", "b"}));
  QCOMPARE(replaced.runs.size(), std::size_t{3});
  QCOMPARE(replaced.runs[2].col, 3);
  QCOMPARE(replaced.runs[2].row, 2);
}

// Cells written left to right along a row make one run; undoing it (backwards) and redoing it
// swap the texts back and forth.
void GridBlockWriterTest::rowsOfCellsMakeRuns() {
  tk::StringGrid grid;
  Fill(grid);
  const Texts before = AllTexts(grid);
  tk::GridBlockWriter writer(grid);
  for (std::int32_t col = 1; col < 5; ++col) writer.Put(col, 3, "r" + std::to_string(col));
  writer.Put(1, 4, "s");
  tk::CellRuns replaced = writer.Keep();
  QCOMPARE(replaced.runs.size(), std::size_t{2});
  QCOMPARE(replaced.runs[0].count, 4);
  QCOMPARE(replaced.texts.size(), std::size_t{5});
  const Texts written = AllTexts(grid);
  grid.SwapRuns(replaced, true);
  QVERIFY(AllTexts(grid) == before);
  grid.SwapRuns(replaced, false);
  QVERIFY(AllTexts(grid) == written);
  QCOMPARE(grid.GetCell(4, 3), "r4");
}

void GridBlockWriterTest::blockNotKeptIsTakenBack() {
  tk::StringGrid grid;
  Fill(grid);
  const Texts before = AllTexts(grid);
  QSignalSpy cells(grid.Model(), &QAbstractItemModel::dataChanged);
  {
    tk::GridBlockWriter writer(grid);
    PutSome(writer);
    writer.Clear();  // read again another way
    QCOMPARE(writer.Count(), std::size_t{0});
    QVERIFY(AllTexts(grid) == before);
    writer.Put(4, 4, "d");
    QCOMPARE(grid.GetCell(4, 4), "d");
  }  // ended without Keep: a refusal
  QVERIFY(AllTexts(grid) == before);
  QCOMPARE(cells.count(), 0);
}

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  GridBlockWriterTest tests;
  return QTest::qExec(&tests, argc, argv);
}

#include "test_grid_block_writer.moc"
