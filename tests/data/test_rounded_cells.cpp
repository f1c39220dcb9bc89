#include "data/rounded_cells.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "data/memory_table.h"
#include "data/number_text.h"
#include "data/table_checks.h"
#include "data/table_codec.h"
#include "data/tolerance_file.h"

namespace tol {
namespace {

// What the save does with the cell form: read it back.
bool SaveKeeps(double v) {
  const CellValues read = ParseCellValues(CellNumberText(v) + " 0");
  return read.accepted && read.first == v;
}

TEST(CellFormReadsBackTest, AgreesWithTheSavesReading) {
  struct Row {
    double value;
    bool reads_back;
    const char* probes;
  } rows[] = {
      {0.018, true, "three decimals"},      {-0.0045, false, "js6, four decimals"},
      {0.0125, false, "a half thousandth"}, {0.0, true, "zero"},
      {-0.0, true, "negative zero"},        {1e-10, false, "shows as 0"},
      {9999.999, true, "just below 10^4"},  {9999.9996, false, "rounds up to 10000"},
      {123456.0625, false, "beyond 10^4"},  {123456.5, true, "beyond 10^4, one decimal"},
      {1e20, true, "general form"},         {INFINITY, true, "refused by the save, not rounded"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(CellFormReadsBack(row.value), row.reads_back) << row.probes;
    if (std::isfinite(row.value)) {
      EXPECT_EQ(SaveKeeps(row.value), row.reads_back) << row.probes;
    }
  }
}

// Every number of thousandths below 10^6 (the range the short test decides), each as it is and
// one unit in the last place either side, and random values across the magnitudes.
TEST(CellFormReadsBackTest, ShortTestMatchesTheReadingEverywhere) {
  for (std::int64_t t = 0; t < 1000000; t += 7) {
    const double v = static_cast<double>(t) / 1000.0;
    for (const double probe : {v, std::nextafter(v, 0.0), std::nextafter(v, 1e9), -v}) {
      ASSERT_EQ(CellFormReadsBack(probe), SaveKeeps(probe)) << probe;
    }
  }
  std::mt19937_64 random(15);
  std::uniform_real_distribution<double> exponent(-6.0, 7.0);
  for (int i = 0; i < 200000; ++i) {
    const double v = std::pow(10.0, exponent(random));
    ASSERT_EQ(CellFormReadsBack(v), SaveKeeps(v)) << v;
  }
}

struct Reported {
  std::int32_t col;
  std::int32_t row;
  double first;
  double second;
  bool operator==(const Reported&) const = default;
};

class ListSink final : public LoadedCellSink {
 public:
  void LoadBegins() override { ++begun; }
  void CellRounded(std::int32_t col, std::int32_t row, double first, double second) override {
    cells.push_back({col, row, first, second});
  }
  int begun = 0;
  std::vector<Reported> cells;
};

TEST(LoadedCellSinkTest, TheSamplesJs6CellsAndNoOthers) {
  MemoryTable table;
  ListSink sink;
  LoadTableFrom(table, TOL_SAMPLE_FILE, &sink);
  EXPECT_EQ(sink.begun, 1);
  ASSERT_EQ(table.GetCell(19, 0), "js6   ");
  const std::vector<Reported> expected = {
      {19, 3, 0.0045, -0.0045}, {19, 4, 0.0055, -0.0055}, {19, 5, 0.0065, -0.0065},
      {19, 7, 0.0095, -0.0095}, {19, 9, 0.0125, -0.0125}, {19, 10, 0.0145, -0.0145},
  };
  EXPECT_EQ(sink.cells, expected);
  EXPECT_EQ(table.GetCell(19, 3), "0.004 -0.004");  // the text is as before
}

TEST(TableChecksTest, UpperBelowLowerAndBoundOrder) {
  EXPECT_TRUE(UpperBelowLower("-0.007 0.02"));
  EXPECT_TRUE(UpperBelowLower("0,001 0,002"));
  EXPECT_FALSE(UpperBelowLower("0.021 0"));
  EXPECT_FALSE(UpperBelowLower("0 0"));  // equal deviations: a zone of no width
  EXPECT_FALSE(UpperBelowLower("x 1"));  // refused texts are the save's business
  EXPECT_EQ(IntervalBound("До 30"), 30.0);
  EXPECT_EQ(IntervalBound("До 2,5"), 2.5);
  EXPECT_EQ(IntervalBound("До"), std::nullopt);
  EXPECT_FALSE(BoundOutOfOrder(0.0, 3.0));
  EXPECT_TRUE(BoundOutOfOrder(0.0, 0.0));  // the first bound must lie above 0
  EXPECT_TRUE(BoundOutOfOrder(30.0, 18.0));
  EXPECT_TRUE(BoundOutOfOrder(30.0, 30.0));  // a repeated bound is no interval
  EXPECT_FALSE(BoundOutOfOrder(std::nullopt, 1.0));
  EXPECT_FALSE(BoundOutOfOrder(30.0, std::nullopt));
}

// Cells in the usual form are compared as whole thousandths; every text must get the answer
// that comparing the binary64 values read gives, also next to the limits of that form.
TEST(TableChecksTest, UpperBelowLowerAsTheValuesRead) {
  std::vector<std::string> texts = {"999999999999.998 999999999999.999",
                                    "99999999999999.001 99999999999999.002",
                                    "-999999999999.999 -999999999999.998",
                                    "9999999999999 99999999999999",
                                    "0.0001 0.0002",
                                    "-0 0",
                                    "0,5 0.500",
                                    "0.499 0.5000",
                                    "1 2 3",
                                    "1  2",
                                    " 1 2",
                                    "1 2 ",
                                    "5. 6",
                                    ".5 .6",
                                    "+1 2",
                                    "1e3 1001",
                                    "007 8",
                                    "1 -",
                                    "- 1"};
  std::mt19937_64 random(286);
  const auto word = [&random] {
    std::string text = random() % 3 == 0 ? "-" : "";
    const int digits = static_cast<int>(random() % 15);
    for (int i = 0; i < digits; ++i) text += static_cast<char>('0' + random() % (i == 0 ? 3 : 10));
    const int decimals = static_cast<int>(random() % 6) - 1;
    if (decimals >= 0) text += random() % 2 == 0 ? '.' : ',';
    for (int i = 0; i < decimals; ++i) text += static_cast<char>('0' + random() % 10);
    return text;
  };
  for (int i = 0; i < 50000; ++i) {
    const std::string upper = word();
    texts.push_back(upper + " " + word());
    texts.push_back(upper + " " + upper + (random() % 2 == 0 ? "0" : ""));
  }
  for (const std::string& text : texts) {
    const CellValues values = QuietCellValues(text);
    EXPECT_EQ(UpperBelowLower(text), values.accepted && values.first < values.second) << text;
  }
}

}  // namespace
}  // namespace tol
