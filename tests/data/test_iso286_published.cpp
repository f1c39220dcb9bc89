// The rules against limit deviations published elsewhere, one row per class and range, in
// micrometres as printed. Sources:
//  [H]  DME, "Mold Bases & Plates", Technical Reference, Table 6 "Tolerances for inside
//       dimensions (holes)" (ISO 286-2 values), online.flippingbook.com/view/962121/282
//  [S]  the same, Table 7 "Tolerances for outside dimensions (shafts)",
//       online.flipbuilder.com/zmgi/xitc/files/basic-html/page283.html and page285.html
//  [C]  ISO 286-2:1988 Technical Corrigendum 1 (2006), the four corrected limit deviations
//  [FS] fundamental deviations of shafts m to zc, "Machine Drawing", Table 15.2
//       (issuhub.com/view/index/5590?pageIndex=239), with es = ei + IT
//  [FH] fundamental deviations of holes N to ZC, EN ISO 286-1 (usefastener.com/knowledge/
//       399-...), with ES = -ei + delta up to IT7 and EI = ES - IT
//  [FA] fundamental deviations of shafts a to js (cobanengineering.com, Tolerances/
//       UpperAndLowerDeviationsShafts) and of holes A to N, BS 4500:1969 = ISO 286-1
//       (Machinery's Handbook 31st ed., Table 6a), with the other deviation from IT
//  [FK] fundamental deviations j and k over 180 mm, "Machine Drawing", Table 15.2 contd.
//       (issuhub.com/view/index?id=5590&pageIndex=238)
// The first two print JS9, js11 and the like unrounded, so all rows use the exact option.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/iso286.h"
#include "tests/data/iso286_test_support.h"

