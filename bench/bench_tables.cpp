#include "bench/bench_tables.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace tolbench {
namespace {

template <class T>
void Append(std::string& bytes, T value) {
  char raw[sizeof(T)];
  std::memcpy(raw, &value, sizeof(T));  // the benchmark machines are little-endian, like the file
  bytes.append(raw, sizeof(T));
}

}  // namespace

std::string SampleFileBytes(std::int32_t n, std::int32_t m) {
  std::string bytes;
  Append<std::int32_t>(bytes, n);
  Append<std::int32_t>(bytes, m);
  for (std::int32_t r = 1; r <= n; ++r) Append(bytes, r * 3.0 + (r % 2 == 0 ? 0.5 : 0.0));
  for (std::int32_t c = 1; c <= m; ++c) {
    char name[8];
    std::snprintf(name, sizeof name, "g%-5d", c % 100000);  // "g1    ": six characters
    bytes.append(name, 6);
  }
  // Upper deviations from 0 to 0.4 mm, lower ones at most as large below zero, a few exactly 0.
  for (std::int32_t c = 1; c <= m; ++c) {
    for (std::int32_t r = 1; r <= n; ++r) {
      const int upper = (c * 7 + r * 13) % 401;
      const int lower = (c * 11 + r * 5) % 23 == 0 ? 0 : -((c * 3 + r * 17) % (upper + 1));
      Append(bytes, upper / 1000.0);
      Append(bytes, lower / 1000.0);
    }
  }
  return bytes;
}

ScratchDir::ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tolbench.XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make " + pattern);
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

CurrentDirectory::CurrentDirectory(const std::filesystem::path& dir)
    : previous_(std::filesystem::current_path()) {
  std::filesystem::current_path(dir);
}

CurrentDirectory::~CurrentDirectory() {
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
}

tol::SysResult SyncTimingFileSystem::FSync(int fd) {
  ++sync_count_;
  if (!flushes_) return tol::SysResult::Success();
  const auto start = std::chrono::steady_clock::now();
  const tol::SysResult result = real_.FSync(fd);
  sync_time_ += std::chrono::steady_clock::now() - start;
  return result;
}

}  // namespace tolbench
