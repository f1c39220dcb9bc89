// The spreadsheet commands of the real main window on a 1000 x 1000 table, on the offscreen
// platform: Ctrl+C of the whole table (Ctrl+A first), Ctrl+V of a 1000 x 1000 block of value
// pairs, the undo of that paste, and the undo of a single cell edit; beside them the data
// layer's load of the same file as the baseline, in the same run. The resident memory a
// full-table paste leaves in the undo history is reported by BM_PasteUndoResident.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <time.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <string>

#include "bench/bench_tables.h"
#include "bench/window_session.h"
#include "data/cell_block.h"
#include "data/memory_table.h"
#include "data/tolerance_file.h"
#include "toolkit/string_grid.h"
#include "ui/main_window.h"

namespace {

using tolbench::Clock;

constexpr std::int32_t kSize = 1000;

struct EditorFiles {
  EditorFiles() : current(dir.Dir()) {
    tolbench::WriteWholeFile(dir.Path("Zarava.win"), tolbench::SampleFileBytes(kSize, kSize));
  }
  tolbench::ScratchDir dir;
  tolbench::CurrentDirectory current;
};

void SetSeconds(benchmark::State& state, Clock::duration duration) {
  state.SetIterationTime(std::chrono::duration<double>(duration).count());
}

void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
  if (QWidget* focused = QApplication::focusWidget()) QTest::keyClick(focused, key, modifiers);
}

