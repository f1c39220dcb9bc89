// What tolcsv leaves on disk when things go wrong: an import never makes an empty or half-made
// tolerance file, even killed at any moment; a failed export or import leaves the old file and no
// temporary; and a number is refused on either side when the other side would refuse it.

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "data/file_system.h"
#include "data/memory_table.h"
#include "data/table_codec.h"
#include "data/tolerance_file.h"
#include "tests/data/file_test_support.h"
#include "tools/csv_commands.h"
#include "tools/csv_table.h"
#include "tools/tool_errors.h"

namespace tol {
namespace {

using testing::Attempt;
using testing::DirectoryNames;
using testing::ReadFile;
using testing::WriteFile;
using Clock = std::chrono::steady_clock;

class TolcsvSafetyTest : public testing::TempDirTest {};

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST_F(TolcsvSafetyTest, ExportRefusesWhatImportWouldRefuseAndKeepsTheOldCsv) {
  struct Row {
    std::vector<double> bounds;
    std::vector<double> values;  // one grade "h7"
    const char* message;         // part of the refusal
  } rows[] = {
      // The numbers as the export writes them, in their shortest form.
      {{10}, {-kInf, 0}, "interval \"До 10\", grade \"h7\": the value \"-inf\""},
      {{10, 18}, {0, 0, 0, kNaN}, "interval \"До 18\", grade \"h7\": the value \"nan\""},
      {{kInf}, {0, 0}, "interval \"До inf\": the bound \"inf\""},
  };
  for (const Row& row : rows) {
    WriteFile("t.win", testing::TableFile(row.bounds, {"h7    "}, row.values));
    WriteFile("out.csv", "older export");
    const testing::Outcome outcome = Attempt([] { ExportCsvFile("t.win", "out.csv"); });
    EXPECT_NE(outcome.message.find(row.message), std::string::npos) << outcome.message;
    EXPECT_EQ(ReadFile("out.csv"), "older export");
    EXPECT_EQ(DirectoryNames("."), (std::vector<std::string>{"out.csv", "t.win"}));
  }
  // The largest number is written in full, so it reads back instead of rounding beyond range.
  WriteFile("t.win", testing::TableFile({std::numeric_limits<double>::max()}, {"h7    "}, {0, 0}));
  ExportCsvFile("t.win", "out.csv");
  EXPECT_EQ(ReadFile("out.csv"), "upper_bound_mm,h7_upper,h7_lower\n1.7976931348623157e+308,0,0\n");
}

TEST_F(TolcsvSafetyTest, ImportRefusesEveryNumberBeyondRangeWithItsPlace) {
  const std::string huge_mantissa(1 << 20, '7');
  struct Row {
    std::string field;
    const char* probes;
  } rows[] = {
      {"1e999", "beyond binary64, within the parser's reach"},
      {"1e6000", "beyond even the extended range: read as infinity"},
      {"-1e6000", "negative infinity"},
      {huge_mantissa, "a megabyte of digits"},
  };
  for (const Row& row : rows) {
    const std::string csv =
        "upper_bound_mm,h7_upper,h7_lower\n10,0,-0.015\n18," + row.field + ",0\n";
    const testing::Outcome outcome = Attempt([&] { (void)TableFromCsv(csv, NameCase::kIgnored); });
    EXPECT_EQ(outcome.message.substr(0, 20), "line 3, column 2: \"" + row.field.substr(0, 1))
        << row.probes;
    EXPECT_NE(outcome.message.find("beyond the range"), std::string::npos) << row.probes;
    EXPECT_LT(outcome.message.size(), 200u) << "a long field is cut in the message";
  }
}

// A file-size limit (in a child, its signal ignored as at program start) makes the write of
// the new file fail: the old file stays and no temporary is left, on every path.
TEST_F(TolcsvSafetyTest, AFailedWriteLeavesTheOldFileAndNoTemporary) {
  const std::string csv = "upper_bound_mm,h7_upper,h7_lower\n10,0,-0.015\n18,0,-0.018\n";
  const std::string old_table = EncodeTable(TableFromCsv(csv, NameCase::kIgnored));
  struct Row {
    const char* what;
    std::function<void()> run;
    const char* kept;  // the file that must keep its bytes, "" when none may appear
  } rows[] = {
      {"export over a CSV", [] { ExportCsvFile("old.win", "old.csv"); }, "old.csv"},
      {"import --force", [] { (void)ImportCsvFile("in.csv", "old.win", {true}); }, "old.win"},
      {"import to a new path", [] { (void)ImportCsvFile("in.csv", "new.win", {}); }, ""},
  };
  for (const Row& row : rows) {
    WriteFile("in.csv", csv);
    WriteFile("old.csv", "an older, longer export that must not be cut short");
    WriteFile("old.win", old_table);
    const std::string before = row.kept[0] != '\0' ? ReadFile(row.kept).value() : "";
    const std::string report = testing::RunInChild([&] {
      IgnoreFileSizeSignal();
      const rlimit limit{10, 10};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return std::string("setrlimit failed");
      return Attempt(row.run).raised ? std::string("refused") : std::string("written");
    });
    EXPECT_EQ(report, "refused") << row.what;
    if (row.kept[0] != '\0') {
      EXPECT_EQ(ReadFile(row.kept), before) << row.what;
    }
    EXPECT_EQ(DirectoryNames("."), (std::vector<std::string>{"in.csv", "old.csv", "old.win"}))
        << row.what;
  }
}

// Starts tolcsv importing csv into target; the child is the program itself.
pid_t StartImport(bool force) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int quiet = ::open("/dev/null", O_WRONLY);  // its report of the counts
    if (quiet >= 0) ::dup2(quiet, STDERR_FILENO);
    if (force) {
      ::execl(TOL_TOLCSV_PROGRAM, "tolcsv", "import", "in.csv", "t.win", "--force", nullptr);
    } else {
      ::execl(TOL_TOLCSV_PROGRAM, "tolcsv", "import", "in.csv", "t.win", nullptr);
    }
    ::_exit(127);
  }
  return pid;
}

