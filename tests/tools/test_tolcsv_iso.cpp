// "tolcsv iso": the computed table in export's CSV, and its refusals.

#include <gtest/gtest.h>

#include <string>

#include "tests/data/file_test_support.h"
#include "tests/tools/tolcsv_run.h"

namespace tol {
namespace {

using testing::ReadFile;

using testing::ToolRun;

ToolRun TolcsvIso(const std::string& arguments) {
  return testing::RunTolcsv("iso " + arguments, "out.csv");
}

class TolcsvIsoTest : public testing::TempDirTest {};

TEST_F(TolcsvIsoTest, TheSampleClassesGiveTheSampleTableByteForByte) {
  const ToolRun run = TolcsvIso(
      "H6 H7 H8 H9 H11 F8 G7 JS7 K7 N7 P7 h6 h7 h8 h9 h11 f7 g6 js6 k6 m6 n6 p6 r6 s6 "
      "--bounds 3,6,10,18,30,50,80,120,180,250,315,400,500 --js-even");
  ASSERT_EQ(run.exit_code, 0) << run.errors;
  EXPECT_EQ(run.output,
            ReadFile(std::string(TOL_SOURCE_DIR) + "/examples/iso286_limit_deviations.csv"));
}

TEST_F(TolcsvIsoTest, ExactValuesWithoutTheRoundingOption) {
  const ToolRun run = TolcsvIso("JS7 zc10 --bounds 10,14");
  ASSERT_EQ(run.exit_code, 0) << run.errors;
  EXPECT_EQ(run.output,
            "upper_bound_mm,JS7_upper,JS7_lower,zc10_upper,zc10_lower\n"
            "10,0.0075,-0.0075,0.155,0.097\n"
            "14,0.009,-0.009,0.2,0.13\n");
}

TEST_F(TolcsvIsoTest, ExitCodesAndMessages) {
  testing::ExpectEnds(
      {
          {"H7", 2, "usage"},
          {"--bounds 3", 2, "usage"},
          {"H7 --bounds 3 --round", 2, "usage"},
          {"H7 --bounds 3,12", 1, "12 mm is not the upper bound of an ISO 286 range"},
          {"H7 --bounds 3,600", 1, "600 mm is not the upper bound"},
          {"H7 --bounds 0", 1, "0 mm is not the upper bound"},
          {"H7 --bounds 3,,6", 1, "\"\" in --bounds is not a number"},
          {"Q7 --bounds 3", 1,
           "\"Q7\" is not an ISO 286 tolerance class: no fundamental deviation"},
          {"a11 --bounds 1,3", 1, "a11 has no limit deviations up to 1 mm"},
          {"K9 --bounds 3,6", 1, "K9 has no limit deviations up to 6 mm"},
      },
      "iso ", "out.csv");
}

}  // namespace
}  // namespace tol
