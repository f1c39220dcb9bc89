// A save killed at a random moment leaves the file either exactly as it was or exactly as the
// complete save makes it, and the file loads either way; the temporary files killed saves leave
// go with the next save that completes. The save runs in a forked child (no
// Qt, no threads) that the test kills with SIGKILL after a random delay spread over the time a
// whole save takes, so the kills land before, during and after each of its steps.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>

#include "data/memory_table.h"
#include "data/number_text.h"
#include "data/tolerance_file.h"
#include "tests/data/file_test_support.h"

namespace tol {
namespace {

using testing::Cells;
using testing::ReadFile;
using testing::WriteFile;
using Clock = std::chrono::steady_clock;

constexpr int kKills = 100;

// A table of intervals x grades whose texts depend on seed, so two tables differ everywhere.
MemoryTable LargeTable(std::int32_t intervals, std::int32_t grades, int seed) {
  MemoryTable table(grades + 1, intervals + 1);
  table.SetCell(0, 0, "     мм  ");
  for (std::int32_t r = 1; r <= intervals; ++r) table.SetCell(0, r, IntervalLabel(r * 3.0 + seed));
  for (std::int32_t c = 1; c <= grades; ++c) {
    std::string name = "g" + std::to_string(c + seed);
    name.resize(6, ' ');
    table.SetCell(c, 0, name);
    for (std::int32_t r = 1; r <= intervals; ++r) {
      table.SetCell(c, r, CellText((c * 7 + r + seed) / 1000.0, -(c + r * 11 + seed) / 1000.0));
    }
  }
  return table;
}

// Starts a child that saves table into the tolerance file and ends; the child never returns.
pid_t StartSave(const CellTable& table) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    try {
      StoreTable(table);
    } catch (...) {
      ::_exit(1);
    }
    ::_exit(0);
  }
  return pid;
}

class SaveInterruptedTest : public testing::TempDirTest {};

TEST_F(SaveInterruptedTest, AKilledSaveLeavesTheOldOrTheNewTableAndTheFileLoads) {
  const MemoryTable old_table = LargeTable(120, 100, 0);
  const MemoryTable new_table = LargeTable(100, 110, 5);
  WriteFile(kToleranceFileName, "");
  StoreTable(old_table);
  const std::string old_bytes = ReadFile(kToleranceFileName).value();

  // A save left alone: the new bytes, and how long a whole save takes in a child.
  Clock::duration whole_save{};
  for (int i = 0; i < 3; ++i) {
    WriteFile(kToleranceFileName, old_bytes);
    const Clock::time_point start = Clock::now();
    const pid_t pid = StartSave(new_table);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    whole_save = std::max(whole_save, Clock::now() - start);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const std::string new_bytes = ReadFile(kToleranceFileName).value();
  ASSERT_NE(new_bytes, old_bytes);
  ASSERT_EQ(new_bytes.size(), old_bytes.size())
      << "the shorter new table keeps the old bytes after it";

  std::mt19937 random(20240611);
  std::uniform_int_distribution<std::int64_t> delay_us(
      0, std::chrono::duration_cast<std::chrono::microseconds>(whole_save).count());
  int old_seen = 0;
  int new_seen = 0;
  int temporaries_seen = 0;
  for (int kill = 0; kill < kKills; ++kill) {
    WriteFile(kToleranceFileName, old_bytes);
    const std::int64_t delay = delay_us(random);
    const pid_t pid = StartSave(new_table);
    ASSERT_GT(pid, 0);
    // A random moment inside the save is the point: no event marks it, so a fixed sleep it is.
    ::usleep(static_cast<useconds_t>(delay));
    ::kill(pid, SIGKILL);
    ASSERT_EQ(::waitpid(pid, nullptr, 0), pid);

    const std::string bytes = ReadFile(kToleranceFileName).value_or("<missing>");
    const bool is_old = bytes == old_bytes;
    const bool is_new = bytes == new_bytes;
    ASSERT_TRUE(is_old || is_new) << "kill " << kill << " after " << delay
                                  << " us: " << bytes.size() << " bytes";
    old_seen += is_old ? 1 : 0;
    new_seen += is_new ? 1 : 0;
    temporaries_seen += static_cast<int>(testing::DirectoryNames(".").size()) - 1;
    MemoryTable loaded;
    ASSERT_NO_THROW(LoadTable(loaded)) << "kill " << kill;
    ASSERT_EQ(Cells(loaded), Cells(is_old ? old_table : new_table)) << "kill " << kill;
  }
  StoreTable(old_table);
  EXPECT_EQ(testing::DirectoryNames("."), std::vector<std::string>{kToleranceFileName})
      << "a completed save removes what the killed ones left";
  EXPECT_GT(old_seen, 0) << "no kill landed before the save took effect";
  EXPECT_GT(new_seen, 0) << "no kill landed after the save took effect";
  RecordProperty("old_kept", old_seen);
  RecordProperty("new_written", new_seen);
  RecordProperty("temporaries_seen", temporaries_seen);
}

}  // namespace
}  // namespace tol
