// Class names, the mapping of interval bounds to ranges, the refusals and the millimetre texts.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "data/errors.h"
#include "data/iso286.h"
#include "data/iso286_cells.h"

namespace tol::iso286 {
namespace {

TEST(Iso286Names, ReadLettersCaseAndGrade) {
  struct Row {
    const char* name;
    const char* letters;
    int grade;
    bool hole;
  };
  for (const Row& row : std::vector<Row>{{"H7", "H", 7, true},
                                         {"h7", "h", 7, false},
                                         {"js6", "js", 6, false},
                                         {"JS11", "JS", 11, true},
                                         {"zc10", "zc", 10, false},
                                         {"CD9", "CD", 9, true},
                                         {"j8", "j", 8, false},
                                         {"a18", "a", 18, false}}) {
    const ToleranceClass parsed = ParseClass(row.name);
    EXPECT_EQ(parsed.letters, row.letters) << row.name;
    EXPECT_EQ(parsed.grade, row.grade) << row.name;
    EXPECT_EQ(parsed.hole, row.hole) << row.name;
    EXPECT_EQ(parsed.Name(), row.name);
  }
}

TEST(Iso286Names, RefuseWhatIsoDoesNotDefineNamingTheClassAndWhy) {
  struct Row {
    const char* name;
    const char* reason;  // a part of the message
  };
  for (const Row& row : std::vector<Row>{{"", "letter or two"},
                                         {"7", "letter or two"},
                                         {"H", "letter or two"},
                                         {"Js7", "letter or two"},
                                         {"h7 ", "letter or two"},
                                         {"H7x", "letter or two"},
                                         {"i7", "no fundamental deviation"},
                                         {"W7", "no fundamental deviation"},
                                         {"zd7", "no fundamental deviation"},
                                         {"H0", "IT1 to IT18"},
                                         {"H19", "IT1 to IT18"},
                                         {"H07", "IT1 to IT18"},
                                         {"j4", "j is tabulated"},
                                         {"j9", "j is tabulated"},
                                         {"J5", "J for IT6 to IT8"},
                                         {"J9", "J for IT6 to IT8"},
                                         {"K2", "delta"},
                                         {"P1", "delta"}}) {
    try {
      (void)ParseClass(row.name);
      ADD_FAILURE() << "accepted " << row.name;
    } catch (const EIsoClass& e) {
      EXPECT_NE(e.Message().find(std::string("\"") + row.name + "\""), std::string::npos)
          << e.Message();
      EXPECT_NE(e.Message().find(row.reason), std::string::npos) << e.Message();
    }
  }
}

TEST(Iso286Ranges, OnlyExactRangeBoundsMapToARange) {
  EXPECT_EQ(RangeOfBound(1), 0);
  EXPECT_EQ(RangeOfBound(3), 1);
  EXPECT_EQ(RangeOfBound(14), 4);  // a sub-range bound selects the sub-range 10-14
  EXPECT_EQ(RangeOfBound(65), 10);
  EXPECT_EQ(RangeOfBound(500), 25);
  for (double bound :
       {0.0, -3.0, 2.0, 3.5, 12.0, 501.0, 630.0, 3150.0, std::numeric_limits<double>::quiet_NaN(),
        std::numeric_limits<double>::infinity()}) {
    EXPECT_FALSE(RangeOfBound(bound)) << bound;
  }
}

TEST(Iso286Ranges, ClassesWithoutSubRangesKeepTheMainRangeValue) {
  // H7 is the same over 50 to 65 and 65 to 80; r6 changes at 65.
  const ToleranceClass h7 = ParseClass("H7");
  EXPECT_EQ(LimitDeviations(h7, *RangeOfBound(65), JsRounding::kExact),
            LimitDeviations(h7, *RangeOfBound(80), JsRounding::kExact));
  const ToleranceClass r6 = ParseClass("r6");
  EXPECT_EQ(LimitDeviations(r6, *RangeOfBound(65), JsRounding::kExact), (Deviations{6000, 4100}));
  EXPECT_EQ(LimitDeviations(r6, *RangeOfBound(80), JsRounding::kExact), (Deviations{6200, 4300}));
}

TEST(Iso286Refusals, SizesAtWhichAClassIsNotDefined) {
  struct Row {
    const char* name;
    double bound;
    Refusal refusal;
  };
  for (const Row& row : std::vector<Row>{
           {"a11", 1, Refusal::kUpTo1mm},
           {"B11", 1, Refusal::kUpTo1mm},
           {"h14", 1, Refusal::kUpTo1mm},
           {"N9", 1, Refusal::kUpTo1mm},
           {"K9", 6, Refusal::kKAboveIt8},
           {"K12", 500, Refusal::kKAboveIt8},
           {"cd7", 14, Refusal::kUpTo10mm},
           {"EF8", 500, Refusal::kUpTo10mm},
           {"t6", 24, Refusal::kNotTabulated},
           {"T7", 3, Refusal::kNotTabulated},
           {"v6", 14, Refusal::kNotTabulated},
           {"y6", 18, Refusal::kNotTabulated},
           {"j8", 6, Refusal::kNotTabulated},
       }) {
    const Outcome outcome =
        Compute(ParseClass(row.name), *RangeOfBound(row.bound), JsRounding::kExact);
    EXPECT_FALSE(outcome.deviations) << row.name << " up to " << row.bound;
    EXPECT_EQ(outcome.refusal, row.refusal) << row.name << " up to " << row.bound;
  }
  EXPECT_EQ(Compute(ParseClass("H7"), 26, JsRounding::kExact).refusal, Refusal::kBeyondRanges);
  // Classes made by hand are held to the same rules as read ones.
  EXPECT_EQ(Compute(ToleranceClass{"P", 2, true}, 5, JsRounding::kExact).refusal,
            Refusal::kNoDelta);
  EXPECT_EQ(Compute(ToleranceClass{"h", 19, false}, 5, JsRounding::kExact).refusal,
            Refusal::kGradeOutOfRange);
  EXPECT_EQ(Compute(ToleranceClass{"H", 7, false}, 5, JsRounding::kExact).refusal,
            Refusal::kUnknownLetters);
  EXPECT_EQ(Compute(ToleranceClass{"q", 7, false}, 5, JsRounding::kExact).refusal,
            Refusal::kUnknownLetters);
  EXPECT_EQ(Compute(ParseClass("H7"), -1, JsRounding::kExact).refusal, Refusal::kBeyondRanges);
}

TEST(Iso286Refusals, TheExceptionNamesClassSizeAndReason) {
  try {
    (void)LimitDeviations(ParseClass("a11"), 0, JsRounding::kExact);
    FAIL() << "a11 up to 1 mm was given a value";
  } catch (const EIsoClass& e) {
    EXPECT_EQ(e.Message(),
              "a11 has no limit deviations up to 1 mm: a, b, A, B, IT14 to IT18 and N above IT8 "
              "are not used for sizes up to 1 mm");
  }
}

TEST(Iso286Refusals, TheSameClassesAreDefinedJustAboveTheLimit) {
  for (const char* name : {"a11", "B11", "h14", "N9", "K9"}) {
    EXPECT_TRUE(Compute(ParseClass(name), *RangeOfBound(3), JsRounding::kExact).deviations) << name;
  }
  EXPECT_TRUE(Compute(ParseClass("cd7"), *RangeOfBound(10), JsRounding::kExact).deviations);
  EXPECT_TRUE(Compute(ParseClass("t6"), *RangeOfBound(30), JsRounding::kExact).deviations);
}

TEST(Iso286Text, MillimetresExactlyWithTheGivenSeparator) {
  struct Row {
    std::int32_t units;
    char separator;
    const char* text;
  };
  for (const Row& row : std::vector<Row>{{0, '.', "0"},
                                         {1800, '.', "0.018"},
                                         {-1000, ',', "-0,01"},
                                         {450, ',', "0,0045"},
                                         {125, '.', "0.00125"},
                                         {-1, '.', "-0.00001"},
                                         {260000, '.', "2.6"},
                                         {-970000, ',', "-9,7"},
                                         {100000, '.', "1"}}) {
    EXPECT_EQ(MillimetreText(row.units, row.separator), row.text) << row.units;
  }
}

TEST(Iso286Cells, IntervalLabelsNameTheRangeOfTheirBound) {
  struct Row {
    const char* label;
    std::optional<int> range;
  };
  for (const Row& row : std::vector<Row>{{"До 3", 1},
                                         {"До 65", 10},
                                         {"До 500", 25},
                                         {"До 500,0", 25},
                                         {"До 5e2", 25},
                                         {"До 12", std::nullopt},
                                         {"До 2,5", std::nullopt},
                                         {"До 0", std::nullopt},
                                         {"До -3", std::nullopt},
                                         {"До 1e400", std::nullopt},
                                         {"До x", std::nullopt},
                                         {"До", std::nullopt},
                                         {"", std::nullopt}}) {
    EXPECT_EQ(RangeOfLabel(row.label), row.range) << row.label;
  }
}

TEST(Iso286Cells, ColumnTextsByRangeWithTheSeparator) {
  const std::vector<CellFill> fills = FillsByRange(ParseClass("js6"), JsRounding::kExact, ',');
  ASSERT_EQ(fills.size(), RangeBounds().size());
  EXPECT_EQ(FillOfRow(fills, RangeOfLabel("До 10")).text, "0,0045 -0,0045");
  EXPECT_EQ(FillOfRow(fills, std::nullopt).refusal, Refusal::kBeyondRanges);
  const std::vector<CellFill> a11 = FillsByRange(ParseClass("a11"), JsRounding::kExact, '.');
  EXPECT_FALSE(a11[0].text);
  EXPECT_EQ(a11[0].refusal, Refusal::kUpTo1mm);
  EXPECT_EQ(a11[1].text, "-0.27 -0.33");
}

}  // namespace
}  // namespace tol::iso286
