// The tolcsv program as a user runs it: exit codes, messages on standard error, "-" paths.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/data/file_test_support.h"
#include "tests/tools/tolcsv_run.h"

namespace tol {
namespace {

using testing::ReadFile;
using testing::WriteFile;

using testing::ToolRun;

ToolRun Tolcsv(const std::string& arguments) { return testing::RunTolcsv(arguments); }

class TolcsvProgramTest : public testing::TempDirTest {};

TEST_F(TolcsvProgramTest, ExitCodesAndMessages) {
  WriteFile("good.csv", "upper_bound_mm,h7_upper,h7_lower\n10,0,-0.015\n");
  WriteFile("bad.csv", "upper_bound_mm,h7_upper,h7_lower\n10,0,-0.015\n18,0\n");
  WriteFile("existing.win", "old");
  testing::ExpectEnds({
      {"", 2, "usage"},
      {"import good.csv", 2, "usage"},
      {"import good.csv new.win --quick", 2, "usage"},
      {"import bad.csv new.win", 1, "bad.csv: line 3, column 3: 2 fields where the header has 3"},
      {"import good.csv existing.win", 1,
       "existing.win: the file exists already; --force replaces it"},
      {"import missing.csv new.win", 1, "missing.csv: No such file or directory"},
      {"export missing.win out.csv", 1, "missing.win: No such file or directory"},
      {"export existing.win out.csv", 1, "Read beyond end of file"},
      {"import good.csv existing.win --force", 0, "wrote 1 intervals x 1 grades"},
  });
  EXPECT_FALSE(std::filesystem::exists("new.win"));
}

TEST_F(TolcsvProgramTest, StandardStreamsCarryTheCsv) {
  WriteFile("in.csv", "upper_bound_mm,\"a,b_upper\",\"a,b_lower\"\n10,0,-0.015\n");
  ASSERT_EQ(Tolcsv("import - t.win <in.csv").exit_code, 0);
  ASSERT_EQ(Tolcsv("export t.win - >out.csv").exit_code, 0);
  EXPECT_EQ(ReadFile("out.csv"), ReadFile("in.csv"));
}

// H7 and h7 are two classes by default; the old option to say so is still taken.
TEST_F(TolcsvProgramTest, SpreadsheetOptions) {
  WriteFile("cases.csv", "b;H7_upper;H7_lower;h7_upper;h7_lower\r\n10;0,015;0;0;-0,015\r\n");
  EXPECT_EQ(Tolcsv("import cases.csv plain.win").exit_code, 0);
  EXPECT_EQ(Tolcsv("import cases.csv named.win --case-sensitive-names").exit_code, 0);
  EXPECT_EQ(ReadFile("named.win"), ReadFile("plain.win"));
  EXPECT_EQ(Tolcsv("export plain.win semi.csv --semicolon").exit_code, 0);
  EXPECT_EQ(ReadFile("semi.csv"),
            "upper_bound_mm;H7_upper;H7_lower;h7_upper;h7_lower\n10;0,015;0;0;-0,015\n");
  EXPECT_EQ(Tolcsv("export --semicolon plain.win - >stdout.csv").exit_code, 0);
  EXPECT_EQ(ReadFile("stdout.csv"), ReadFile("semi.csv"));
  const ToolRun unknown = Tolcsv("export plain.win x.csv --tabs");
  EXPECT_EQ(unknown.exit_code, 2);
  EXPECT_NE(unknown.errors.find("--semicolon"), std::string::npos) << unknown.errors;
}

}  // namespace
}  // namespace tol
