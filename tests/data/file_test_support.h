#pragma once
// Shared helpers of the file layer tests: a fresh current directory per test, tolerance file
// images built field by field, child processes (to drop privileges or hold a lock), and the
// outcome of an operation that may raise.

#include <fcntl.h>
#include <ftw.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "data/errors.h"
#include "data/memory_table.h"
#include "data/number_text.h"

namespace tol::testing {

// Runs each test in a fresh world-readable directory (so an unprivileged child can read it)
// as the current directory, and restores the previous one afterwards.
class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = std::filesystem::current_path();
    std::string pattern = (std::filesystem::temp_directory_path() / "tolfile-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    std::filesystem::permissions(dir_, std::filesystem::perms(0755));
    std::filesystem::current_path(dir_);
    SetDecimalSeparator('.');
  }
  void TearDown() override {
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  [[nodiscard]] const std::filesystem::path& Dir() const { return dir_; }

 private:
  std::filesystem::path previous_;
  std::filesystem::path dir_;
};

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

inline std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The names in a directory, sorted.
inline std::vector<std::string> DirectoryNames(const std::filesystem::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A tolerance file image, field by field.
class FileImage {
 public:
  FileImage& Counts(std::int32_t n, std::int32_t m) {
    Int32(n);
    return Int32(m);
  }
  FileImage& Int32(std::int32_t v) {
    for (int i = 0; i < 4; ++i)
      bytes_ += static_cast<char>(static_cast<std::uint32_t>(v) >> (8 * i));
    return *this;
  }
  FileImage& Real(double v) { return Bits(std::bit_cast<std::uint64_t>(v)); }
  FileImage& Bits(std::uint64_t bits) {
    for (int i = 0; i < 8; ++i) bytes_ += static_cast<char>(bits >> (8 * i));
    return *this;
  }
  // Raw name bytes (Windows-1251), exactly as given.
  FileImage& Raw(const std::string& bytes) {
    bytes_ += bytes;
    return *this;
  }
  [[nodiscard]] const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// A complete table: bounds, 6-byte names, then values pairs grade by grade (column-major).
inline std::string TableFile(const std::vector<double>& bounds,
                             const std::vector<std::string>& names,
                             const std::vector<double>& values) {
  FileImage image;
  image.Counts(static_cast<std::int32_t>(bounds.size()), static_cast<std::int32_t>(names.size()));
  for (double b : bounds) image.Real(b);
  for (const std::string& name : names) image.Raw(name);
  for (double v : values) image.Real(v);
  return image.Bytes();
}

// The outcome of an operation: raised message and code (-1 when not an EInOutError), or ok.
struct Outcome {
  bool raised = false;
  std::string message;
  std::int32_t code = -1;
};

inline Outcome Attempt(const std::function<void()>& operation) {
  try {
    operation();
    return {};
  } catch (const EInOutError& e) {
    return {true, e.Message(), e.Code()};
  } catch (const Exception& e) {
    return {true, e.Message(), -1};
  }
}

inline std::string Describe(const Outcome& outcome) {
  return outcome.raised ? outcome.message : std::string("no error");
}

// Runs body in a forked child and gives back what it returned (through a pipe) or a note on
// how the child ended abnormally.
inline std::string RunInChild(const std::function<std::string()>& body) {
  int fds[2];
  if (::pipe(fds) != 0) return "pipe failed";
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    std::string report;
    try {
      report = body();
    } catch (const std::exception& e) {
      report = std::string("child raised: ") + e.what();
    }
    (void)!::write(fds[1], report.data(), report.size());
    ::_exit(0);
  }
  ::close(fds[1]);
  std::string report;
  char buffer[256];
  ssize_t got = 0;
  while ((got = ::read(fds[0], buffer, sizeof buffer)) > 0)
    report.append(buffer, static_cast<std::size_t>(got));
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "child ended abnormally: " + report;
  return report;
}

// All cells within the counts, as rows of texts.
inline std::vector<std::vector<std::string>> Cells(const CellTable& table) {
  std::vector<std::vector<std::string>> cells;
  for (std::int32_t r = 0; r < table.RowCount(); ++r) {
    std::vector<std::string> row;
    for (std::int32_t c = 0; c < table.ColCount(); ++c) row.push_back(table.GetCell(c, r));
    cells.push_back(std::move(row));
  }
  return cells;
}

// Descriptors the process holds open.
inline std::size_t OpenDescriptorCount() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
    ++count;
  return count;
}

}  // namespace tol::testing
