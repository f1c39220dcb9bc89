// The tolerance views on a 1000 x 1000 table in the real main window: the zone panel's repaint
// with 1000 grades, a move of the current cell with the panel and the status bar shown, a
// keystroke with the panel shown (and without it, the baseline), the record of rounded values
// (bytes for a table of whole thousandths and per marked cell for a table that rounds
// everywhere), and printing the whole table to PDF (time, pages, file size).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDate>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrinter>
#include <QTest>
#include <cstring>
#include <string>

#include "bench/bench_tables.h"
#include "bench/window_session.h"
#include "data/memory_table.h"
#include "data/table_codec.h"
#include "data/tolerance_file.h"
#include "toolkit/string_grid.h"
#include "ui/loaded_values.h"
#include "ui/main_window.h"
#include "ui/table_printer.h"
#include "ui/tolerance_panel.h"
#include "ui/tolerance_views.h"

namespace {

constexpr std::int32_t kSize = 1000;

// The sample's values moved off whole thousandths by 0.00005 mm, so that every cell rounds.
std::string RoundingFileBytes() {
  std::string bytes = tolbench::SampleFileBytes(kSize, kSize);
  const std::size_t values = 8 + 8 * std::size_t{kSize} + tol::kNameSize * kSize;
  for (std::size_t at = values; at + 8 <= bytes.size(); at += 8) {
    double v = 0;
    std::memcpy(&v, bytes.data() + at, 8);
    v += 0.00005;
    std::memcpy(bytes.data() + at, &v, 8);
  }
  return bytes;
}

struct EditorFiles {
  explicit EditorFiles(const std::string& bytes) : current(dir.Dir()) {
    tolbench::WriteWholeFile(dir.Path("Zarava.win"), bytes);
  }
  tolbench::ScratchDir dir;
  tolbench::CurrentDirectory current;
};

void ShowPanelAt(TForm1& form, std::int32_t col, std::int32_t row) {
  form.Views->Panel->show();
  form.StringGrid1->SetCurrentCol(col);
  form.StringGrid1->SetCurrentRow(row);
  QApplication::processEvents();
}

// At the panel's own width, and widened to most of the screen (about 40 bars in view).
void BM_PanelRepaint(benchmark::State& state) {
  EditorFiles files(tolbench::SampleFileBytes(kSize, kSize));
  (void)tolbench::RunEditor([&](TForm1& form) {
    ShowPanelAt(form, kSize / 2, kSize / 2);
    TolerancePanel& panel = *form.Views->Panel;
    if (state.range(0) != 0) {
      form.resizeDocks({&panel}, {static_cast<int>(state.range(0))}, Qt::Horizontal);
      QApplication::processEvents();
    }
    state.SetLabel(std::to_string(panel.Chart->Zones().size()) + " grades, " +
                   std::to_string(panel.Chart->width()) + "x" +
                   std::to_string(panel.Chart->height()));
    for (auto _ : state) {
      panel.Invalidate();
      panel.RefreshIfStale();
      panel.Chart->repaint();
    }
  });
}

// The move, the status bar's text and the panel brought up to date for the new interval.
void BM_MoveCurrentCellWithPanel(benchmark::State& state) {
  EditorFiles files(tolbench::SampleFileBytes(kSize, kSize));
  (void)tolbench::RunEditor([&](TForm1& form) {
    const bool panel = state.range(0) != 0;
    if (panel) ShowPanelAt(form, kSize / 2, kSize / 2);
    tk::StringGrid& grid = *form.StringGrid1;
    bool down = true;
    for (auto _ : state) {
      grid.SetCurrentRow(grid.CurrentRow() + (down ? 1 : -1));
      form.Views->Panel->RefreshIfStale();
      down = !down;
    }
  });
}

// As the window benchmark's keystroke: a digit typed and taken back in a middle cell's editor.
void BM_KeystrokeWithPanel(benchmark::State& state) {
  EditorFiles files(tolbench::SampleFileBytes(kSize, kSize));
  (void)tolbench::RunEditor([&](TForm1& form) {
    if (state.range(0) != 0) ShowPanelAt(form, kSize / 2, kSize / 2);
    QWidget* editor = tolbench::OpenCellEditor(form, kSize / 2, kSize / 2);
    if (editor == nullptr) {
      state.SkipWithError("the cell editor did not take the focus");
      return;
    }
    bool digit = true;
    for (auto _ : state) {
      QTest::keyClick(editor, digit ? Qt::Key_7 : Qt::Key_Backspace);
      digit = !digit;
    }
  });
}

// One full repaint of the grid on a table whose every cell is marked, against the same on a
// table of whole thousandths: what the marks cost the grid.
void BM_GridRepaintMarked(benchmark::State& state) {
  const bool rounding = state.range(0) != 0;
  EditorFiles files(rounding ? RoundingFileBytes() : tolbench::SampleFileBytes(kSize, kSize));
  (void)tolbench::RunEditor([&](TForm1& form) {
    QWidget* viewport = form.StringGrid1->viewport();
    for (auto _ : state) viewport->repaint();
  });
}

void BM_RoundedValuesRecord(benchmark::State& state) {
  const bool rounding = state.range(0) != 0;
  EditorFiles files(rounding ? RoundingFileBytes() : tolbench::SampleFileBytes(kSize, kSize));
  for (auto _ : state) {
    (void)tolbench::RunEditor([&](TForm1& form) {
      const LoadedValues& loaded = form.Views->Loaded();
      const auto cells = static_cast<double>(loaded.RecordedCells());
      state.counters["marked_cells"] = cells;
      state.counters["record_bytes"] = static_cast<double>(loaded.HeapBytes());
      state.counters["bytes_per_cell"] = static_cast<double>(loaded.HeapBytes()) / (kSize * kSize);
      if (cells > 0) {
        state.counters["bytes_per_marked_cell"] = static_cast<double>(loaded.HeapBytes()) / cells;
      }
    });
  }
}

// The data layer's load of a table of whole thousandths with and without a sink for rounded
// cells: the test the sink asks for is the whole difference.
class CountingSink final : public tol::LoadedCellSink {
 public:
  void CellRounded(std::int32_t, std::int32_t, double, double) override { ++cells; }
  std::int64_t cells = 0;
};

void BM_LoadWithRoundedSink(benchmark::State& state) {
  EditorFiles files(tolbench::SampleFileBytes(kSize, kSize));
  CountingSink sink;
  for (auto _ : state) {
    tol::MemoryTable table;
    tol::LoadTable(table, state.range(0) != 0 ? &sink : nullptr);
    benchmark::DoNotOptimize(table.RowCount());
  }
  if (sink.cells != 0) state.SkipWithError("a cell of whole thousandths was reported");
}

void BM_PrintToPdf(benchmark::State& state) {
  EditorFiles files(tolbench::SampleFileBytes(kSize, kSize));
  (void)tolbench::RunEditor([&](TForm1& form) {
    const std::string path = files.dir.Path("table.pdf");
    int pages = 0;
    for (auto _ : state) {
      QPrinter printer(QPrinter::HighResolution);
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(QString::fromStdString(path));
      pages = PrintTable(printer, *form.StringGrid1->Model(), QStringLiteral("Zarava.win"),
                         QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
    }
    state.counters["pages"] = pages;
    state.counters["file_MB"] =
        static_cast<double>(QFileInfo(QString::fromStdString(path)).size()) / 1e6;
  });
}

[[maybe_unused]] const bool kRegistered = [] {
  benchmark::RegisterBenchmark("BM_PanelRepaint", BM_PanelRepaint)
      ->ArgName("width")
      ->Arg(0)
      ->Arg(1600)
      ->Iterations(50)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_MoveCurrentCellWithPanel", BM_MoveCurrentCellWithPanel)
      ->ArgName("panel")
      ->Arg(0)
      ->Arg(1)
      ->Iterations(500)
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("BM_KeystrokeWithPanel", BM_KeystrokeWithPanel)
      ->ArgName("panel")
      ->Arg(0)
      ->Arg(1)
      ->Iterations(2000)
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("BM_GridRepaintMarked", BM_GridRepaintMarked)
      ->ArgName("rounding")
      ->Arg(0)
      ->Arg(1)
      ->Iterations(50)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_RoundedValuesRecord", BM_RoundedValuesRecord)
      ->ArgName("rounding")
      ->Arg(0)
      ->Arg(1)
      ->Iterations(1)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_LoadWithRoundedSink", BM_LoadWithRoundedSink)
      ->ArgName("sink")
      ->Arg(0)
      ->Arg(1)
      ->Iterations(5)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_PrintToPdf", BM_PrintToPdf)
      ->Iterations(1)
      ->Unit(benchmark::kMillisecond);
  return true;
}();

}  // namespace

int main(int argc, char** argv) { return tolbench::RunWindowBenchmarks(argc, argv); }
