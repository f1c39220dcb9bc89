// Filling a 1,000-interval x 1,000-class table from the ISO 286 rules, as the editor's fill
// commands do it (one class name read per column, one cell text made per cell), against loading
// a tolerance file of the same size in the same run. A class has one text per range, made once
// per column.

#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <vector>

#include "bench/bench_tables.h"
#include "data/errors.h"
#include "data/iso286.h"
#include "data/iso286_cells.h"
#include "data/memory_table.h"
#include "data/number_text.h"
#include "data/tolerance_file.h"

namespace {

constexpr std::int32_t kSize = 1000;

// Every class name ISO defines at some size, hole and shaft, grades 1 to 18, repeated up to
// the count asked for.
std::vector<std::string> ClassNames(std::size_t count) {
  constexpr std::array<const char*, 28> kLetters = {
      "a", "b", "c", "cd", "d", "e", "ef", "f", "fg", "g", "h", "js", "j",  "k",
      "m", "n", "p", "r",  "s", "t", "u",  "v", "x",  "y", "z", "za", "zb", "zc"};
  std::vector<std::string> defined;
  for (const char* letters : kLetters) {
    std::string hole = letters;
    for (char& c : hole) c = static_cast<char>(c - 'a' + 'A');
    for (int grade = 1; grade <= 18; ++grade) {
      for (const std::string& name :
           {letters + std::to_string(grade), hole + std::to_string(grade)}) {
        try {
          (void)tol::iso286::ParseClass(name);
          defined.push_back(name);
        } catch (const tol::EIsoClass&) {
        }
      }
    }
  }
  std::vector<std::string> names;
  while (names.size() < count) names.push_back(defined[names.size() % defined.size()]);
  return names;
}

// A table with interval labels cycling through every range bound and class names as its
// grade names, the value cells still empty.
tol::MemoryTable LabelledTable(const std::vector<std::string>& names) {
  tol::MemoryTable table(kSize + 1, kSize + 1);
  const auto bounds = tol::iso286::RangeBounds();
  for (std::int32_t r = 1; r <= kSize; ++r) {
    table.SetCell(0, r, tol::IntervalLabel(bounds[static_cast<std::size_t>(r) % bounds.size()]));
  }
  for (std::int32_t c = 1; c <= kSize; ++c) {
    std::string name = names[static_cast<std::size_t>(c - 1)];
    name.resize(6, ' ');
    table.SetCell(c, 0, name);
  }
  return table;
}

void BM_IsoFillTable(benchmark::State& state) {
  const std::vector<std::string> names = ClassNames(kSize);
  tol::MemoryTable table = LabelledTable(names);
  std::int64_t filled = 0;
  for (auto _ : state) {
    std::vector<std::optional<int>> ranges(kSize + 1);
    for (std::int32_t r = 1; r <= kSize; ++r) {
      ranges[static_cast<std::size_t>(r)] = tol::iso286::RangeOfLabel(*table.CellInPlace(0, r));
    }
    for (std::int32_t c = 1; c <= kSize; ++c) {
      const std::string& name_cell = *table.CellInPlace(c, 0);
      const tol::iso286::ToleranceClass tolerance_class =
          tol::iso286::ParseClass(name_cell.substr(0, name_cell.find(' ')));
      const std::vector<tol::iso286::CellFill> fills =
          tol::iso286::FillsByRange(tolerance_class, tol::iso286::JsRounding::kExact, ',');
      for (std::int32_t r = 1; r <= kSize; ++r) {
        const tol::iso286::CellFill& fill =
            tol::iso286::FillOfRow(fills, ranges[static_cast<std::size_t>(r)]);
        if (fill.text) {
          table.SetCell(c, r, *fill.text);
          ++filled;
        }
      }
    }
    benchmark::DoNotOptimize(table.RowCount());
  }
  state.counters["filled_share"] =
      benchmark::Counter(static_cast<double>(filled) / (static_cast<double>(kSize) * kSize),
                         benchmark::Counter::kAvgIterations);
}

void BM_IsoLoadTableBaseline(benchmark::State& state) {
  tolbench::ScratchDir dir;
  const std::string path = dir.Path("Zarava.win");
  tolbench::WriteWholeFile(path, tolbench::SampleFileBytes(kSize, kSize));
  for (auto _ : state) {
    tol::MemoryTable table;
    tol::LoadTableFrom(table, path);
    benchmark::DoNotOptimize(table.RowCount());
  }
}

}  // namespace

BENCHMARK(BM_IsoFillTable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IsoLoadTableBaseline)->Unit(benchmark::kMillisecond);
