// The real main window on tables of one extreme shape: 1 interval x 1,000,000 grades and
// 1,000,000 intervals x 1 grade. Start-up to a loaded, width-fitted table, each beside the data
// layer's load of the same file in the same run (the fitting must stay linear in the cells
// whatever the shape); and, on the wide table, the per-column commands: deleting a grade,
// adding one through its dialog, and one full repaint.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <string>

#include "bench/bench_tables.h"
#include "bench/window_session.h"
#include "data/memory_table.h"
#include "data/tolerance_file.h"
#include "toolkit/controls.h"
#include "toolkit/string_grid.h"
#include "ui/Addkv.h"
#include "ui/main_window.h"

namespace {

using tolbench::Clock;

constexpr std::int64_t kMany = 1'000'000;

struct ShapeFiles {
  ShapeFiles(std::int64_t intervals, std::int64_t grades) : current(dir.Dir()) {
    tolbench::WriteWholeFile(dir.Path("Zarava.win"),
                             tolbench::SampleFileBytes(static_cast<std::int32_t>(intervals),
                                                       static_cast<std::int32_t>(grades)));
  }
  tolbench::ScratchDir dir;
  tolbench::CurrentDirectory current;
};

void SetSeconds(benchmark::State& state, Clock::duration duration) {
  state.SetIterationTime(std::chrono::duration<double>(duration).count());
}

void BM_ShapeStartup(benchmark::State& state) {
  ShapeFiles files(state.range(0), state.range(1));
  (void)tolbench::RunEditor([](TForm1&) {});
  for (auto _ : state) SetSeconds(state, tolbench::RunEditor([](TForm1&) {}));
}

void BM_ShapeLoadTableAlone(benchmark::State& state) {
  ShapeFiles files(state.range(0), state.range(1));
  {
    tol::MemoryTable warm_up;
    tol::LoadTable(warm_up);
  }
  for (auto _ : state) {
    tol::MemoryTable table;
    tol::LoadTable(table);
    benchmark::DoNotOptimize(table.ColCount());
  }
}

// Deletes the grade in the middle of what is left, the question answered as soon as it is up.
void BM_WideDeleteGrade(benchmark::State& state) {
  ShapeFiles files(1, kMany);
  tolbench::YesAnswerer answerer;
  (void)tolbench::RunEditor([&](TForm1& form) {
    for (auto _ : state) {
      const std::optional<Clock::duration> took = tolbench::DeleteMiddleGrade(form, answerer);
      if (!took) {
        state.SkipWithError("the grade was not deleted");
        return;
      }
      SetSeconds(state, *took);
    }
  });
}

// Opens the add-grade dialog, types a new name and the values of the one interval, saves and
// leaves; the time runs from the command to the dialog's end.
void BM_WideAddGrade(benchmark::State& state) {
  ShapeFiles files(1, kMany);
  int added = 0;
  QTimer driver;
  driver.setInterval(0);
  QObject::connect(&driver, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<TFormAddKv*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isActiveWindow()) return;
    driver.stop();
    QTest::keyClicks(dialog->Edit1, QString::fromLatin1("n%1").arg(added++, 4, 10, QChar('0')));
    dialog->StringGrid1->SetCell(1, 1, "0,01 -0,01");
    QTest::mouseClick(dialog->BitBtnSave, Qt::LeftButton);
    QTest::mouseClick(dialog->BitBtnExit, Qt::LeftButton);
  });
  (void)tolbench::RunEditor([&](TForm1& form) {
    tk::StringGrid& grid = *form.StringGrid1;
    for (auto _ : state) {
      const std::int32_t before = grid.ColCount();
      driver.start();
      const Clock::time_point start = Clock::now();
      QTest::mouseClick(form.AddKv, Qt::LeftButton);
      SetSeconds(state, Clock::now() - start);
      if (grid.ColCount() != before + 1) {
        state.SkipWithError("the grade was not added");
        return;
      }
    }
  });
}

void BM_WideRepaint(benchmark::State& state) {
  ShapeFiles files(1, kMany);
  (void)tolbench::RunEditor([&](TForm1& form) {
    QWidget* viewport = form.StringGrid1->viewport();
    for (auto _ : state) viewport->repaint();
  });
}

[[maybe_unused]] const bool kRegistered = [] {
  for (const auto& shape : {std::vector<std::int64_t>{1, kMany}, {kMany, 1}}) {
    benchmark::RegisterBenchmark("BM_ShapeStartup", BM_ShapeStartup)
        ->Args(shape)
        ->Iterations(3)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_ShapeLoadTableAlone", BM_ShapeLoadTableAlone)
        ->Args(shape)
        ->Iterations(3)
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::RegisterBenchmark("BM_WideDeleteGrade", BM_WideDeleteGrade)
      ->Iterations(3)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_WideAddGrade", BM_WideAddGrade)
      ->Iterations(3)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_WideRepaint", BM_WideRepaint)
      ->Iterations(20)
      ->Unit(benchmark::kMillisecond);
  return true;
}();

}  // namespace

int main(int argc, char** argv) { return tolbench::RunWindowBenchmarks(argc, argv); }