double ThreadCpuMs() {
  timespec now{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The wall time of action; its processor time on this thread is added to cpuMs. Both are
// reported: on a machine shared with other work the wall time carries their load too.
template <class Action>
Clock::duration Timed(Action action, double& cpuMs) {
  const double cpuStart = ThreadCpuMs();
  const Clock::time_point start = Clock::now();
  action();
  const Clock::duration wall = Clock::now() - start;
  cpuMs += ThreadCpuMs() - cpuStart;
  return wall;
}

void ReportCpu(benchmark::State& state, double cpuMs) {
  state.counters["thread_cpu_ms"] = benchmark::Counter(cpuMs, benchmark::Counter::kAvgIterations);
}

// A kSize x kSize block of value pairs unlike the sample's, two fields a cell as a spreadsheet
// copies them, so that every cell of the table changes.
QString SpreadsheetBlock() {
  std::string text;
  for (std::int32_t row = 0; row < kSize; ++row) {
    for (std::int32_t col = 0; col < kSize; ++col) {
      const int thousandths = (row * 7 + col * 3) % 997 + 1;
      text += "0," + std::to_string(1000 + thousandths).substr(1) + "\t-0," +
              std::to_string(1000 + thousandths / 2).substr(1);
      text += col + 1 < kSize ? '\t' : '\n';
    }
  }
  return QString::fromStdString(text);
}

bool Pasted(const tk::StringGrid& grid, const std::string& before) {
  return grid.GetCell(kSize, kSize) != before;
}

void BM_CopyWholeTable(benchmark::State& state) {
  EditorFiles files;
  double cpuMs = 0;
  (void)tolbench::RunEditor([&](TForm1& form) {
    Press(Qt::Key_A);
    for (auto _ : state) SetSeconds(state, Timed([] { Press(Qt::Key_C); }, cpuMs));
    if (!QApplication::clipboard()->text().startsWith(
            QString::fromStdString(form.StringGrid1->GetCell(0, 0)))) {
      state.SkipWithError("the copy lacks the table");
    }
  });
  ReportCpu(state, cpuMs);
}

// Each iteration pastes the block over the whole table and then undoes it; what = 0 times the
// paste, what = 1 the undo.
void BM_PasteAndUndo(benchmark::State& state) {
  EditorFiles files;
  QApplication::clipboard()->setText(SpreadsheetBlock());
  double pasteCpu = 0;
  double undoCpu = 0;
  (void)tolbench::RunEditor([&](TForm1& form) {
    const tk::StringGrid& grid = *form.StringGrid1;
    const std::string before = grid.GetCell(kSize, kSize);
    for (auto _ : state) {
      const Clock::duration paste = Timed([] { Press(Qt::Key_V); }, pasteCpu);
      const bool pasted = Pasted(grid, before);
      const Clock::duration undo = Timed([] { Press(Qt::Key_Z); }, undoCpu);
      if (!pasted || Pasted(grid, before)) {
        state.SkipWithError("the paste or its undo did not change the table");
        return;
      }
      SetSeconds(state, state.range(0) == 0 ? paste : undo);
    }
  });
  state.SetLabel(state.range(0) == 0 ? "paste" : "undo of the paste");
  ReportCpu(state, state.range(0) == 0 ? pasteCpu : undoCpu);
}

// Undo of one cell edit, the edit redone untimed between the iterations.
void BM_UndoOneCell(benchmark::State& state) {
  EditorFiles files;
  double cpuMs = 0;
  (void)tolbench::RunEditor([&](TForm1& form) {
    tk::StringGrid& grid = *form.StringGrid1;
    grid.SetCurrentCol(kSize / 2);
    grid.SetCurrentRow(kSize / 2);
    const std::string before = grid.GetCell(kSize / 2, kSize / 2);
    Press(Qt::Key_7, Qt::NoModifier);
    Press(Qt::Key_Return, Qt::NoModifier);
    for (auto _ : state) {
      SetSeconds(state, Timed([] { Press(Qt::Key_Z); }, cpuMs));
      if (grid.GetCell(kSize / 2, kSize / 2) != before) {
        state.SkipWithError("the undo did not restore the cell");
        return;
      }
      Press(Qt::Key_Y);
    }
  });
  ReportCpu(state, cpuMs);
}

// The baseline: the data layer alone loading the same file into a memory table.
void BM_LoadTableBaseline(benchmark::State& state) {
  EditorFiles files;
  {
    tol::MemoryTable warmUp;
    tol::LoadTable(warmUp);
  }
  double cpuMs = 0;
  for (auto _ : state) {
    (void)Timed(
        [] {
          tol::MemoryTable table;
          tol::LoadTable(table);
          benchmark::DoNotOptimize(table.RowCount());
        },
        cpuMs);
  }
  ReportCpu(state, cpuMs);
}

// The resident size before a full-table paste and after it, the heap's free pages handed back
// both times: the growth is what the undo history keeps for the paste.
void BM_PasteUndoResident(benchmark::State& state) {
  EditorFiles files;
  QApplication::clipboard()->setText(SpreadsheetBlock());
  long before = 0;
  long after = 0;
  (void)tolbench::RunEditor([&](TForm1&) {
    for (auto _ : state) {
      QApplication::processEvents();
      ::malloc_trim(0);
      before = tolbench::ResidentBytes();
      Press(Qt::Key_V);
      QApplication::processEvents();
      ::malloc_trim(0);
      after = tolbench::ResidentBytes();
    }
  });
  const double cells = static_cast<double>(kSize) * kSize;
  state.counters["undo_MB"] = static_cast<double>(after - before) / 1e6;
  state.counters["undo_bytes_per_cell"] = static_cast<double>(after - before) / cells;
}

[[maybe_unused]] const bool kRegistered = [] {
  benchmark::RegisterBenchmark("BM_CopyWholeTable", BM_CopyWholeTable)
      ->Iterations(5)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_PasteAndUndo", BM_PasteAndUndo)
      ->Arg(0)
      ->Arg(1)
      ->Iterations(3)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_UndoOneCell", BM_UndoOneCell)
      ->Iterations(200)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_LoadTableBaseline", BM_LoadTableBaseline)
      ->Iterations(5)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_PasteUndoResident", BM_PasteUndoResident)
      ->Iterations(1)
      ->Unit(benchmark::kMillisecond);
  return true;
}();

}  // namespace

int main(int argc, char** argv) { return tolbench::RunWindowBenchmarks(argc, argv); }
