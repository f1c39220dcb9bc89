#include "data/exact_decimal.h"

#include <gtest/gtest.h>

#include <string>

#include "data/fit.h"

namespace tol {
namespace {

TEST(ExactDecimalTest, ShortestFormsInMillimetresAndMicrometres) {
  struct Row {
    double value;
    const char* millimetres;
    const char* micrometres;
    const char* probes;
  } rows[] = {
      {0.0045, "0,0045", "4,5", "the sample's js6 half tolerance"},
      {-0.0125, "-0,0125", "-12,5", "negative, four decimals"},
      {0.018, "0,018", "18", "three decimals become whole micrometres"},
      {0.0, "0", "0", "zero"},
      {-0.0, "0", "0", "negative zero has no sign"},
      {12.5, "12,5", "12500", "above one millimetre"},
      {0.1 + 0.2, "0,30000000000000004", "300,00000000000004", "a sum off 0.3"},
      {1e-300, "1E-300", "1E-297", "too far below one for positions"},
      {2.5e22, "25000000000000000000000", "2,5E25", "large values keep positions up to 24"},
  };
  for (const Row& row : rows) {
    const Decimal d = ShortestDecimal(row.value);
    EXPECT_EQ(DecimalText(d, ','), row.millimetres) << row.probes;
    EXPECT_EQ(DecimalText(ShiftDecimal(d, 3), ','), row.micrometres) << row.probes;
  }
  EXPECT_EQ(DecimalText(ShortestDecimal(0.0045), '.'), "0.0045");
}

TEST(ExactDecimalTest, DifferencesAreExactDecimals) {
  struct Row {
    double a;
    double b;
    const char* difference;
    int sign;
  } rows[] = {
      {0.0045, -0.0045, "0.009", 1},   // in binary64 0.0045 + 0.0045 is 0.009000000000000001
      {0.021, 0.022, "-0.001", -1},    // H7 against p6's lower deviation
      {0.0, -0.02, "0.02", 1},         // a zero minuend
      {-0.007, 0.0, "-0.007", -1},     // a zero subtrahend
      {0.015, 0.015, "0", 0},          // equal values
      {-0.003, -0.0125, "0.0095", 1},  // both negative
      {1e-300, 1.0, "-1", -1},         // too far apart to align: the binary64 difference
  };
  for (const auto& row : rows) {
    const Decimal d = DecimalDifference(ShortestDecimal(row.a), ShortestDecimal(row.b));
    EXPECT_EQ(DecimalText(d, '.'), row.difference) << row.a << " - " << row.b;
    EXPECT_EQ(DecimalSign(d), row.sign) << row.a << " - " << row.b;
  }
}

// Limit deviations in millimetres, as the sample's "До 30" row holds them; clearances come out
// in micrometres.
TEST(FitTest, ClearancesAndKindsOfKnownFits) {
  const Zone h7{0.021, 0.0};
  struct Row {
    const char* name;
    Zone hole;
    Zone shaft;
    const char* largest;
    const char* smallest;
    FitKind kind;
  } rows[] = {
      {"H7/g6", h7, {-0.007, -0.020}, "41", "7", FitKind::kClearance},
      {"H7/k6", h7, {0.015, 0.002}, "19", "-15", FitKind::kTransition},
      {"H7/p6", h7, {0.035, 0.022}, "-1", "-35", FitKind::kInterference},
      {"H7/h6: shaft upper on the hole's lower", h7, {0.0, -0.013}, "34", "0", FitKind::kClearance},
      {"shaft lower on the hole's upper", h7, {0.030, 0.021}, "0", "-30", FitKind::kInterference},
      {"zones of no width meeting", {0.0, 0.0}, {0.0, 0.0}, "0", "0", FitKind::kClearance},
      {"js6 exact halves", h7, {0.0065, -0.0065}, "27,5", "-6,5", FitKind::kTransition},
  };
  for (const Row& row : rows) {
    const Fit fit = ComputeFit(row.hole, row.shaft);
    EXPECT_EQ(DecimalText(ShiftDecimal(fit.largest, 3), ','), row.largest) << row.name;
    EXPECT_EQ(DecimalText(ShiftDecimal(fit.smallest, 3), ','), row.smallest) << row.name;
    EXPECT_EQ(fit.kind, row.kind) << row.name;
  }
}

}  // namespace
}  // namespace tol
