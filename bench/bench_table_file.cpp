// Loading and storing a whole tolerance file through the data layer, against baselines that do
// the least any loader or saver must: one read and std::to_chars for every number, or
// std::from_chars for every word and one write. Square tables of 100, 300 and 1000 lines.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/bench_tables.h"
#include "data/file_system.h"
#include "data/memory_table.h"
#include "data/tolerance_file.h"

namespace {

// A table file of size x size in a scratch directory, and the table it holds.
struct TableOnDisk {
  explicit TableOnDisk(std::int32_t size) : n(size), m(size), path(dir.Path("Zarava.win")) {
    tolbench::WriteWholeFile(path, tolbench::SampleFileBytes(n, m));
    tol::LoadTableFrom(table, path);
  }
  std::int32_t n;
  std::int32_t m;
  tolbench::ScratchDir dir;
  std::string path;
  tol::MemoryTable table;
};

void CountCells(benchmark::State& state, std::int32_t size) {
  const double cells = static_cast<double>(size) * size;
  state.counters["per_cell"] = benchmark::Counter(
      cells, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

std::string ReadWholeFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) throw std::runtime_error("cannot open " + path);
  const off_t size = ::lseek(fd, 0, SEEK_END);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  const bool complete = ::pread(fd, bytes.data(), bytes.size(), 0) == size;
  ::close(fd);
  if (!complete) throw std::runtime_error("cannot read " + path);
  return bytes;
}

template <class T>
T Take(const char*& p) {
  T value;
  std::memcpy(&value, p, sizeof(T));
  p += sizeof(T);
  return value;
}

// The baseline loader: cells column-major in one vector, as the memory table keeps them.
std::vector<std::string> BaselineLoad(const std::string& path) {
  const std::string bytes = ReadWholeFile(path);
  const char* p = bytes.data();
  const auto n = Take<std::int32_t>(p);
  const auto m = Take<std::int32_t>(p);
  const auto rows = static_cast<std::size_t>(n) + 1;
  std::vector<std::string> cells((static_cast<std::size_t>(m) + 1) * rows);
  cells[0] = "     мм  ";
  char buffer[400];
  for (std::size_t r = 1; r < rows; ++r) {
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, Take<double>(p)).ptr;
    cells[r].assign("До ").append(buffer, end);
  }
  for (std::size_t c = 1; c <= static_cast<std::size_t>(m); ++c, p += 6) {
    cells[c * rows].assign(p, 6);
  }
  for (std::size_t c = 1; c <= static_cast<std::size_t>(m); ++c) {
    for (std::size_t r = 1; r < rows; ++r) {
      char* out =
          std::to_chars(buffer, buffer + 200, Take<double>(p), std::chars_format::fixed, 3).ptr;
      *out++ = ' ';
      out = std::to_chars(out, buffer + sizeof buffer, Take<double>(p), std::chars_format::fixed, 3)
                .ptr;
      cells[c * rows + r].assign(buffer, out);
    }
  }
  return cells;
}

double ParseWord(const char*& p, const char* end) {
  while (p != end && *p == ' ') ++p;
  double value = 0.0;
  p = std::from_chars(p, end, value).ptr;
  return value;
}

void AppendDouble(std::string& bytes, double value) {
  char raw[8];
  std::memcpy(raw, &value, 8);
  bytes.append(raw, 8);
}

// The baseline saver's bytes: every word parsed with std::from_chars.
std::string BaselineEncode(const std::vector<std::string>& cells, std::int32_t n, std::int32_t m) {
  const auto rows = static_cast<std::size_t>(n) + 1;
  std::string bytes;
  bytes.reserve(8 + 8 * static_cast<std::size_t>(n) + 6 * static_cast<std::size_t>(m) +
                16 * static_cast<std::size_t>(n) * static_cast<std::size_t>(m));
  bytes.append(reinterpret_cast<const char*>(&n), 4);
  bytes.append(reinterpret_cast<const char*>(&m), 4);
  for (std::size_t r = 1; r < rows; ++r) {
    const std::string& label = cells[r];
    const char* p = label.data() + label.find(' ');
    AppendDouble(bytes, ParseWord(p, label.data() + label.size()));
  }
  for (std::size_t c = 1; c <= static_cast<std::size_t>(m); ++c)
    bytes.append(cells[c * rows], 0, 6);
  for (std::size_t c = 1; c <= static_cast<std::size_t>(m); ++c) {
    for (std::size_t r = 1; r < rows; ++r) {
      const std::string& cell = cells[c * rows + r];
      const char* p = cell.data();
      const char* const end = p + cell.size();
      AppendDouble(bytes, ParseWord(p, end));
      AppendDouble(bytes, ParseWord(p, end));
    }
  }
  return bytes;
}

void WriteOrThrow(int fd, const std::string& bytes) {
  if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
    throw std::runtime_error("short write");
  }
}

