// The rules against the sample's source table (examples/iso286_limit_deviations.csv, 25
// classes x 13 ranges, JS7 rounded as ISO permits) and against ISO 286-1 Table 1.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "data/iso286.h"
#include "data/iso286_tables.h"
#include "tests/data/iso286_test_support.h"

namespace tol::iso286 {
namespace {

std::vector<std::vector<std::string>> ReadCsv(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::vector<std::string>> rows;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> fields;
    std::stringstream split(line);
    for (std::string field; std::getline(split, field, ',');) fields.push_back(field);
    rows.push_back(fields);
  }
  return rows;
}

TEST(Iso286Sample, EveryCellOfTheSampleTableIsComputed) {
  const auto rows = ReadCsv(std::string(TOL_SOURCE_DIR) + "/examples/iso286_limit_deviations.csv");
  ASSERT_EQ(rows.size(), 14u);
  const std::vector<std::string>& header = rows[0];
  ASSERT_EQ(header.size(), 51u);
  int checked = 0;
  for (std::size_t r = 1; r < rows.size(); ++r) {
    const std::optional<int> range = RangeOfBound(std::stod(rows[r][0]));
    ASSERT_TRUE(range) << rows[r][0];
    for (std::size_t c = 1; c + 1 < header.size(); c += 2) {
      const std::string name = header[c].substr(0, header[c].size() - 6);
      const Deviations expected{test::ScaledDecimal(rows[r][c], 5),
                                test::ScaledDecimal(rows[r][c + 1], 5)};
      const Deviations actual = LimitDeviations(ParseClass(name), *range, JsRounding::kEvenBelow);
      EXPECT_EQ(actual, expected) << name << " up to " << rows[r][0] << " mm: computed "
                                  << actual.upper << "/" << actual.lower << ", table " << rows[r][c]
                                  << "/" << rows[r][c + 1];
      ++checked;
    }
  }
  EXPECT_EQ(checked, 25 * 13);
}

TEST(Iso286Sample, Js7WithoutRoundingKeepsHalfMicrometres) {
  const ToleranceClass js7 = ParseClass("JS7");
  EXPECT_EQ(LimitDeviations(js7, *RangeOfBound(10), JsRounding::kExact), (Deviations{750, -750}));
  EXPECT_EQ(LimitDeviations(js7, *RangeOfBound(10), JsRounding::kEvenBelow),
            (Deviations{700, -700}));
  // js6 is below grade 7: the option leaves it exact.
  EXPECT_EQ(LimitDeviations(ParseClass("js6"), *RangeOfBound(10), JsRounding::kEvenBelow),
            (Deviations{450, -450}));
  // JS12 is above grade 11: exact too (IT12 up to 3 mm is 100 µm, even anyway; 315-400: 570).
  EXPECT_EQ(LimitDeviations(ParseClass("JS11"), *RangeOfBound(6), JsRounding::kEvenBelow),
            (Deviations{3700, -3700}));
}

// ISO 286-1, Table 1, as published: micrometres for IT1 to IT11, millimetres for IT12 to
// IT18, over the ranges up to 3, 6, 10, 18, 30, 50, 80, 120, 180, 250, 315, 400, 500 mm.
// Checked against its identical adoption GB/T 1800.3-1998, Table 1, as reprinted at
// m.cadhome.net/news/jxbz/8485.html (IT17 and IT18 included up to 3 mm).
struct PublishedGrade {
  int grade;
  int scale;  // 2 for micrometres, 5 for millimetres
  std::vector<std::string> values;
};

const std::vector<PublishedGrade> kTable1 = {
    {1, 2, {"0.8", "1", "1", "1.2", "1.5", "1.5", "2", "2.5", "3.5", "4.5", "6", "7", "8"}},
    {2, 2, {"1.2", "1.5", "1.5", "2", "2.5", "2.5", "3", "4", "5", "7", "8", "9", "10"}},
    {3, 2, {"2", "2.5", "2.5", "3", "4", "4", "5", "6", "8", "10", "12", "13", "15"}},
    {4, 2, {"3", "4", "4", "5", "6", "7", "8", "10", "12", "14", "16", "18", "20"}},
    {5, 2, {"4", "5", "6", "8", "9", "11", "13", "15", "18", "20", "23", "25", "27"}},
    {6, 2, {"6", "8", "9", "11", "13", "16", "19", "22", "25", "29", "32", "36", "40"}},
    {7, 2, {"10", "12", "15", "18", "21", "25", "30", "35", "40", "46", "52", "57", "63"}},
    {8, 2, {"14", "18", "22", "27", "33", "39", "46", "54", "63", "72", "81", "89", "97"}},
    {9, 2, {"25", "30", "36", "43", "52", "62", "74", "87", "100", "115", "130", "140", "155"}},
    {10, 2, {"40", "48", "58", "70", "84", "100", "120", "140", "160", "185", "210", "230", "250"}},
    {11,
     2,
     {"60", "75", "90", "110", "130", "160", "190", "220", "250", "290", "320", "360", "400"}},
    {12,
     5,
     {"0.1", "0.12", "0.15", "0.18", "0.21", "0.25", "0.3", "0.35", "0.4", "0.46", "0.52", "0.57",
      "0.63"}},
    {13,
     5,
     {"0.14", "0.18", "0.22", "0.27", "0.33", "0.39", "0.46", "0.54", "0.63", "0.72", "0.81",
      "0.89", "0.97"}},
    {14,
     5,
     {"0.25", "0.3", "0.36", "0.43", "0.52", "0.62", "0.74", "0.87", "1", "1.15", "1.3", "1.4",
      "1.55"}},
    {15,
     5,
     {"0.4", "0.48", "0.58", "0.7", "0.84", "1", "1.2", "1.4", "1.6", "1.85", "2.1", "2.3", "2.5"}},
    {16,
     5,
     {"0.6", "0.75", "0.9", "1.1", "1.3", "1.6", "1.9", "2.2", "2.5", "2.9", "3.2", "3.6", "4"}},
    {17, 5, {"1", "1.2", "1.5", "1.8", "2.1", "2.5", "3", "3.5", "4", "4.6", "5.2", "5.7", "6.3"}},
    {18,
     5,
     {"1.4", "1.8", "2.2", "2.7", "3.3", "3.9", "4.6", "5.4", "6.3", "7.2", "8.1", "8.9", "9.7"}},
};

const std::vector<int> kMainBounds = {3, 6, 10, 18, 30, 50, 80, 120, 180, 250, 315, 400, 500};

TEST(Iso286Sample, StandardTolerancesAreThoseOfTable1) {
  for (const PublishedGrade& row : kTable1) {
    for (std::size_t i = 0; i < kMainBounds.size(); ++i) {
      const std::int32_t expected = test::ScaledDecimal(row.values[i], row.scale);
      // Every range of a main range, sub-ranges included, has the main range's tolerance.
      const int first_bound = i == 0 ? 1 : kMainBounds[i - 1] + 1;
      for (std::int32_t bound : RangeBounds()) {
        if (bound < first_bound || bound > kMainBounds[i]) continue;
        EXPECT_EQ(StandardTolerance(row.grade, *RangeOfBound(bound)), expected)
            << "IT" << row.grade << " up to " << bound << " mm";
      }
    }
  }
  EXPECT_FALSE(StandardTolerance(0, 0));
  EXPECT_FALSE(StandardTolerance(19, 0));
}

TEST(Iso286Sample, DeltaIsTheStepBetweenNeighbouringGradesAbove3mm) {
  for (int grade = 3; grade <= 8; ++grade) {
    for (std::int32_t bound : RangeBounds()) {
      const int range = *RangeOfBound(bound);
      const std::int32_t delta = *ValueAt(Deltas(grade), bound) * 10;
      const std::int32_t expected =
          bound <= 3 ? 0 : *StandardTolerance(grade, range) - *StandardTolerance(grade - 1, range);
      EXPECT_EQ(delta, expected) << "delta IT" << grade << " up to " << bound << " mm";
    }
  }
}

}  // namespace
}  // namespace tol::iso286
