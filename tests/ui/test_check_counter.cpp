// The check counter follows a grid model through random writes, line writes, batches and count
// changes, and after every step agrees with a count made afresh from the texts.

#include <QSignalSpy>
#include <QTest>
#include <array>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "data/table_checks.h"
#include "toolkit/grid_model.h"
#include "ui/check_counter.h"

namespace {

constexpr std::array<const char*, 6> kValueTexts = {"0.018 -0.006", "-0.006 0.018", "0 0",
                                                    "x 1",          "-1 1,5",       ""};
constexpr std::array<const char*, 6> kLabelTexts = {"До 3", "До 6", "До 10", "До 6,5", "До x", ""};

struct Expected {
  std::size_t failing_cells = 0;
  std::vector<std::int32_t> bounds_out_of_order;
};

Expected CountAfresh(const tk::GridModel& cells) {
  Expected expected;
  for (std::int32_t row = 1; row < cells.RowCount(); ++row) {
    for (std::int32_t col = 1; col < cells.ColCount(); ++col) {
      if (tol::UpperBelowLower(cells.Cell(col, row))) ++expected.failing_cells;
    }
  }
  std::optional<double> previous = 0.0;
  for (std::int32_t row = 1; row < cells.RowCount(); ++row) {
    const std::optional<double> bound = tol::IntervalBound(cells.Cell(0, row));
    if (tol::BoundOutOfOrder(previous, bound)) expected.bounds_out_of_order.push_back(row);
    previous = bound;
  }
  return expected;
}

class RandomEdits {
 public:
  explicit RandomEdits(tk::GridModel& cells, unsigned seed) : cells_(cells), random_(seed) {}

  // One change of the kinds the editor makes: a cell, a label, a whole line, a batch of
  // writes (as a load or a shift of lines), or a count.
  void Step() {
    switch (Below(6)) {
      case 0: WriteCell(); break;
      case 1: cells_.SetCell(0, Between(1, cells_.RowCount() - 1), Label()); break;
      case 2: WriteLine(); break;
      case 3: WriteBatch(); break;
      case 4: cells_.SetRowCount(Between(2, 12)); break;
      default: cells_.SetColCount(Between(2, 6)); break;
    }
  }

 private:
  std::int32_t Below(std::int32_t n) {
    return std::uniform_int_distribution<std::int32_t>(0, n - 1)(random_);
  }
  std::int32_t Between(std::int32_t low, std::int32_t high) { return low + Below(high - low + 1); }
  std::string Value() { return kValueTexts[static_cast<std::size_t>(Below(kValueTexts.size()))]; }
  std::string Label() { return kLabelTexts[static_cast<std::size_t>(Below(kLabelTexts.size()))]; }

  void WriteCell() {
    cells_.SetCell(Between(1, cells_.ColCount() - 1), Between(1, cells_.RowCount() - 1), Value());
  }

  void WriteLine() {
    const bool labels = Below(2) == 0;
    std::vector<std::string> texts(static_cast<std::size_t>(cells_.RowCount()));
    for (std::size_t row = 1; row < texts.size(); ++row) texts[row] = labels ? Label() : Value();
    cells_.AssignLine(false, labels ? 0 : Between(1, cells_.ColCount() - 1), texts);
  }

  void WriteBatch() {
    cells_.BeginBatch();
    for (std::int32_t writes = Between(1, 8); writes > 0; --writes) {
      if (Below(2) == 0) {
        WriteCell();
      } else {
        cells_.SetCell(0, Between(1, cells_.RowCount() - 1), Label());
      }
    }
    cells_.EndBatch();
  }

  tk::GridModel& cells_;
  std::mt19937 random_;
};

}  // namespace

class TestCheckCounter : public QObject {
  Q_OBJECT

 private slots:
  void followsEveryChange();
};

void TestCheckCounter::followsEveryChange() {
  for (unsigned seed = 1; seed <= 20; ++seed) {
    tk::GridModel cells;
    cells.SetColCount(4);
    cells.SetRowCount(8);
    cells.SetFixed(1, 1);
    CheckCounter checks(cells);
    QSignalSpy changes(&checks, &CheckCounter::CountsChanged);
    RandomEdits edits(cells, seed);
    Expected before = CountAfresh(cells);
    for (int step = 0; step < 300; ++step) {
      edits.Step();
      const Expected expected = CountAfresh(cells);
      QCOMPARE(checks.UpperBelowLowerCount(), expected.failing_cells);
      QCOMPARE(checks.BoundsOutOfOrderCount(), expected.bounds_out_of_order.size());
      for (std::int32_t row = 0; row < cells.RowCount() + 2; ++row) {
        const bool out = std::ranges::binary_search(expected.bounds_out_of_order, row);
        QVERIFY2(checks.BoundOutOfOrder(row) == out, qPrintable(QString::number(row)));
        for (std::int32_t col = 1; col < cells.ColCount(); ++col) {
          QCOMPARE(checks.CellFails(col, row), tol::UpperBelowLower(cells.Cell(col, row)));
        }
      }
      const bool changed = expected.failing_cells != before.failing_cells ||
                           expected.bounds_out_of_order != before.bounds_out_of_order;
      if (changed) QVERIFY(!changes.isEmpty());
      changes.clear();
      before = expected;
    }
  }
}

QTEST_GUILESS_MAIN(TestCheckCounter)
#include "test_check_counter.moc"