namespace tol::iso286 {
namespace {

struct Published {
  const char* name;
  int bound;  // upper bound of the range, mm
  const char* upper;
  const char* lower;
};

const std::vector<Published> kPublished = {
    // [S] a to h: a and b are printed with a dash up to 1 mm (see the refusal test).
    {"a11", 3, "-270", "-330"},
    {"a11", 10, "-280", "-370"},
    {"a11", 40, "-310", "-470"},
    {"a11", 65, "-340", "-530"},
    {"b8", 3, "-140", "-154"},
    {"b8", 80, "-200", "-246"},
    {"b8", 160, "-280", "-343"},
    {"b8", 250, "-420", "-492"},
    {"b8", 355, "-600", "-689"},
    {"b8", 500, "-840", "-937"},
    {"b11", 6, "-140", "-215"},
    {"b11", 120, "-240", "-460"},
    {"b11", 355, "-600", "-960"},
    {"c11", 3, "-60", "-120"},
    {"c11", 18, "-95", "-205"},
    {"c11", 50, "-130", "-290"},
    {"c11", 65, "-140", "-330"},
    {"d9", 10, "-40", "-76"},
    {"d9", 50, "-80", "-142"},
    {"d10", 6, "-30", "-78"},
    {"d10", 30, "-65", "-149"},
    {"d11", 18, "-50", "-160"},
    {"d11", 50, "-80", "-240"},
    {"e7", 18, "-32", "-50"},
    {"e7", 50, "-50", "-75"},
    {"e8", 10, "-25", "-47"},
    {"e8", 30, "-40", "-73"},
    {"e9", 6, "-20", "-50"},
    {"e9", 50, "-50", "-112"},
    {"f6", 18, "-16", "-27"},
    {"f6", 50, "-25", "-41"},
    {"f8", 10, "-13", "-35"},
    {"f8", 30, "-20", "-53"},
    {"f9", 3, "-6", "-31"},
    {"f9", 50, "-25", "-87"},
    {"g5", 6, "-4", "-9"},
    {"g5", 50, "-9", "-20"},
    {"g7", 18, "-6", "-24"},
    {"g7", 30, "-7", "-28"},
    {"h4", 3, "0", "-3"},
    {"h4", 50, "0", "-7"},
    {"h5", 18, "0", "-8"},
    {"h5", 50, "0", "-11"},
    // [S] js8 to js18; js17 and js18 where the table prints them.
    {"js8", 18, "+13.5", "-13.5"},
    {"js8", 30, "+16.5", "-16.5"},
    {"js8", 500, "+48.5", "-48.5"},
    {"js9", 3, "+12.5", "-12.5"},
    {"js9", 500, "+77.5", "-77.5"},
    {"js10", 10, "+29", "-29"},
    {"js11", 6, "+37.5", "-37.5"},
    {"js11", 30, "+65", "-65"},
    {"js12", 18, "+90", "-90"},
    {"js13", 180, "+315", "-315"},
    {"js14", 3, "+125", "-125"},
    {"js15", 10, "+290", "-290"},
    {"js16", 6, "+375", "-375"},
    {"js16", 500, "+2000", "-2000"},
    {"js17", 10, "+750", "-750"},
    {"js17", 180, "+2000", "-2000"},
    {"js18", 18, "+1350", "-1350"},
    {"js18", 500, "+4850", "-4850"},
    // [H] H, J, JS, K, M, N, R.
    {"H11", 3, "+60", "0"},
    {"H11", 80, "+190", "0"},
    {"H12", 3, "+100", "0"},
    {"H12", 120, "+350", "0"},
    {"H13", 10, "+220", "0"},
    {"H13", 250, "+720", "0"},
    {"J6", 3, "+2", "-4"},
    {"J6", 6, "+5", "-3"},
    {"J6", 18, "+6", "-5"},
    {"J6", 250, "+22", "-7"},
    {"J7", 3, "+4", "-6"},
    {"J7", 10, "+8", "-7"},
    {"J7", 50, "+14", "-11"},
    {"J7", 180, "+26", "-14"},
    {"J8", 3, "+6", "-8"},
    {"J8", 6, "+10", "-8"},
    {"J8", 120, "+34", "-20"},
    {"J8", 250, "+47", "-25"},
    {"JS6", 3, "+3", "-3"},
    {"JS6", 10, "+4.5", "-4.5"},
    {"JS6", 250, "+14.5", "-14.5"},
    {"JS8", 6, "+9", "-9"},
    {"JS8", 18, "+13.5", "-13.5"},
    {"JS8", 180, "+31.5", "-31.5"},
    {"JS9", 3, "+12.5", "-12.5"},
    {"JS9", 120, "+43.5", "-43.5"},
    {"K6", 3, "0", "-6"},
    {"K6", 6, "+2", "-6"},
    {"K6", 30, "+2", "-11"},
    {"K6", 250, "+5", "-24"},
    {"K7", 10, "+5", "-10"},
    {"K7", 180, "+12", "-28"},
    {"K8", 3, "0", "-14"},
    {"K8", 18, "+8", "-19"},
    {"K8", 50, "+12", "-27"},
    {"K8", 250, "+22", "-50"},
    {"M6", 3, "-2", "-8"},
    {"M6", 6, "-1", "-9"},
    {"M6", 30, "-4", "-17"},
    {"M6", 180, "-8", "-33"},
    {"M7", 3, "-2", "-12"},
    {"M7", 18, "0", "-18"},
    {"M7", 250, "0", "-46"},
    {"M8", 3, "-2", "-16"},
    {"M8", 6, "+2", "-16"},
    {"M8", 10, "+1", "-21"},
    {"M8", 120, "+6", "-48"},
    {"M8", 250, "+9", "-63"},
    {"N6", 3, "-4", "-10"},
    {"N6", 10, "-7", "-16"},
    {"N6", 80, "-14", "-33"},
    {"N7", 6, "-4", "-16"},
    {"N7", 30, "-7", "-28"},
    {"N8", 3, "-4", "-18"},
    {"N8", 6, "-2", "-20"},
    {"N8", 50, "-3", "-42"},
    {"N8", 250, "-5", "-77"},
    {"R7", 3, "-10", "-20"},
    {"R7", 18, "-16", "-34"},
    {"R7", 50, "-25", "-50"},
    {"R7", 65, "-30", "-60"},
    {"R7", 80, "-32", "-62"},
    {"R7", 100, "-38", "-73"},
    {"R7", 140, "-48", "-88"},
    {"R7", 180, "-53", "-93"},
    {"R7", 225, "-63", "-109"},
    {"R7", 280, "-74", "-126"},
    // [C] the corrected values of ISO 286-2:1988.
    {"A13", 355, "+2090", "+1200"},
    {"E8", 120, "+126", "+72"},
    {"R10", 30, "-28", "-112"},
    {"f9", 315, "-56", "-186"},
    // [FS] shafts k to zc on their sub-ranges.
    {"m5", 50, "+20", "+9"},
    {"n5", 80, "+33", "+20"},
    {"p7", 18, "+36", "+18"},
    {"s7", 100, "+106", "+71"},
    {"t6", 30, "+54", "+41"},
    {"t6", 160, "+159", "+134"},
    {"u7", 24, "+62", "+41"},
    {"u6", 65, "+106", "+87"},
    {"v6", 18, "+50", "+39"},
    {"x7", 14, "+58", "+40"},
    {"x7", 18, "+63", "+45"},
    {"y6", 24, "+76", "+63"},
    {"z8", 50, "+175", "+136"},
    {"za7", 80, "+304", "+274"},
    {"zb8", 120, "+579", "+525"},
    {"zc9", 180, "+1100", "+1000"},
    {"zc11", 3, "+120", "+60"},
    // [FH] holes P to ZC: delta up to IT7, none above.
    {"P6", 30, "-18", "-31"},
    {"P8", 30, "-22", "-55"},
    {"S7", 100, "-58", "-93"},
    {"T7", 30, "-33", "-54"},
    {"U7", 65, "-76", "-106"},
    {"U9", 65, "-87", "-161"},
    {"V6", 18, "-36", "-47"},
    {"X7", 14, "-33", "-51"},
    {"Y7", 40, "-85", "-110"},
    {"Z8", 225, "-575", "-647"},
    {"ZA6", 10, "-49", "-58"},
    {"ZB7", 200, "-863", "-909"},
    {"ZC7", 3, "-60", "-70"},
    // [FA] cd, ef, fg (published up to 10 mm) and holes A to G.
    {"cd7", 6, "-46", "-58"},
    {"ef8", 10, "-18", "-40"},
    {"fg6", 3, "-4", "-10"},
    {"CD8", 3, "+48", "+34"},
    {"EF7", 6, "+26", "+14"},
    {"FG9", 10, "+44", "+8"},
    {"B11", 6, "+215", "+140"},
    {"C11", 18, "+205", "+95"},
    {"D10", 50, "+180", "+80"},
    {"F7", 30, "+41", "+20"},
    {"G6", 80, "+29", "+10"},
    // [FK] j and k.
    {"j6", 225, "+16", "-13"},
    {"j5", 280, "+7", "-16"},
    {"j7", 500, "+31", "-32"},
    {"k6", 225, "+33", "+4"},
    {"k8", 225, "+72", "0"},
    {"k6", 500, "+45", "+5"},
};

TEST(Iso286Published, ComputedDeviationsEqualThePublishedOnes) {
  for (const Published& row : kPublished) {
    const std::optional<int> range = RangeOfBound(row.bound);
    ASSERT_TRUE(range) << row.bound;
    const Deviations expected{test::ScaledDecimal(row.upper, 2), test::ScaledDecimal(row.lower, 2)};
    const Deviations actual = LimitDeviations(ParseClass(row.name), *range, JsRounding::kExact);
    EXPECT_EQ(actual, expected) << row.name << " up to " << row.bound << " mm: published "
                                << row.upper << "/" << row.lower << " µm, computed "
                                << actual.upper / 100.0 << "/" << actual.lower / 100.0;
  }
}

TEST(Iso286Published, TheDashesOfThePublishedTablesAreRefusals) {
  // [S] prints a11, b8 and b11 with a dash up to 1 mm.
  for (const char* name : {"a11", "b8", "b11"}) {
    EXPECT_FALSE(Compute(ParseClass(name), *RangeOfBound(1), JsRounding::kExact).deviations)
        << name;
  }
}

TEST(Iso286Published, TheSpecialCaseOfM6) {
  // ISO 286-1, Table 3: M6 over 250 up to 315 mm has ES = -9 µm instead of -20 + delta = -11.
  EXPECT_EQ(LimitDeviations(ParseClass("M6"), *RangeOfBound(280), JsRounding::kExact),
            (Deviations{-900, -4100}));
  EXPECT_EQ(LimitDeviations(ParseClass("M6"), *RangeOfBound(355), JsRounding::kExact),
            (Deviations{-1000, -4600}));
}

}  // namespace
}  // namespace tol::iso286
