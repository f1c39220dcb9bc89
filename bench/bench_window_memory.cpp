// Resident memory the loaded table costs in the real main window: the resident size with the
// table shown, less the resident size of the same start-up on an empty file, per cell. The
// peak's growth is reported beside it, for what a load needs on the way.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>

#include "bench/bench_tables.h"
#include "bench/window_session.h"

namespace {

long PeakResidentBytes() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss * 1024L;
}

// Starts the editor on a size x size file and gives the resident size once it is shown.
long ResidentWithTable(std::int32_t size) {
  tolbench::ScratchDir dir;
  tolbench::CurrentDirectory current(dir.Dir());
  tolbench::WriteWholeFile(dir.Path("Zarava.win"), tolbench::SampleFileBytes(size, size));
  long resident = 0;
  (void)tolbench::RunEditor([&](TForm1&) {
    QApplication::processEvents();  // the first paint of the table
    resident = tolbench::ResidentBytes();
  });
  return resident;
}

void BM_ResidentPerCell(benchmark::State& state) {
  const auto size = static_cast<std::int32_t>(state.range(0));
  long empty = 0;
  long loaded = 0;
  long peak_growth = 0;
  for (auto _ : state) {
    empty = ResidentWithTable(0);
    const long peak_before = PeakResidentBytes();
    loaded = ResidentWithTable(size);
    peak_growth = PeakResidentBytes() - peak_before;
  }
  const double cells = static_cast<double>(size) * size;
  state.counters["empty_MB"] = static_cast<double>(empty) / 1e6;
  state.counters["loaded_MB"] = static_cast<double>(loaded) / 1e6;
  state.counters["bytes_per_cell"] = static_cast<double>(loaded - empty) / cells;
  state.counters["peak_bytes_per_cell"] = static_cast<double>(peak_growth) / cells;
}

BENCHMARK(BM_ResidentPerCell)->Arg(1000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return tolbench::RunWindowBenchmarks(argc, argv); }
