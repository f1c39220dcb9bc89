// The real main window on the offscreen platform, at tables of 0 (an empty file), 100 x 100,
// 300 x 300 and 1000 x 1000: start-up to a loaded, width-fitted table; F2 (validation and save);
// one typed character in a cell; deleting a middle grade after answering Yes; one full repaint
// of the grid at 1920 x 1080. Beside them, the data layer's load and save of the same file as
// the baselines of start-up and save.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <string>

#include "bench/bench_tables.h"
#include "bench/window_session.h"
#include "data/memory_table.h"
#include "data/tolerance_file.h"
#include "toolkit/controls.h"
#include "toolkit/string_grid.h"
#include "ui/main_window.h"

namespace {

using tolbench::Clock;

// A scratch directory, made current, holding a size x size tolerance file.
struct EditorFiles {
  explicit EditorFiles(std::int32_t size) : current(dir.Dir()) {
    tolbench::WriteWholeFile(dir.Path("Zarava.win"), tolbench::SampleFileBytes(size, size));
  }
  tolbench::ScratchDir dir;
  tolbench::CurrentDirectory current;
};

void CountCells(benchmark::State& state) {
  const double cells = static_cast<double>(state.range(0)) * static_cast<double>(state.range(0));
  if (cells == 0) return;
  state.counters["per_cell"] = benchmark::Counter(
      cells, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void SetSeconds(benchmark::State& state, Clock::duration duration) {
  state.SetIterationTime(std::chrono::duration<double>(duration).count());
}

void PressKey(QWidget* target, Qt::Key key) {
  if (target != nullptr) QTest::keyClick(target, key);
}

// One start-up first, untimed: the first run after a pause takes its memory from pages the
// system has not handed to the process lately, which on a virtual machine costs several times
// the start-up itself. Its baseline, the data layer's load, warms up the same way.
void BM_WindowStartup(benchmark::State& state) {
  EditorFiles files(static_cast<std::int32_t>(state.range(0)));
  (void)tolbench::RunEditor([](TForm1&) {});
  for (auto _ : state) SetSeconds(state, tolbench::RunEditor([](TForm1&) {}));
  CountCells(state);
}

void BM_WindowSave(benchmark::State& state) {
  EditorFiles files(static_cast<std::int32_t>(state.range(0)));
  (void)tolbench::RunEditor([&](TForm1& form) {
    for (auto _ : state) PressKey(QApplication::focusWidget(), Qt::Key_F2);
    if (form.Label1->isVisible()) state.SkipWithError("the save refused a cell");
  });
  CountCells(state);
}

// Alternately types a digit and takes it back with backspace in a middle cell's editor.
void BM_WindowKeystroke(benchmark::State& state) {
  EditorFiles files(static_cast<std::int32_t>(state.range(0)));
  (void)tolbench::RunEditor([&](TForm1& form) {
    const tk::StringGrid& grid = *form.StringGrid1;
    QWidget* editor = tolbench::OpenCellEditor(form, grid.ColCount() / 2, grid.RowCount() / 2);
    if (editor == nullptr) {
      state.SkipWithError("the cell editor did not take the focus");
      return;
    }
    bool digit = true;
    for (auto _ : state) {
      PressKey(editor, digit ? Qt::Key_7 : Qt::Key_Backspace);
      digit = !digit;
    }
  });
}

// Each iteration deletes the grade in the middle of what is left; the time runs from the command
// to its end, the question answered as soon as it is up.
void BM_WindowDeleteGrade(benchmark::State& state) {
  EditorFiles files(static_cast<std::int32_t>(state.range(0)));
  tolbench::YesAnswerer answerer;
  Clock::duration after_answer{};
  (void)tolbench::RunEditor([&](TForm1& form) {
    for (auto _ : state) {
      const std::optional<Clock::duration> took = tolbench::DeleteMiddleGrade(form, answerer);
      const Clock::time_point end = Clock::now();
      if (!took) {
        state.SkipWithError("the grade was not deleted");
        return;
      }
      SetSeconds(state, *took);
      after_answer += end - answerer.AnsweredAt();
    }
  });
  state.counters["after_answer_ms"] =
      benchmark::Counter(std::chrono::duration<double, std::milli>(after_answer).count(),
                         benchmark::Counter::kAvgIterations);
}

void BM_WindowRepaint(benchmark::State& state) {
  EditorFiles files(static_cast<std::int32_t>(state.range(0)));
  (void)tolbench::RunEditor([&](TForm1& form) {
    QWidget* viewport = form.StringGrid1->viewport();
    state.SetLabel(std::to_string(viewport->width()) + "x" + std::to_string(viewport->height()) +
                   " viewport");
    for (auto _ : state) viewport->repaint();
  });
}

// The data layer alone on the same file, loading into and saving from a memory table: the
// baselines of the window's start-up and F2 save, measured in the same program run (and
// interleaved with the window's runs), since times drift between runs.
void BM_LoadTableAlone(benchmark::State& state) {
  EditorFiles files(static_cast<std::int32_t>(state.range(0)));
  {
    tol::MemoryTable warm_up;  // one load first, untimed, as for the window's start-up
    tol::LoadTable(warm_up);
  }
  for (auto _ : state) {
    tol::MemoryTable table;
    tol::LoadTable(table);
    benchmark::DoNotOptimize(table.RowCount());
  }
  CountCells(state);
}

void BM_StoreTableAlone(benchmark::State& state) {
  EditorFiles files(static_cast<std::int32_t>(state.range(0)));
  tol::MemoryTable table;
  tol::LoadTable(table);
  for (auto _ : state) tol::StoreTable(table);
  CountCells(state);
}

// Fixed iteration counts: each run of a benchmark starts a window, and the big tables must not
// be started again just to estimate how many iterations fit.
void Register(const char* name, void (*function)(benchmark::State&), bool with_empty,
              std::int64_t small_iterations, std::int64_t big_iterations, bool manual_time) {
  auto configure = [&](benchmark::internal::Benchmark* benchmark, std::int64_t iterations) {
    benchmark->Iterations(iterations)->Unit(benchmark::kMillisecond);
    if (manual_time) benchmark->UseManualTime();
  };
  auto* small = benchmark::RegisterBenchmark(name, function);
  if (with_empty) small->Arg(0);
  configure(small->Arg(100)->Arg(300), small_iterations);
  configure(benchmark::RegisterBenchmark(name, function)->Arg(1000), big_iterations);
}

[[maybe_unused]] const bool kRegistered = [] {
  Register("BM_WindowStartup", BM_WindowStartup, true, 10, 3, true);
  Register("BM_WindowSave", BM_WindowSave, true, 10, 5, false);
  Register("BM_WindowKeystroke", BM_WindowKeystroke, false, 2000, 2000, false);
  Register("BM_WindowDeleteGrade", BM_WindowDeleteGrade, false, 10, 5, true);
  Register("BM_WindowRepaint", BM_WindowRepaint, false, 100, 100, false);
  for (auto* baseline : {benchmark::RegisterBenchmark("BM_LoadTableAlone", BM_LoadTableAlone),
                         benchmark::RegisterBenchmark("BM_StoreTableAlone", BM_StoreTableAlone)}) {
    baseline->Arg(1000)->Iterations(5)->Unit(benchmark::kMillisecond);
  }
  return true;
}();

}  // namespace

int main(int argc, char** argv) { return tolbench::RunWindowBenchmarks(argc, argv); }