// Writes over the existing file in one call.
void BaselineWriteInPlace(const std::string& path, const std::string& bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY);
  if (fd < 0) throw std::runtime_error("cannot open " + path);
  WriteOrThrow(fd, bytes);
  ::close(fd);
}

// The same crash-safe sequence as the editor's save: a new file beside the old one, flushed,
// renamed over it, and the directory flushed; or, without sync, the same but the flushes.
void BaselineWriteSafely(const tolbench::ScratchDir& dir, const std::string& path,
                         const std::string& bytes, bool sync) {
  std::string temp = dir.Path(".Zarava.win.XXXXXX");
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) throw std::runtime_error("cannot make " + temp);
  WriteOrThrow(fd, bytes);
  if (sync) ::fsync(fd);
  ::close(fd);
  if (::rename(temp.c_str(), path.c_str()) != 0) throw std::runtime_error("cannot rename");
  if (!sync) return;
  const int dir_fd = ::open(dir.Dir().c_str(), O_RDONLY | O_DIRECTORY);
  ::fsync(dir_fd);
  ::close(dir_fd);
}

void BM_LoadTable(benchmark::State& state) {
  TableOnDisk disk(static_cast<std::int32_t>(state.range(0)));
  for (auto _ : state) {
    tol::MemoryTable table;
    tol::LoadTableFrom(table, disk.path);
    benchmark::DoNotOptimize(table.RowCount());
  }
  CountCells(state, disk.n);
}

void BM_LoadBaseline(benchmark::State& state) {
  TableOnDisk disk(static_cast<std::int32_t>(state.range(0)));
  for (auto _ : state) {
    std::vector<std::string> cells = BaselineLoad(disk.path);
    benchmark::DoNotOptimize(cells.data());
  }
  CountCells(state, disk.n);
}

// The real save with its flushes, and the share of its time they take.
void BM_StoreTable(benchmark::State& state) {
  TableOnDisk disk(static_cast<std::int32_t>(state.range(0)));
  tolbench::SyncTimingFileSystem timing(true);
  tol::ScopedFileSystem installed(timing);
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) tol::StoreTableTo(disk.table, disk.path);
  const std::chrono::duration<double> total = std::chrono::steady_clock::now() - start;
  const std::chrono::duration<double> syncs = timing.SyncTime();
  state.counters["fsync_share"] = syncs.count() / total.count();
  state.counters["fsyncs"] = benchmark::Counter(static_cast<double>(timing.SyncCount()),
                                                benchmark::Counter::kAvgIterations);
  CountCells(state, disk.n);
}

// The real save with every flush answered at once.
void BM_StoreTableNoFsync(benchmark::State& state) {
  TableOnDisk disk(static_cast<std::int32_t>(state.range(0)));
  tolbench::SyncTimingFileSystem timing(false);
  tol::ScopedFileSystem installed(timing);
  for (auto _ : state) tol::StoreTableTo(disk.table, disk.path);
  CountCells(state, disk.n);
}

// The baseline saver: every cell parsed with std::from_chars, then the bytes written by
// write(disk, bytes).
template <typename Write>
void RunStoreBaseline(benchmark::State& state, Write write) {
  TableOnDisk disk(static_cast<std::int32_t>(state.range(0)));
  const std::vector<std::string> cells = BaselineLoad(disk.path);
  for (auto _ : state) write(disk, BaselineEncode(cells, disk.n, disk.m));
  CountCells(state, disk.n);
}

void BM_StoreBaseline(benchmark::State& state) {
  RunStoreBaseline(state, [](const TableOnDisk& disk, const std::string& bytes) {
    BaselineWriteInPlace(disk.path, bytes);
  });
}

void BM_StoreBaselineFsync(benchmark::State& state) {
  RunStoreBaseline(state, [](const TableOnDisk& disk, const std::string& bytes) {
    BaselineWriteSafely(disk.dir, disk.path, bytes, true);
  });
}

// Replacing the file by rename without flushing: on ext4 the rename itself starts writing the
// new file out (so that a crash soon after finds it whole), time an overwrite in place never
// spends.
void BM_StoreBaselineRename(benchmark::State& state) {
  RunStoreBaseline(state, [](const TableOnDisk& disk, const std::string& bytes) {
    BaselineWriteSafely(disk.dir, disk.path, bytes, false);
  });
}

void Sizes(benchmark::internal::Benchmark* benchmark) {
  benchmark->Arg(100)->Arg(300)->Arg(1000)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_LoadTable)->Apply(Sizes);
BENCHMARK(BM_LoadBaseline)->Apply(Sizes);
BENCHMARK(BM_StoreTable)->Apply(Sizes);
BENCHMARK(BM_StoreTableNoFsync)->Apply(Sizes);
BENCHMARK(BM_StoreBaseline)->Apply(Sizes);
BENCHMARK(BM_StoreBaselineFsync)->Apply(Sizes);
BENCHMARK(BM_StoreBaselineRename)->Apply(Sizes);

}  // namespace