std::string WideCsv(int intervals, int grades, int seed) {
  std::string csv = "upper_bound_mm";
  for (int g = 1; g <= grades; ++g) {
    csv += ",g" + std::to_string(g) + "_upper,g" + std::to_string(g) + "_lower";
  }
  csv += "\n";
  for (int r = 1; r <= intervals; ++r) {
    csv += std::to_string(r * 3 + seed);
    for (int g = 1; g <= grades; ++g) {
      csv += "," + std::to_string((g + r + seed) % 997) + ".001,-0.5";
    }
    csv += "\n";
  }
  return csv;
}

// 100 kills during imports with --force and 100 without: the tolerance file is always the old
// one (or absent, for a new path) or the new one, never empty or partial; what the kills left
// goes with the next save of the file.
TEST_F(TolcsvSafetyTest, AKilledImportLeavesTheOldOrTheNewFile) {
  constexpr int kKills = 100;
  const std::string csv = WideCsv(200, 60, 1);
  const std::string old_bytes = EncodeTable(TableFromCsv(WideCsv(150, 50, 2), NameCase::kIgnored));
  const std::string new_bytes = EncodeTable(TableFromCsv(csv, NameCase::kIgnored));
  WriteFile("in.csv", csv);

  for (const bool force : {true, false}) {
    SCOPED_TRACE(force ? "--force" : "new path");
    Clock::duration whole{};
    for (int i = 0; i < 3; ++i) {
      std::filesystem::remove("t.win");
      if (force) WriteFile("t.win", old_bytes);
      const Clock::time_point start = Clock::now();
      const pid_t pid = StartImport(force);
      int status = 0;
      ASSERT_EQ(::waitpid(pid, &status, 0), pid);
      whole = std::max(whole, Clock::now() - start);
      ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
      ASSERT_EQ(ReadFile("t.win"), new_bytes);
    }
    std::mt19937 random(force ? 7 : 11);
    std::uniform_int_distribution<std::int64_t> delay_us(
        0, std::chrono::duration_cast<std::chrono::microseconds>(whole).count());
    int before = 0;
    int after = 0;
    for (int kill = 0; kill < kKills; ++kill) {
      std::filesystem::remove("t.win");
      if (force) WriteFile("t.win", old_bytes);
      const pid_t pid = StartImport(force);
      ASSERT_GT(pid, 0);
      // A random moment inside the import is the point: no event marks it, so a fixed sleep.
      ::usleep(static_cast<useconds_t>(delay_us(random)));
      ::kill(pid, SIGKILL);
      ASSERT_EQ(::waitpid(pid, nullptr, 0), pid);
      const std::optional<std::string> bytes = ReadFile("t.win");
      const bool is_before = force ? bytes == old_bytes : !bytes.has_value();
      ASSERT_TRUE(is_before || bytes == new_bytes)
          << "kill " << kill << ": " << (bytes ? std::to_string(bytes->size()) : "no") << " bytes";
      (is_before ? before : after) += 1;
    }
    EXPECT_GT(before, 0) << "no kill landed before the file was placed";
    EXPECT_GT(after, 0) << "no kill landed after the file was placed";

    WriteFile("t.win", old_bytes);
    MemoryTable table;
    LoadTableFrom(table, "t.win");
    StoreTableTo(table, "t.win");
    EXPECT_EQ(DirectoryNames("."), (std::vector<std::string>{"in.csv", "t.win"}))
        << "the next save removes what the killed imports left";
  }
}

}  // namespace
}  // namespace tol
