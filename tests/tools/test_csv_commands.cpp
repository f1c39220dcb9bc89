#include "tools/csv_commands.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "data/memory_table.h"
#include "data/table_codec.h"
#include "data/tolerance_file.h"
#include "tests/data/file_test_support.h"
#include "tests/support/privileges.h"
#include "tools/csv_table.h"
#include "tools/tool_errors.h"

namespace tol {
namespace {

using testing::Cells;
using testing::ReadFile;
using testing::WriteFile;

class CsvCommandsTest : public testing::TempDirTest {};

MemoryTable Loaded(const std::string& path) {
  MemoryTable table;
  LoadTableFrom(table, path);
  return table;
}

TEST_F(CsvCommandsTest, SampleBuildRebuildsTheShippedSample) {
  WriteFile("sample.win", "older and longer content than the table, to be replaced entirely");
  (void)ImportCsvFile(TOL_SAMPLE_CSV, "sample.win",
                      {.replace_existing = true, .name_case = NameCase::kSignificant});
  EXPECT_EQ(ReadFile("sample.win"), ReadFile(TOL_SAMPLE_TABLE));
}

TEST_F(CsvCommandsTest, ReplacesOnlyWithForceAndThenLeavesNoOldTail) {
  const std::string csv = "upper_bound_mm,h7_upper,h7_lower\n10,0,-0.015\n";
  const std::string table_bytes = EncodeTable(TableFromCsv(csv, NameCase::kIgnored));
  const std::string longer_old = *ReadFile(TOL_SAMPLE_TABLE);
  struct Row {
    std::optional<std::string> old_bytes;
    bool force;
    bool refused;
    const char* probe;
  };
  const std::vector<Row> rows = {
      {std::nullopt, false, false, "new path"},
      {std::nullopt, true, false, "new path with force"},
      {longer_old, false, true, "existing file kept without force"},
      {longer_old, true, false, "longer file replaced whole"},
      {std::string("short"), true, false, "shorter file replaced"},
      {std::string(), false, true, "even an empty file is kept"},
  };
  WriteFile("in.csv", csv);
  for (const Row& row : rows) {
    std::filesystem::remove("out.win");
    if (row.old_bytes) WriteFile("out.win", *row.old_bytes);
    const testing::Outcome outcome = testing::Attempt(
        [&] { (void)ImportCsvFile("in.csv", "out.win", {.replace_existing = row.force}); });
    EXPECT_EQ(outcome.raised, row.refused) << row.probe << ": " << testing::Describe(outcome);
    EXPECT_EQ(ReadFile("out.win"), row.refused ? row.old_bytes : table_bytes) << row.probe;
    EXPECT_EQ(testing::DirectoryNames(Dir()), (std::vector<std::string>{"in.csv", "out.win"}))
        << row.probe;
  }
}

TEST_F(CsvCommandsTest, ABadCsvTouchesNoFile) {
  WriteFile("bad.csv", "upper_bound_mm,h7_upper,h7_lower\n10,0,x\n");
  WriteFile("old.win", "old");
  EXPECT_THROW((void)ImportCsvFile("bad.csv", "new.win", {}), CsvError);
  EXPECT_THROW((void)ImportCsvFile("bad.csv", "old.win", {.replace_existing = true}), CsvError);
  EXPECT_EQ(ReadFile("old.win"), "old");
  EXPECT_EQ(testing::DirectoryNames(Dir()), (std::vector<std::string>{"bad.csv", "old.win"}));
}

TEST_F(CsvCommandsTest, ReplacingKeepsPermissionsAndWritesThroughASymbolicLink) {
  WriteFile("in.csv", "b,a_upper,a_lower\n1,2,3\n");
  WriteFile("real.win", "old");
  ASSERT_EQ(::chmod("real.win", 0640), 0);
  std::filesystem::create_symlink("real.win", "link.win");
  (void)ImportCsvFile("in.csv", "link.win", {.replace_existing = true});
  EXPECT_TRUE(std::filesystem::is_symlink("link.win"));
  EXPECT_EQ(ReadFile("real.win"), EncodeTable(Loaded("link.win")));
  struct stat status {};
  ASSERT_EQ(::stat("real.win", &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
}

TEST_F(CsvCommandsTest, ExportNeedsOnlyReadAccess) {
  std::filesystem::copy_file(TOL_SAMPLE_TABLE, "sample.win");
  ASSERT_EQ(::chmod("sample.win", 0444), 0);
  std::filesystem::create_directory("out");
  std::filesystem::permissions("out", std::filesystem::perms::all);
  // As root every file is writable, so the export runs as an unprivileged user.
  const std::string report = testing::RunInChild([] {
    if (!tol::testing::BecomeOrdinaryUser()) return std::string("cannot drop privileges");
    ExportCsvFile("sample.win", "out/sample.csv");
    return std::string("exported");
  });
  EXPECT_EQ(report, "exported");
  ExportCsvFile(TOL_SAMPLE_TABLE, "by_owner.csv");
  EXPECT_EQ(ReadFile("out/sample.csv"), ReadFile("by_owner.csv"));
}

}  // namespace
}  // namespace tol
