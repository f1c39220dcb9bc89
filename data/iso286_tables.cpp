#include "data/iso286_tables.h"

#include <array>
#include <cstddef>

namespace tol::iso286 {
namespace {

constexpr std::int32_t kNo = kNotTabulated;

// The thirteen main nominal size ranges up to 500 mm: over 0 up to 3, over 3 up to 6, ...
constexpr std::array<std::int32_t, 13> kMainBounds = {3,   6,   10,  18,  30,  50, 80,
                                                      120, 180, 250, 315, 400, 500};

template <std::size_t n>
using Rows = std::array<TableRow, n>;

// A column over the main ranges, its values multiplied by scale (10 turns micrometres into
// the tenths that the IT and delta tables are kept in).
constexpr Rows<13> OnMainRanges(const std::array<std::int32_t, 13>& values, std::int32_t scale) {
  Rows<13> rows{};
  for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = {kMainBounds[i], values[i] * scale};
  return rows;
}
constexpr Rows<13> Micrometres(const std::array<std::int32_t, 13>& values) {
  return OnMainRanges(values, 1);
}
constexpr Rows<13> TenthsFromMicrometres(const std::array<std::int32_t, 13>& values) {
  return OnMainRanges(values, 10);
}
constexpr Rows<13> Tenths(const std::array<std::int32_t, 13>& values) {
  return OnMainRanges(values, 1);
}

// ISO 286-1, Table 1: values of the standard tolerance grades IT1 to IT18 for nominal sizes
// up to 500 mm. IT1 to IT3 hold fractions of a micrometre and are written in tenths; IT4 to
// IT11 are published in micrometres, IT12 to IT18 in millimetres (written here in
// micrometres). The table's footnote that IT14 to IT18 are not used for sizes up to 1 mm is a
// rule of data/iso286.cpp.
constexpr std::array<Rows<13>, 18> kStandardTolerances = {
    Tenths({8, 10, 10, 12, 15, 15, 20, 25, 35, 45, 60, 70, 80}),                  // IT1
    Tenths({12, 15, 15, 20, 25, 25, 30, 40, 50, 70, 80, 90, 100}),                // IT2
    Tenths({20, 25, 25, 30, 40, 40, 50, 60, 80, 100, 120, 130, 150}),             // IT3
    TenthsFromMicrometres({3, 4, 4, 5, 6, 7, 8, 10, 12, 14, 16, 18, 20}),         // IT4
    TenthsFromMicrometres({4, 5, 6, 8, 9, 11, 13, 15, 18, 20, 23, 25, 27}),       // IT5
    TenthsFromMicrometres({6, 8, 9, 11, 13, 16, 19, 22, 25, 29, 32, 36, 40}),     // IT6
    TenthsFromMicrometres({10, 12, 15, 18, 21, 25, 30, 35, 40, 46, 52, 57, 63}),  // IT7
    TenthsFromMicrometres({14, 18, 22, 27, 33, 39, 46, 54, 63, 72, 81, 89, 97}),  // IT8
    TenthsFromMicrometres({25, 30, 36, 43, 52, 62, 74, 87, 100, 115, 130, 140, 155}),
    TenthsFromMicrometres({40, 48, 58, 70, 84, 100, 120, 140, 160, 185, 210, 230, 250}),
    TenthsFromMicrometres({60, 75, 90, 110, 130, 160, 190, 220, 250, 290, 320, 360, 400}),
    TenthsFromMicrometres({100, 120, 150, 180, 210, 250, 300, 350, 400, 460, 520, 570, 630}),
    TenthsFromMicrometres({140, 180, 220, 270, 330, 390, 460, 540, 630, 720, 810, 890, 970}),
    TenthsFromMicrometres(
        {250, 300, 360, 430, 520, 620, 740, 870, 1000, 1150, 1300, 1400, 1550}),  // IT14
    TenthsFromMicrometres(
        {400, 480, 580, 700, 840, 1000, 1200, 1400, 1600, 1850, 2100, 2300, 2500}),  // IT15
    TenthsFromMicrometres(
        {600, 750, 900, 1100, 1300, 1600, 1900, 2200, 2500, 2900, 3200, 3600, 4000}),  // IT16
    TenthsFromMicrometres(
        {1000, 1200, 1500, 1800, 2100, 2500, 3000, 3500, 4000, 4600, 5200, 5700, 6300}),  // IT17
    TenthsFromMicrometres(
        {1400, 1800, 2200, 2700, 3300, 3900, 4600, 5400, 6300, 7200, 8100, 8900, 9700}),  // IT18
};

// ISO 286-1, Table 3 (fundamental deviations of holes), the right-hand delta columns for
// IT3 to IT8, in tenths of a micrometre. Above 3 mm each equals IT(n) - IT(n-1).
constexpr std::array<Rows<13>, 6> kDeltas = {
    Tenths({0, 10, 10, 10, 15, 15, 20, 20, 30, 30, 40, 40, 50}),              // IT3
    Tenths({0, 15, 15, 20, 20, 30, 30, 40, 40, 40, 40, 50, 50}),              // IT4
    TenthsFromMicrometres({0, 1, 2, 3, 3, 4, 5, 5, 6, 6, 7, 7, 7}),           // IT5
    TenthsFromMicrometres({0, 3, 3, 3, 4, 5, 6, 7, 7, 9, 9, 11, 13}),         // IT6
    TenthsFromMicrometres({0, 4, 6, 7, 8, 9, 11, 13, 15, 17, 20, 21, 23}),    // IT7
    TenthsFromMicrometres({0, 6, 7, 9, 12, 14, 16, 19, 23, 26, 29, 32, 34}),  // IT8
};

// ISO 286-1, Table 2 (fundamental deviations of shafts), upper deviation es, micrometres.
// a, b and c change inside several main ranges and are published on their sub-ranges; cd,
// ef and fg are published for sizes up to 10 mm only.
constexpr Rows<23> kShaftA = {{{3, -270},    {6, -270},    {10, -280},  {18, -290},   {30, -300},
                               {40, -310},   {50, -320},   {65, -340},  {80, -360},   {100, -380},
                               {120, -410},  {140, -460},  {160, -520}, {180, -580},  {200, -660},
                               {225, -740},  {250, -820},  {280, -920}, {315, -1050}, {355, -1200},
                               {400, -1350}, {450, -1500}, {500, -1650}}};
constexpr Rows<23> kShaftB = {{{3, -140},   {6, -140},   {10, -150},  {18, -150},  {30, -160},
                               {40, -170},  {50, -180},  {65, -190},  {80, -200},  {100, -220},
                               {120, -240}, {140, -260}, {160, -280}, {180, -310}, {200, -340},
                               {225, -380}, {250, -420}, {280, -480}, {315, -540}, {355, -600},
                               {400, -680}, {450, -760}, {500, -840}}};
constexpr Rows<23> kShaftC = {{{3, -60},    {6, -70},    {10, -80},   {18, -95},   {30, -110},
                               {40, -120},  {50, -130},  {65, -140},  {80, -150},  {100, -170},
                               {120, -180}, {140, -200}, {160, -210}, {180, -230}, {200, -240},
                               {225, -260}, {250, -280}, {280, -300}, {315, -330}, {355, -360},
                               {400, -400}, {450, -440}, {500, -480}}};
constexpr Rows<3> kShaftCd = {{{3, -34}, {6, -46}, {10, -56}}};
constexpr Rows<13> kShaftD =
    Micrometres({-20, -30, -40, -50, -65, -80, -100, -120, -145, -170, -190, -210, -230});
constexpr Rows<13> kShaftE =
    Micrometres({-14, -20, -25, -32, -40, -50, -60, -72, -85, -100, -110, -125, -135});
constexpr Rows<3> kShaftEf = {{{3, -10}, {6, -14}, {10, -18}}};
constexpr Rows<13> kShaftF =
    Micrometres({-6, -10, -13, -16, -20, -25, -30, -36, -43, -50, -56, -62, -68});
constexpr Rows<3> kShaftFg = {{{3, -4}, {6, -6}, {10, -8}}};
constexpr Rows<13> kShaftG =
    Micrometres({-2, -4, -5, -6, -7, -9, -10, -12, -14, -15, -17, -18, -20});
constexpr Rows<13> kShaftH = Micrometres({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});

// ISO 286-1, Table 2, lower deviation ei of j (columns IT5 and IT6, IT7, IT8), micrometres.
// j8 is published for sizes up to 3 mm only.
constexpr Rows<13> kShaftJ56 =
    Micrometres({-2, -2, -2, -3, -4, -5, -7, -9, -11, -13, -16, -18, -20});
constexpr Rows<13> kShaftJ7 =
    Micrometres({-4, -4, -5, -6, -8, -10, -12, -15, -18, -21, -26, -28, -32});
constexpr Rows<1> kShaftJ8 = {{{3, -6}}};

// ISO 286-1, Table 2, lower deviation ei of k for IT4 to IT7 (for grades up to IT3 and above
// IT7 it is 0) and of m to zc, micrometres; r to zc are published on sub-ranges, and t, v, y
// begin with a dash.
constexpr Rows<13> kShaftK = Micrometres({0, 1, 1, 1, 2, 2, 2, 3, 3, 4, 4, 4, 5});
constexpr Rows<13> kShaftM = Micrometres({2, 4, 6, 7, 8, 9, 11, 13, 15, 17, 20, 21, 23});
constexpr Rows<13> kShaftN = Micrometres({4, 8, 10, 12, 15, 17, 20, 23, 27, 31, 34, 37, 40});
constexpr Rows<13> kShaftP = Micrometres({6, 12, 15, 18, 22, 26, 32, 37, 43, 50, 56, 62, 68});
constexpr Rows<22> kShaftR = {{{3, 10},    {6, 15},    {10, 19},   {18, 23},  {30, 28},  {50, 34},
                               {65, 41},   {80, 43},   {100, 51},  {120, 54}, {140, 63}, {160, 65},
                               {180, 68},  {200, 77},  {225, 80},  {250, 84}, {280, 94}, {315, 98},
                               {355, 108}, {400, 114}, {450, 126}, {500, 132}}};
constexpr Rows<22> kShaftS = {
    {{3, 14},    {6, 19},    {10, 23},   {18, 28},   {30, 35},   {50, 43},   {65, 53},   {80, 59},
     {100, 71},  {120, 79},  {140, 92},  {160, 100}, {180, 108}, {200, 122}, {225, 130}, {250, 140},
     {280, 158}, {315, 170}, {355, 190}, {400, 208}, {450, 232}, {500, 252}}};
constexpr Rows<20> kShaftT = {{{24, kNo},  {30, 41},   {40, 48},   {50, 54},   {65, 66},
                               {80, 75},   {100, 91},  {120, 104}, {140, 122}, {160, 134},
                               {180, 146}, {200, 166}, {225, 180}, {250, 196}, {280, 218},
                               {315, 240}, {355, 268}, {400, 294}, {450, 330}, {500, 360}}};
constexpr Rows<24> kShaftU = {{{3, 18},    {6, 23},    {10, 28},   {18, 33},   {24, 41},
                               {30, 48},   {40, 60},   {50, 70},   {65, 87},   {80, 102},
                               {100, 124}, {120, 144}, {140, 170}, {160, 190}, {180, 210},
                               {200, 236}, {225, 258}, {250, 284}, {280, 315}, {315, 350},
                               {355, 390}, {400, 435}, {450, 490}, {500, 540}}};
constexpr Rows<22> kShaftV = {
    {{14, kNo},  {18, 39},   {24, 47},   {30, 55},   {40, 68},   {50, 81},   {65, 102},  {80, 120},
     {100, 146}, {120, 172}, {140, 202}, {160, 228}, {180, 252}, {200, 284}, {225, 310}, {250, 340},
     {280, 385}, {315, 425}, {355, 475}, {400, 530}, {450, 595}, {500, 660}}};
constexpr Rows<25> kShaftX = {{{3, 20},    {6, 28},    {10, 34},   {14, 40},   {18, 45},
                               {24, 54},   {30, 64},   {40, 80},   {50, 97},   {65, 122},
                               {80, 146},  {100, 178}, {120, 210}, {140, 248}, {160, 280},
                               {180, 310}, {200, 350}, {225, 385}, {250, 425}, {280, 475},
                               {315, 525}, {355, 590}, {400, 660}, {450, 740}, {500, 820}}};
constexpr Rows<21> kShaftY = {
    {{18, kNo},  {24, 63},   {30, 75},   {40, 94},   {50, 114},  {65, 144},  {80, 174},
     {100, 214}, {120, 254}, {140, 300}, {160, 340}, {180, 380}, {200, 425}, {225, 470},
     {250, 520}, {280, 580}, {315, 650}, {355, 730}, {400, 820}, {450, 920}, {500, 1000}}};
constexpr Rows<25> kShaftZ = {{{3, 26},    {6, 35},    {10, 42},    {14, 50},    {18, 60},
                               {24, 73},   {30, 88},   {40, 112},   {50, 136},   {65, 172},
                               {80, 210},  {100, 258}, {120, 310},  {140, 365},  {160, 415},
                               {180, 465}, {200, 520}, {225, 575},  {250, 640},  {280, 710},
                               {315, 790}, {355, 900}, {400, 1000}, {450, 1100}, {500, 1250}}};
constexpr Rows<25> kShaftZa = {{{3, 32},     {6, 42},     {10, 52},    {14, 64},    {18, 77},
                                {24, 98},    {30, 118},   {40, 148},   {50, 180},   {65, 226},
                                {80, 274},   {100, 335},  {120, 400},  {140, 470},  {160, 535},
                                {180, 600},  {200, 670},  {225, 740},  {250, 820},  {280, 920},
                                {315, 1000}, {355, 1150}, {400, 1300}, {450, 1450}, {500, 1600}}};
constexpr Rows<25> kShaftZb = {{{3, 40},     {6, 50},     {10, 67},    {14, 90},    {18, 108},
                                {24, 136},   {30, 160},   {40, 200},   {50, 242},   {65, 300},
                                {80, 360},   {100, 445},  {120, 525},  {140, 620},  {160, 700},
                                {180, 780},  {200, 880},  {225, 960},  {250, 1050}, {280, 1200},
                                {315, 1300}, {355, 1500}, {400, 1650}, {450, 1850}, {500, 2100}}};
constexpr Rows<25> kShaftZc = {{{3, 60},     {6, 80},     {10, 97},    {14, 130},   {18, 150},
                                {24, 188},   {30, 218},   {40, 274},   {50, 325},   {65, 405},
                                {80, 480},   {100, 585},  {120, 690},  {140, 800},  {160, 900},
                                {180, 1000}, {200, 1150}, {225, 1250}, {250, 1350}, {280, 1550},
                                {315, 1700}, {355, 1900}, {400, 2100}, {450, 2400}, {500, 2600}}};

// ISO 286-1, Table 3 (fundamental deviations of holes), upper deviation ES of J6, J7 and J8,
// micrometres.
constexpr Rows<13> kHoleJ6 = Micrometres({2, 5, 5, 6, 8, 10, 13, 16, 18, 22, 25, 29, 33});
constexpr Rows<13> kHoleJ7 = Micrometres({4, 6, 8, 10, 12, 14, 18, 22, 26, 30, 36, 39, 43});
constexpr Rows<13> kHoleJ8 = Micrometres({6, 10, 12, 15, 20, 24, 28, 34, 41, 47, 55, 60, 66});

struct NamedColumn {
  std::string_view letters;
  Column column;
};

constexpr std::array<NamedColumn, 10> kShaftUpper = {{{"a", kShaftA},
                                                      {"b", kShaftB},
                                                      {"c", kShaftC},
                                                      {"cd", kShaftCd},
                                                      {"d", kShaftD},
                                                      {"e", kShaftE},
                                                      {"ef", kShaftEf},
                                                      {"f", kShaftF},
                                                      {"fg", kShaftFg},
                                                      {"g", kShaftG}}};

constexpr std::array<NamedColumn, 15> kShaftLower = {{{"k", kShaftK},
                                                      {"m", kShaftM},
                                                      {"n", kShaftN},
                                                      {"p", kShaftP},
                                                      {"r", kShaftR},
                                                      {"s", kShaftS},
                                                      {"t", kShaftT},
                                                      {"u", kShaftU},
                                                      {"v", kShaftV},
                                                      {"x", kShaftX},
                                                      {"y", kShaftY},
                                                      {"z", kShaftZ},
                                                      {"za", kShaftZa},
                                                      {"zb", kShaftZb},
                                                      {"zc", kShaftZc}}};

template <std::size_t n>
Column Find(const std::array<NamedColumn, n>& columns, std::string_view letters) {
  for (const NamedColumn& named : columns) {
    if (named.letters == letters) return named.column;
  }
  return {};
}

}  // namespace

std::optional<std::int32_t> ValueAt(Column column, std::int32_t upper_mm) {
  for (const TableRow& row : column) {
    if (upper_mm > row.upper_mm) continue;
    if (row.value == kNotTabulated) return std::nullopt;
    return row.value;
  }
  return std::nullopt;
}

Column StandardTolerances(int grade) {
  if (grade < 1 || grade > 18) return {};
  return kStandardTolerances[static_cast<std::size_t>(grade - 1)];
}

Column Deltas(int grade) {
  if (grade < 3 || grade > 8) return {};
  return kDeltas[static_cast<std::size_t>(grade - 3)];
}

Column ShaftUpperDeviations(std::string_view letters) {
  if (letters == "h") return kShaftH;
  return Find(kShaftUpper, letters);
}

Column ShaftLowerDeviations(std::string_view letters) { return Find(kShaftLower, letters); }

Column ShaftJLowerDeviations(int grade) {
  switch (grade) {
    case 5:
    case 6: return kShaftJ56;
    case 7: return kShaftJ7;
    case 8: return kShaftJ8;
    default: return {};
  }
}

Column HoleJUpperDeviations(int grade) {
  switch (grade) {
    case 6: return kHoleJ6;
    case 7: return kHoleJ7;
    case 8: return kHoleJ8;
    default: return {};
  }
}

}  // namespace tol::iso286
