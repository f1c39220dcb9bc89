#include "data/number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfenv>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "data/decimal_scaling.h"
#include "data/errors.h"

namespace {

constexpr long double kInf = std::numeric_limits<long double>::infinity();

// Nearest extended value to a decimal text; the C library converts exactly.
long double Nearest(const std::string& text) { return std::strtold(text.c_str(), nullptr); }

long double PowerOfTen(int n) { return Nearest("1e" + std::to_string(n)); }

// Extended values compared bit for bit (sign of zero included; NaN equals NaN).
bool Same(long double a, long double b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  return a == b && std::signbit(a) == std::signbit(b);
}

std::string Show(long double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%.21Lg", v);
  return text;
}

// m := m * 10 + digit, one rounded step after the other, as the reading is defined.
long double StepwiseMantissa(const std::string& digits) {
  long double m = 0.0L;
  for (char c : digits) m = m * 10.0L + static_cast<long double>(c - '0');
  return m;
}

// The three-step scaling with factors taken from the C library instead of the built-in tables.
long double StepwiseScale(long double m, int k) {
  const int order = std::abs(k);
  const int parts[] = {order % 32, 32 * ((order / 32) % 16), 512 * (order / 512)};
  for (int i = 0; i < 3; ++i) {
    if (i > 0 && parts[i] == 0) continue;
    m = k >= 0 ? m * PowerOfTen(parts[i]) : m / PowerOfTen(parts[i]);
  }
  return m;
}

double Double(std::uint64_t bits) { return std::bit_cast<double>(bits); }

class SeparatorRestorer : public ::testing::Test {
 protected:
  void TearDown() override { tol::SetDecimalSeparator('.'); }
};

// ---------------------------------------------------------------------------------------------
// Word extraction

TEST(ExtractWordTest, SplitsAtRunsOfBlanksOnly) {
  struct Row {
    const char* text;
    std::int32_t n;
    const char* word;
    const char* probe;
  } rows[] = {
      {"  12.5   0.3 7", 1, "12.5", "leading blanks skipped"},
      {"  12.5   0.3 7", 2, "0.3", "a run of blanks is one separator"},
      {"  12.5   0.3 7", 3, "7", "last word without trailing blank"},
      {"  12.5   0.3 7", 4, "", "beyond the last word"},
      {"12.5", 2, "", "single word"},
      {"x y", 0, "x", "n = 0 gives word 1"},
      {"x y", -5, "x", "negative n gives word 1"},
      {"a\tb c", 1, "a\tb", "tab belongs to the word"},
      {"", 1, "", "empty text"},
      {"    ", 1, "", "blanks only"},
      {"1 2   ", 3, "", "trailing blanks form no word"},
      {"До 12.5", 1, "До", "multi-byte letters are word bytes"},
      {"До 12.5", 2, "12.5", "bound of an interval label"},
      {"a b", 2147483647, "", "huge n on a short text"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(tol::ExtractWord(row.text, row.n), row.word) << row.probe;
  }
}

// ---------------------------------------------------------------------------------------------
// Number parser

TEST(NumberFromTextTest, ReadsValuesAndReportsWhereReadingStopped) {
  struct Row {
    std::string text;
    std::int32_t error;
    long double value;
    const char* probe;
  } rows[] = {
      {"", 1, 0.0L, "empty text"},
      {"  ", 3, 0.0L, "blanks only: end of text"},
      {"12.5", 0, 12.5L, "plain fraction"},
      {"  -0.013", 0, -Nearest("0.013"), "leading blanks and sign"},
      {"+.5", 0, 0.5L, "no integer digits"},
      {"-.5", 0, -0.5L, "negative, no integer digits"},
      {"1e3", 0, 1000.0L, "exponent"},
      {"1E+3", 0, 1000.0L, "exponent with plus"},
      {"2.5E-2", 0, Nearest("0.025"), "negative exponent"},
      {"e5", 0, 0.0L, "no mantissa digits at all"},
      {".e5", 0, 0.0L, "point without digits before an exponent"},
      {"5.e3", 0, 5000.0L, "point without fraction digits"},
      {"0012.50", 0, 12.5L, "leading and trailing zeros"},
      {"-0", 0, -0.0L, "negative zero keeps its sign"},
      {"-e5", 0, -0.0L, "negative zero without digits"},
      {"1e0005", 0, 100000.0L, "exponent with leading zeros"},
      {"0.1", 0, Nearest("0.1"), "one rounded division"},
      {"5.", 3, 5.0L, "text ends after the point"},
      {".", 2, 0.0L, "lone point"},
      {"-", 2, 0.0L, "lone sign"},
      {"+", 2, 0.0L, "lone plus"},
      {" +", 3, 0.0L, "blank and sign"},
      {"1e", 3, 1.0L, "text ends after E"},
      {"E", 2, 0.0L, "lone E"},
      {"1e+", 4, 1.0L, "text ends after the exponent sign"},
      {"1e5x", 4, 1.0L, "character after exponent digits"},
      {"1e+x", 4, 1.0L, "no exponent digit"},
      {"1,5", 2, 1.0L, "comma is not a point here"},
      {"1.2.3", 4, 12.0L, "second point"},
      {"1.5x", 4, 15.0L, "value is the unscaled mantissa"},
      {"5.x", 3, 5.0L, "other character after the point"},
      {"..", 2, 0.0L, "two points"},
      {"12x", 3, 12.0L, "letter after digits"},
      {"5 ", 2, 5.0L, "trailing blank"},
      {"1 2", 2, 1.0L, "inner blank"},
      {"\t5", 1, 0.0L, "tab is no blank"},
      {"-x", 2, 0.0L, "letter after sign"},
      {"1E6000", 0, kInf, "scale of 5120 or more is infinite"},
      {"-1E6000", 0, -kInf, "negative infinity"},
      {"1E-6000", 0, 0.0L, "scale of -5120 or less is zero"},
      {"-1E-6000", 0, -0.0L, "negative tiny is negative zero"},
      {"1E400", 0, StepwiseScale(1.0L, 400), "beyond binary64, inside extended"},
  };
  for (const Row& row : rows) {
    const tol::NumberResult result = tol::NumberFromText(row.text);
    EXPECT_EQ(result.error, row.error) << "«" << row.text << "»: " << row.probe;
    EXPECT_TRUE(Same(result.value, row.value))
        << "«" << row.text << "»: " << row.probe << ": expected " << Show(row.value) << ", got "
        << Show(result.value);
  }
}

TEST(NumberFromTextTest, LongMantissaRoundsStepByStep) {
  const std::string rows[] = {
      "18446744073709551615",     // 2^64 - 1: the last exact integer step
      "18446744073709551616",     // 2^64
      "18446744073709551617",     // 2^64 + 1 rounds to even
      "36893488147419103235",     // 2^65 + 3
      "00000000000000000000001",  // leading zeros count as digits and stay exact
      "12345678901234567890123456789", "99999999999999999999999999999999999999",
  };
  for (const std::string& digits : rows) {
    EXPECT_TRUE(Same(tol::NumberFromText(digits).value, StepwiseMantissa(digits))) << digits;
  }
  std::mt19937_64 random(7);
  for (int i = 0; i < 20000; ++i) {
    std::string digits(1 + random() % 40, '0');
    for (char& c : digits) c = static_cast<char>('0' + random() % 10);
    const long double expected = StepwiseMantissa(digits);
    ASSERT_TRUE(Same(tol::NumberFromText(digits).value, expected)) << digits;
    // The same digits with a point: the mantissa is the same and one scaling step follows.
    const std::size_t point = random() % (digits.size() + 1);
    std::string with_point = digits;
    with_point.insert(point, ".");
    if (with_point == ".") continue;
    const auto scale = -static_cast<int>(digits.size() - point);
    ASSERT_TRUE(Same(tol::NumberFromText(with_point).value, StepwiseScale(expected, scale)))
        << with_point;
  }
}

TEST(NumberFromTextTest, OneStepScalesAreCorrectlyRounded) {
  // Up to 19 digits and |k| <= 27 take one exact-operand multiplication or division, so the
  // result is the extended value nearest to the text.
  std::mt19937_64 random(11);
  for (int i = 0; i < 50000; ++i) {
    const std::uint64_t mantissa = random() % 10000000000000000000ULL >> (random() % 64);
    const int k = static_cast<int>(random() % 55) - 27;
    const std::string text = std::to_string(mantissa) + "e" + std::to_string(k);
    ASSERT_TRUE(Same(tol::NumberFromText(text).value, Nearest(text))) << text;
  }
}

TEST(NumberFromTextTest, LargeScalesTakeThreeSteps) {
  const int scales[] = {28,   31,  32,  33,   300,  511,   512,   513,   1000,  4000, 4931,
                        4932, -28, -33, -300, -512, -4931, -4940, -4950, -5000, -5119};
  for (int k : scales) {
    for (const char* mantissa : {"1", "7", "123456789", "98765432109876543"}) {
      const std::string text = std::string(mantissa) + "e" + std::to_string(k);
      const long double expected = StepwiseScale(Nearest(mantissa), k);
      if (std::isinf(expected)) {
        EXPECT_THROW((void)tol::NumberFromText(text), tol::EOverflow) << text;
        continue;
      }
      EXPECT_TRUE(Same(tol::NumberFromText(text).value, expected))
          << text << ": expected " << Show(expected);
    }
  }
}

TEST(NumberFromTextTest, OverflowWhileReadingRaises) {
  const std::string ones = "1" + std::string(4932, '0');  // 10^4932, just inside the range
  const std::string too_long = "1" + std::string(4933, '0');
  struct Row {
    std::string text;
    bool raises;
    long double value;
    const char* probe;
  } rows[] = {
      {"1e5119", true, 0, "largest finite scale overflows"},
      {"10e5119", true, 0, "scale 5119 with larger mantissa"},
      {"0.0001e5120", true, 0, "fraction digits bring the scale below 5120"},
      {"1E4933", true, 0, "just beyond the extended range"},
      {too_long, true, 0, "mantissa alone overflows"},
      {too_long + "e-5000", true, 0, "mantissa overflows before the exponent is read"},
      {too_long + "x", true, 0, "overflow is raised even before a later error"},
      {"1E4932", false, StepwiseScale(1.0L, 4932), "just inside the extended range"},
      {ones, false, StepwiseMantissa(ones), "4933-digit mantissa"},
      {ones + "e-4932", false, StepwiseScale(StepwiseMantissa(ones), -4932), "scaled back"},
      {"1e5120", false, kInf, "scale 5120: infinity, no error"},
      {"0e5120", false, kInf, "scale 5120 is infinite even for zero"},
      {"0e5119", false, 0.0L, "zero times a huge factor"},
      {"1e99999999999999999999", false, kInf, "exponent beyond 64 bits"},
      {"1e-99999999999999999999", false, 0.0L, "negative exponent beyond 64 bits"},
      {"1e-5119", false, 0.0L, "underflow is silent"},
      {"1e-5120", false, 0.0L, "scale -5120"},
      {"1e-4940", false, StepwiseScale(1.0L, -4940), "subnormal extended value"},
  };
  for (const Row& row : rows) {
    const std::string shown = row.text.substr(0, 24);
    if (row.raises) {
      EXPECT_THROW((void)tol::NumberFromText(row.text), tol::EOverflow)
          << shown << ": " << row.probe;
      continue;
    }
    const tol::NumberResult result = tol::NumberFromText(row.text);
    EXPECT_EQ(result.error, 0) << shown << ": " << row.probe;
    EXPECT_TRUE(Same(result.value, row.value)) << shown << ": " << row.probe;
  }
  try {
    (void)tol::NumberFromText("1e5119");
  } catch (const tol::EOverflow& e) {
    EXPECT_EQ(e.Message(), "Floating point overflow");
  }
}

// The quiet reading of a label's word, with its short-word path, gives what the full reading of
// the word with its commas made points gives, narrowed to binary64; nothing where that fails.
TEST(QuietWordValueTest, AgreesWithTheFullReading) {
  const auto reference = [](std::string_view text) -> std::optional<double> {
    std::string word = tol::ExtractWord(text, 2);
    for (char& c : word) c = c == ',' ? '.' : c;
    try {
      const tol::NumberResult read = tol::NumberFromText(word);
      if (read.error != 0) return std::nullopt;
      return static_cast<double>(read.value);
    } catch (const tol::Exception&) {
      return std::nullopt;
    }
  };
  std::vector<std::string> words = {"30",     "2,5",    "0.002877", "-0,00001", "+7", "1e5119",
                                    "1e400",  "1,5.3",  "12345678", "1.",       ",5", "",
                                    "0.0045", "99,999", "1E-3",     "x",        "1 2"};
  std::mt19937_64 random(7);
  for (int i = 0; i < 20000; ++i) {
    const std::uint64_t digits = random() % 100'000'000;
    std::string word = std::to_string(digits);
    const std::size_t point = random() % (word.size() + 1);
    if (point < word.size()) word.insert(point, random() % 2 == 0 ? "." : ",");
    words.push_back((random() % 4 == 0 ? "-" : "") + word);
  }
  for (const std::string& word : words) {
    const std::string label = "До " + word;
    const std::optional<double> expected = reference(label);
    const std::optional<double> quiet = tol::QuietWordValue(label, 2);
    ASSERT_EQ(quiet.has_value(), expected.has_value()) << label;
    if (expected) {
      ASSERT_TRUE(Same(*quiet, *expected)) << label;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Power-of-ten factors

TEST(DecimalScalingTest, FactorsAreTheNearestExtendedValues) {
  for (int r = 0; r < 32; ++r) EXPECT_TRUE(Same(tol::kPowersOfTenLow[r], PowerOfTen(r))) << r;
  for (int j = 0; j < 16; ++j) EXPECT_TRUE(Same(tol::kPowersOfTenMid[j], PowerOfTen(32 * j))) << j;
  for (int h = 0; h < 10; ++h) {
    EXPECT_TRUE(Same(tol::kPowersOfTenHigh[h], PowerOfTen(512 * h))) << h;
  }
  const int saved = std::fegetround();
  for (int n = -31; n <= 31; ++n) {
    const tol::NearPowerOfTen& near = tol::kNearPowersOfTen[n + 31];
    EXPECT_TRUE(Same(near.value, PowerOfTen(n))) << n;
    std::fesetround(FE_DOWNWARD);
    const long double below = PowerOfTen(n);
    std::fesetround(FE_UPWARD);
    const long double above = PowerOfTen(n);
    std::fesetround(saved);
    EXPECT_EQ(near.below, below != above && near.value == below) << n;
  }
  for (int n = 0; n <= 27; ++n) EXPECT_FALSE(tol::kNearPowersOfTen[n + 31].below) << n;
}

// ---------------------------------------------------------------------------------------------
// Rounding to binary64

TEST(ToBinary64Test, RoundsToNearestEvenAndRaisesBeyondTheRange) {
  const long double max = DBL_MAX;
  const long double half_ulp = std::ldexp(1.0L, 970);  // half the binary64 spacing at the top
  const long double ulp64 = std::ldexp(1.0L, 960);     // extended spacing there
  const long double tiny = std::ldexp(1.0L, -1074);    // smallest binary64 subnormal
  struct Row {
    long double input;
    bool raises;
    double expected;
    const char* probe;
  } rows[] = {
      {max, false, DBL_MAX, "largest binary64"},
      {max + half_ulp - ulp64, false, DBL_MAX, "just below the rounding midpoint"},
      {max + half_ulp, true, 0, "midpoint rounds to even, which is infinity"},
      {-(max + half_ulp), true, 0, "negative overflow"},
      {1e400L, true, 0, "far beyond"},
      {kInf, false, HUGE_VAL, "infinity passes"},
      {-kInf, false, -HUGE_VAL, "minus infinity passes"},
      {1.0L + std::ldexp(1.0L, -53), false, 1.0, "tie to even, down"},
      {1.0L + 3 * std::ldexp(1.0L, -53), false, 1.0 + std::ldexp(1.0, -51), "tie to even, up"},
      {1.5L * tiny, false, 2 * std::ldexp(1.0, -1074), "subnormal tie to even"},
      {0.5L * tiny, false, 0.0, "underflow to zero is silent"},
      {-1e-400L, false, -0.0, "negative underflow keeps the sign"},
      {Nearest("0.1"), false, 0.1, "ordinary rounding"},
  };
  for (const Row& row : rows) {
    if (row.raises) {
      EXPECT_THROW((void)tol::ToBinary64(row.input), tol::EOverflow) << row.probe;
      continue;
    }
    const double result = tol::ToBinary64(row.input);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(result), std::bit_cast<std::uint64_t>(row.expected))
        << row.probe;
  }
  EXPECT_TRUE(std::isnan(tol::ToBinary64(std::numeric_limits<long double>::quiet_NaN())));
}

// ---------------------------------------------------------------------------------------------
// Decimal exponent and 18-digit form against the C library's exact decimal conversion

// The digits of a printed "d.ddde±x" up to its "e".
std::string Digits(const char* text, const char* e) {
  return std::string(1, text[0]) + std::string(text + 2, static_cast<std::size_t>(e - text - 2));
}

// Sixty significant digits and the exponent E with |value| = 0.digits * 10^E.
struct Expansion {
  std::string digits;
  int exponent;
};

Expansion Expand(long double v) {
  char text[128];
  std::snprintf(text, sizeof text, "%.59Le", std::fabs(v));
  const char* const e = std::strchr(text, 'e');
  return {Digits(text, e), std::atoi(e + 1) + 1};
}

TEST(DecimalScalingTest, DecimalExponentIsExactNextToEveryPowerOfTen) {
  for (int n = -4950; n <= 4932; ++n) {
    const long double power = PowerOfTen(n);
    for (long double v : {std::nextafter(power, 0.0L), power, std::nextafter(power, kInf)}) {
      if (v == 0.0L || std::isinf(v)) continue;
      ASSERT_EQ(tol::DecimalExponent(v), Expand(v).exponent) << Show(v) << " near 1e" << n;
    }
  }
  const long double extremes[] = {
      LDBL_MAX, LDBL_MIN,     LDBL_TRUE_MIN, DBL_MAX,
      DBL_MIN,  DBL_TRUE_MIN, 1.0L,          std::nextafter(1.0L, 0.0L)};
  for (long double v : extremes) EXPECT_EQ(tol::DecimalExponent(v), Expand(v).exponent) << Show(v);
}

// A random positive extended value: any significand, exponent spread over the whole range,
// subnormals included.
long double RandomExtended(std::mt19937_64& random) {
  // significand * 2^exponent stays below 2^(64 + 16319) = 2^16383 and is at least 2^-16445.
  const int exponent = static_cast<int>(random() % (16319 + 16445 + 1)) - 16445;
  const std::uint64_t significand = random() | 1;
  return std::ldexp(static_cast<long double>(significand), exponent);
}

// A random positive binary64 value from random bits.
double RandomDouble(std::mt19937_64& random) {
  double d = 0;
  do d = std::fabs(Double(random()));
  while (!std::isfinite(d) || d == 0);
  return d;
}

void ExpectEighteenDigitsMatchExactRounding(long double v) {
  const Expansion exact = Expand(v);
  const tol::EighteenDigits form = tol::EighteenDigitForm(v);
  ASSERT_GE(form.digits, 100000000000000000ULL) << Show(v);
  ASSERT_LT(form.digits, 1000000000000000000ULL) << Show(v);
  // The scaling may be off by a fraction of a unit in the 18th digit, so only values whose
  // dropped digits are clearly away from one half are compared.
  const double dropped = std::strtod(("0." + exact.digits.substr(18, 15)).c_str(), nullptr);
  if (std::fabs(dropped - 0.5) < 0.3) return;
  std::uint64_t expected = std::stoull(exact.digits.substr(0, 18)) + (dropped > 0.5 ? 1 : 0);
  int exponent = exact.exponent;
  if (expected == 1000000000000000000ULL) {
    expected /= 10;
    ++exponent;
  }
  ASSERT_EQ(form.digits, expected) << Show(v);
  ASSERT_EQ(form.exponent, exponent) << Show(v);
}

TEST(DecimalScalingTest, EighteenDigitFormAgreesWithExactDecimalExpansion) {
  std::mt19937_64 random(3);
  for (int i = 0; i < 100000; ++i) {
    ExpectEighteenDigitsMatchExactRounding(RandomExtended(random));
    ExpectEighteenDigitsMatchExactRounding(RandomDouble(random));
  }
  for (long double v : {LDBL_MAX, LDBL_MIN, LDBL_TRUE_MIN, 1.0L / 3, 0.1L}) {
    ExpectEighteenDigitsMatchExactRounding(v);
  }
}

TEST(DecimalScalingTest, EighteenDigitFormFollowsOneRoundedStepExactly) {
  // For 10^-9 <= v < 10^45 the scale 18 - E lies in -27..27: one correctly rounded operation,
  // reproduced here by converting the exact decimal digits of v times 10^(18-E).
  std::mt19937_64 random(5);
  for (int i = 0; i < 50000; ++i) {
    const double v = std::ldexp(1.0 + static_cast<double>(random() % (1ULL << 52)) / 0x1p52,
                                static_cast<int>(random() % 178) - 29);  // 2^-29..2^149
    char text[256];
    std::snprintf(text, sizeof text, "%.200Le", static_cast<long double>(v));
    char* e = std::strchr(text, 'e');
    const int exponent = std::atoi(e + 1) + 1;
    std::snprintf(e, 16, "e%d", exponent - 1 + 18 - exponent);
    long double scaled = std::rint(std::strtold(text, nullptr));
    int expected_exponent = exponent;
    if (scaled >= 1e18L) {
      scaled = std::rint(scaled / 10);
      ++expected_exponent;
    }
    const tol::EighteenDigits form = tol::EighteenDigitForm(v);
    ASSERT_EQ(form.digits, static_cast<std::uint64_t>(scaled)) << Show(v);
    ASSERT_EQ(form.exponent, expected_exponent) << Show(v);
  }
}

// ---------------------------------------------------------------------------------------------
// General real form

struct TextRow {
  long double value;
  const char* point;  // with "." as the separator
  const char* comma;  // with ","; nullptr when no separator appears
  const char* probe;
};

void ExpectTexts(const TextRow* begin, const TextRow* end, std::string (*form)(long double)) {
  for (const TextRow* row = begin; row != end; ++row) {
    tol::SetDecimalSeparator('.');
    EXPECT_EQ(form(row->value), row->point) << Show(row->value) << ": " << row->probe;
    tol::SetDecimalSeparator(',');
    EXPECT_EQ(form(row->value), row->comma ? row->comma : row->point)
        << Show(row->value) << ": " << row->probe;
  }
  tol::SetDecimalSeparator('.');
}

TEST(SeparatorTest, PointIsTheInitialSeparator) { EXPECT_EQ(tol::DecimalSeparator(), '.'); }

using GeneralRealTextTest = SeparatorRestorer;

TEST_F(GeneralRealTextTest, FifteenDigitsFixedOrWithExponent) {
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  const TextRow rows[] = {
      {10, "10", nullptr, "integer"},
      {100, "100", nullptr, "trailing zeros of an integer"},
      {1.5, "1.5", "1,5", "fraction"},
      {-2.5, "-2.5", "-2,5", "negative"},
      {0.0L, "0", nullptr, "zero"},
      {-0.0L, "0", nullptr, "negative zero"},
      {0.001, "0.001", "0,001", "small fraction"},
      {0.0001, "0.0001", "0,0001", "smallest fixed"},
      {-0.0001, "-0.0001", "-0,0001", "smallest fixed, negative"},
      {std::nextafter(0.0001, 0.0), "0.0001", "0,0001", "rounds up into the fixed range"},
      {9.9999999999999e-5, "9.9999999999999E-5", "9,9999999999999E-5", "just below 1E-4"},
      {0.00001, "1E-5", nullptr, "exponent form below 1E-4"},
      {1.5e-7, "1.5E-7", "1,5E-7", "negative exponent with fraction"},
      {1.23e-10, "1.23E-10", "1,23E-10", "two-digit exponent"},
      {999999999999999.0, "999999999999999", nullptr, "largest fixed integer"},
      {999999999999999.375, "999999999999999", nullptr, "16th digit 3 is dropped"},
      {999999999999999.5, "1E15", nullptr, "16th digit 5 carries into 1E15"},
      {123456789012345.6, "123456789012346", nullptr, "rounded to 15 digits"},
      {1e15, "1E15", nullptr, "exponent form from 1E15"},
      {1e15 + 2, "1E15", nullptr, "15 digits drop the 2"},
      {1234567890123456.0, "1.23456789012346E15", "1,23456789012346E15", "rounded mantissa"},
      {1e100, "1E100", nullptr, "large"},
      {1.0 / 3, "0.333333333333333", "0,333333333333333", "1/3"},
      {2.0 / 3, "0.666666666666667", "0,666666666666667", "2/3 rounds up"},
      {0.1 + 0.2, "0.3", "0,3", "binary64 noise vanishes at 15 digits"},
      {DBL_MAX, "1.79769313486232E308", "1,79769313486232E308", "largest binary64"},
      {-DBL_MAX, "-1.79769313486232E308", "-1,79769313486232E308", "most negative binary64"},
      {DBL_MIN, "2.2250738585072E-308", "2,2250738585072E-308", "smallest normal binary64"},
      {DBL_TRUE_MIN, "4.94065645841247E-324", "4,94065645841247E-324", "smallest subnormal"},
      {LDBL_MAX, "1.18973149535723E4932", "1,18973149535723E4932", "largest extended"},
      {LDBL_MIN, "3.36210314311209E-4932", "3,36210314311209E-4932", "smallest normal ext."},
      {LDBL_TRUE_MIN, "3.64519953188247E-4951", "3,64519953188247E-4951", "smallest extended"},
      {kInf, "INF", nullptr, "infinity"},
      {-kInf, "INF", nullptr, "minus infinity has no sign"},
      {nan, "NAN", nullptr, "NaN"},
      {-nan, "NAN", nullptr, "negative NaN has no sign"},
  };
  ExpectTexts(std::begin(rows), std::end(rows), tol::GeneralRealText);
}

// The general form built from the exact 15-digit rounding of the C library.
std::string ExpectedGeneral(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%.14e", std::fabs(v));
  const char* const e = std::strchr(text, 'e');
  std::string digits = Digits(text, e);
  const int exponent = std::atoi(e + 1) + 1;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  const auto count = static_cast<int>(digits.size());
  std::string out = v < 0 ? "-" : "";
  if (exponent > 15 || exponent < -3) {
    out += digits.substr(0, 1);
    if (count > 1) out += "." + digits.substr(1);
    return out + "E" + std::to_string(exponent - 1);
  }
  if (exponent <= 0) return out + "0." + std::string(-exponent, '0') + digits;
  if (count <= exponent) return out + digits + std::string(exponent - count, '0');
  return out + digits.substr(0, exponent) + "." + digits.substr(exponent);
}

TEST_F(GeneralRealTextTest, AgreesWithExactRoundingAwayFromTies) {
  std::mt19937_64 random(13);
  for (int i = 0; i < 100000; ++i) {
    const double v = (random() % 2 ? -1 : 1) * RandomDouble(random);
    const Expansion exact = Expand(v);
    const double dropped = std::strtod(("0." + exact.digits.substr(15, 15)).c_str(), nullptr);
    if (std::fabs(dropped - 0.5) < 0.002) continue;
    ASSERT_EQ(tol::GeneralRealText(v), ExpectedGeneral(v)) << Show(v);
  }
}

// ---------------------------------------------------------------------------------------------
// Cell form

using CellNumberTextTest = SeparatorRestorer;

TEST_F(CellNumberTextTest, AtMostThreeDecimalsHalfAwayFromZero) {
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  const TextRow rows[] = {
      {0.0L, "0", nullptr, "zero takes the third section"},
      {-0.0L, "0", nullptr, "negative zero rounds to zero"},
      {12, "12", nullptr, "integer"},
      {100, "100", nullptr, "integer with zeros"},
      {1e10, "10000000000", nullptr, "zeros fill the integer part"},
      {12.5, "12.5", "12,5", "one decimal"},
      {0.5, "0.5", "0,5", "below one"},
      {0.05, "0.05", "0,05", "leading zero decimal"},
      {0.0125, "0.013", "0,013", "third decimal rounds up"},
      {-0.0125, "-0.013", "-0,013", "negative rounds away from zero"},
      {0.0625, "0.063", "0,063", "exact tie rounds away, not to even"},
      {-0.0625, "-0.063", "-0,063", "negative exact tie"},
      {2.0625, "2.063", "2,063", "exact tie above one"},
      {0.0005, "0.001", "0,001", "binary64 0.0005 lies just above"},
      {-0.0005, "-0.001", "-0,001", "negative of it"},
      {std::nextafter(0.0005, 0.0), "0", nullptr, "just below 0.0005"},
      {0.0004, "0", nullptr, "rounds to zero"},
      {-0.0004, "0", nullptr, "negative rounds to zero without sign"},
      {0.00049, "0", nullptr, "below half"},
      {1e-5, "0", nullptr, "too small for three decimals"},
      {DBL_MIN, "0", nullptr, "smallest normal binary64"},
      {-DBL_TRUE_MIN, "0", nullptr, "smallest subnormal, negative"},
      {0.0015, "0.002", "0,002", "binary64 lies above the tie"},
      {1.2345, "1.234", "1,234", "binary64 lies just below"},
      {1.0005, "1", nullptr, "binary64 lies just below"},
      {0.9995, "1", nullptr, "carry into the integer part"},
      {-0.9995, "-1", nullptr, "negative carry"},
      {999.9995, "1000", nullptr, "binary64 lies just above: carry to four digits"},
      {std::nextafter(999.9995, 0.0), "999.999", "999,999", "just below"},
      {1.0 / 3, "0.333", "0,333", "1/3"},
      {-2.0 / 3, "-0.667", "-0,667", "-2/3"},
      {1234567.891, "1234567.891", "1234567,891", "seven integer digits"},
      {999999999999999.875, "999999999999999.875", "999999999999999,875", "18 digits"},
      {1e15 + 0.5, "1000000000000000.5", "1000000000000000,5", "only 18 digits are kept"},
      {1234567890123456.75, "1234567890123456.75", "1234567890123456,75", "two decimals fit"},
      {1e17 + 16, "100000000000000016", nullptr, "18 integer digits"},
      {999999999999999872.0, "999999999999999872", nullptr, "largest binary64 below 1E18"},
      {9.999e17, "999900000000000000", nullptr, "E = 18"},
      {1e18, "1E18", nullptr, "general form from 1E18"},
      {-1e18, "-1E18", nullptr, "negative general form"},
      {1.5e20, "1.5E20", "1,5E20", "general form with fraction"},
      {DBL_MAX, "1.79769313486232E308", "1,79769313486232E308", "largest binary64"},
      {LDBL_MAX, "1.18973149535723E4932", "1,18973149535723E4932", "largest extended"},
      {kInf, "INF", nullptr, "infinity"},
      {-kInf, "INF", nullptr, "minus infinity"},
      {nan, "NAN", nullptr, "NaN"},
  };
  ExpectTexts(std::begin(rows), std::end(rows), tol::CellNumberText);
}

// The three-decimal fixed form of |v| from its exact expansion, trailing zeros dropped, and how
// far the dropped part lies from one half.
struct ExactCellForm {
  std::string text;
  double distance_from_half;
};
ExactCellForm ExactThreeDecimals(double v) {
  char exact[400];
  std::snprintf(exact, sizeof exact, "%.40f", std::fabs(v));
  const char* point = std::strchr(exact, '.');
  const double dropped = std::strtod(("0." + std::string(point + 4, 15)).c_str(), nullptr);
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, 3);
  std::string expected(text, result.ptr);
  while (expected.back() == '0') expected.pop_back();
  if (expected.back() == '.') expected.pop_back();
  if (expected == "-0") expected = "0";
  return {expected, std::fabs(dropped - 0.5)};
}

TEST_F(CellNumberTextTest, AgreesWithThreeDecimalFixedFormAwayFromTies) {
  // Below 10^12 the 18-digit form keeps at least six decimals, so the cut at three decimals
  // rounds like an exact fixed-point conversion unless the dropped part is within 10^-3 of one
  // half (where rounding at the 18th digit may cross it, or an exact tie goes to even).
  std::mt19937_64 random(17);
  for (int i = 0; i < 200000; ++i) {
    const double magnitude = std::ldexp(static_cast<double>(random() >> 11), -53);
    const double scale = std::pow(10.0, static_cast<int>(random() % 16) - 4);
    const double v = (random() % 2 ? -1 : 1) * magnitude * scale;
    const ExactCellForm exact = ExactThreeDecimals(v);
    if (exact.distance_from_half < 1e-3) continue;
    ASSERT_EQ(tol::CellNumberText(v), exact.text) << Show(v);
  }
}

TEST_F(CellNumberTextTest, AgreesWithThreeDecimalFixedFormCloseToTies) {
  // Below 10^9 the 18-digit form keeps at least nine decimals: only parts within 10^-5 of one
  // half may round otherwise. Values a few thousandths of a step either side of a tie test the
  // quick decision from v * 1000 where it ends and the exact one takes over.
  std::mt19937_64 random(29);
  for (int i = 0; i < 200000; ++i) {
    const auto steps = static_cast<double>(random() % 1'000'000'000'000);
    const double offset = (static_cast<double>(random() % 6001) - 3000.0) * 1e-6;
    const double v = (steps + 0.5 + offset) / std::pow(10.0, 3 + static_cast<int>(random() % 7));
    const ExactCellForm exact = ExactThreeDecimals(v);
    if (exact.distance_from_half < 1e-5) continue;
    ASSERT_EQ(tol::CellNumberText(v), exact.text) << Show(v);
  }
}

// ---------------------------------------------------------------------------------------------
// Cell texts and interval labels from file values

using FileValueTextTest = SeparatorRestorer;

TEST_F(FileValueTextTest, CellTextJoinsBothFormsWithOneBlank) {
  struct Row {
    double first;
    double second;
    const char* text;
  } rows[] = {
      {0.018, 0, "0.018 0"},
      {-0.0125, 12.5, "-0.013 12.5"},
      {1e18, -0.0, "1E18 0"},
      {HUGE_VAL, -HUGE_VAL, "INF INF"},
      {Double(0x7FF8000000000000), Double(0xFFF8000000000001), "NAN NAN"},
  };
  for (const Row& row : rows) EXPECT_EQ(tol::CellText(row.first, row.second), row.text);
  tol::SetDecimalSeparator(',');
  EXPECT_EQ(tol::CellText(0.5, -1.25), "0,5 -1,25");
}

TEST_F(FileValueTextTest, IntervalLabelIsBoundInGeneralForm) {
  EXPECT_EQ(tol::IntervalLabel(10), "До 10");
  EXPECT_EQ(tol::IntervalLabel(0.0001), "До 0.0001");
  EXPECT_EQ(tol::IntervalLabel(1e15), "До 1E15");
  EXPECT_EQ(tol::IntervalLabel(-HUGE_VAL), "До INF");
  EXPECT_EQ(tol::IntervalLabel(Double(0x7FF8000000000000)), "До NAN");
  EXPECT_EQ(tol::ExtractWord(tol::IntervalLabel(123.456), 2), "123.456");
  tol::SetDecimalSeparator(',');
  EXPECT_EQ(tol::IntervalLabel(1.5), "До 1,5");
}

TEST(SignallingNaNTest, RaisesInvalidOperationBeforeWidening) {
  const double signalling[] = {
      Double(0x7FF0000000000001),  // smallest fraction
      Double(0x7FF7FFFFFFFFFFFF),  // every fraction bit but the quiet bit
      Double(0xFFF4000000000000),  // negative
  };
  for (double v : signalling) {
    EXPECT_THROW((void)tol::IntervalLabel(v), tol::EInvalidOp);
    EXPECT_THROW((void)tol::CellText(v, 0), tol::EInvalidOp);
    EXPECT_THROW((void)tol::CellText(0, v), tol::EInvalidOp);
  }
  try {
    (void)tol::IntervalLabel(signalling[0]);
  } catch (const tol::EInvalidOp& e) {
    EXPECT_EQ(e.Message(), "Invalid floating point operation");
  }
  // Quiet NaNs and infinities (exponent all ones, quiet bit set or fraction zero) pass.
  EXPECT_NO_THROW((void)tol::CellText(Double(0x7FF8000000000000), Double(0x7FF0000000000000)));
}

// ---------------------------------------------------------------------------------------------
// Acceptance of value cell texts

TEST(ParseCellTextTest, AcceptsTwoNumbersWithPointOrComma) {
  struct Row {
    std::string text;
    bool accepted;
    long double first;
    long double second;
    const char* probe;
  } rows[] = {
      {"0,018 0", true, Nearest("0.018"), 0, "comma as the point"},
      {"-,5 +1e-3", true, -0.5L, Nearest("0.001"), "signs and exponent"},
      {"  1   2  ", true, 1, 2, "surrounding blanks"},
      {"1 2 3", true, 1, 2, "third word ignored"},
      {"1 2 x,y", true, 1, 2, "garbage after the second word ignored"},
      {"1E6000 0", true, kInf, 0, "infinite scale accepted"},
      {"12.5", false, 12.5L, 0, "one word: word 2 is empty"},
      {"", false, 0, 0, "empty text"},
      {"1;2", false, 1, 0, "semicolon"},
      {"5. 3", false, 5, 3, "text ends after the point"},
      {"1,2,3 4", false, 12, 4, "two commas"},
      {"1\t2", false, 1, 0, "tab is no separator"},
      {"INF 0", false, 0, 0, "shown infinity is refused"},
      {"NAN 0", false, 0, 0, "shown NaN is refused"},
  };
  for (const Row& row : rows) {
    const tol::CellParse parse = tol::ParseCellText(row.text, false);
    EXPECT_EQ(parse.accepted, row.accepted) << "«" << row.text << "»: " << row.probe;
    EXPECT_TRUE(Same(parse.first, row.first)) << "«" << row.text << "»: " << Show(parse.first);
    EXPECT_TRUE(Same(parse.second, row.second)) << "«" << row.text << "»: " << Show(parse.second);
  }
}

TEST(ParseCellTextTest, ConversionRoundsBothWordsAndRaisesBeyondBinary64) {
  const tol::CellParse parse = tol::ParseCellText("0.1 -2,5", true);
  EXPECT_TRUE(parse.accepted);
  EXPECT_TRUE(Same(parse.first, 0.1));  // rounded to binary64, unlike the extended 0.1
  EXPECT_FALSE(Same(parse.first, Nearest("0.1")));
  EXPECT_TRUE(Same(parse.second, -2.5));

  const std::string huge = "1" + std::string(400, '0');
  EXPECT_TRUE(tol::ParseCellText(huge + " 0", false).accepted);  // checked, not converted
  const std::string raising[] = {
      huge + " 0",        // accepted word beyond binary64
      "0 1e400",          // second word
      huge + "x 0",       // refused word whose digits alone overflow
      "1 " + huge + "x",  // refused second word
  };
  for (const std::string& text : raising) {
    EXPECT_THROW((void)tol::ParseCellText(text, true), tol::EOverflow) << text.substr(0, 8);
  }
  const tol::CellParse infinite = tol::ParseCellText("1E6000 0", true);
  EXPECT_TRUE(infinite.accepted);
  EXPECT_TRUE(Same(infinite.first, kInf));
}

TEST(ParseCellTextTest, ShownCellTextsReadBack) {
  // What the cell form writes, with either separator, is accepted and reads back as the value
  // rounded to three decimals, or to 15 digits from 1E18 on.
  std::mt19937_64 random(19);
  std::uniform_real_distribution<double> table_values(-1000, 1000);
  for (int i = 0; i < 20000; ++i) {
    const double values[] = {table_values(random), (random() % 2 ? -1 : 1) * RandomDouble(random)};
    for (char separator : {'.', ','}) {
      tol::SetDecimalSeparator(separator);
      const std::string text = tol::CellText(values[0], values[1]);
      const tol::CellParse parse = tol::ParseCellText(text, true);
      ASSERT_TRUE(parse.accepted) << text;
      const long double read[] = {parse.first, parse.second};
      for (int k = 0; k < 2; ++k) {
        const double v = values[k];
        // Three decimals, or 15 digits from 1E18 on; plus the binary64 rounding of the result.
        const double tolerance =
            (std::fabs(v) >= 1e18 ? std::fabs(v) * 5e-15 : 0.0005) + std::fabs(v) * 0x1p-52;
        ASSERT_LE(std::fabs(static_cast<double>(read[k]) - v), tolerance) << text;
      }
    }
  }
  tol::SetDecimalSeparator('.');
}

}  // namespace
