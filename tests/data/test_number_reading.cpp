// The number parser against a plain step-by-step reading written out here: every word shape
// that the parser's loop-free short path and eight-digit runs take (and the shapes next to
// them, which must fall back) has to give the same value, bit for bit, and the same error code.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "data/errors.h"
#include "data/number_text.h"

namespace {

struct Reading {
  long double value;
  int error;
  bool overflow = false;  // a finite scale took the value beyond the extended range
};

long double PowerOfTen(int n) { return std::strtold(("1e" + std::to_string(n)).c_str(), nullptr); }

// m scaled by 10^k in the three rounded steps, with factors from the C library.
long double Scale(long double m, long long k) {
  if (k >= 5120) return HUGE_VALL;
  if (k <= -5120) return 0.0L;
  const int order = static_cast<int>(std::llabs(k));
  const int parts[] = {order % 32, 32 * ((order / 32) % 16), 512 * (order / 512)};
  for (int i = 0; i < 3; ++i) {
    if (i > 0 && parts[i] == 0) continue;
    m = k >= 0 ? m * PowerOfTen(parts[i]) : m / PowerOfTen(parts[i]);
  }
  return m;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The reading character by character; the words below stay far from the extended range.
Reading ReadStepByStep(const std::string& text) {
  if (text.empty()) return {0.0L, 1};
  std::size_t i = 0;
  long double m = 0.0L;
  long long k = 0;
  const auto stop = [&] { return Reading{m, static_cast<int>(i + 1)}; };
  while (i < text.size() && text[i] == ' ') ++i;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  if (i == text.size()) return stop();
  for (; i < text.size() && IsDigit(text[i]); ++i) m = m * 10.0L + (text[i] - '0');
  if (i < text.size() && text[i] == '.') {
    if (++i == text.size()) return stop();
    for (; i < text.size() && IsDigit(text[i]); ++i, --k) m = m * 10.0L + (text[i] - '0');
  }
  if (i < text.size()) {
    if (text[i] != 'e' && text[i] != 'E') return stop();
    ++i;
    const bool exponent_negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    if (i == text.size() || !IsDigit(text[i])) return stop();
    long long x = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i)
      x = std::min(x * 10 + (text[i] - '0'), 100000LL);
    if (i < text.size()) return stop();
    k += exponent_negative ? -x : x;
  }
  const long double value = Scale(m, k);
  return {negative ? -value : value, 0, std::isinf(value) && k < 5120};
}

// Bit for bit, the sign of zero included.
bool Same(long double a, long double b) { return std::memcmp(&a, &b, 10) == 0; }

void ExpectReadLikeStepByStep(const std::string& word) {
  const Reading expected = ReadStepByStep(word);
  if (expected.overflow) {
    EXPECT_THROW((void)tol::NumberFromText(word), tol::EOverflow) << "word «" << word << "»";
    return;
  }
  const tol::NumberResult actual = tol::NumberFromText(word);
  EXPECT_EQ(actual.error, expected.error) << "word «" << word << "»";
  EXPECT_TRUE(Same(actual.value, expected.value))
      << "word «" << word << "»: expected " << static_cast<double>(expected.value) << ", got "
      << static_cast<double>(actual.value);
}

TEST(NumberReadingTest, ShortAndEightDigitShapesReadAsStepByStep) {
  // clang-format off: a table laid out by hand
  const std::vector<std::string> words = {"0",
                                          "7",
                                          "-0",
                                          "+0",
                                          "-7",
                                          "12",
                                          "0.5",
                                          ".5",
                                          "-.5",
                                          "5.",
                                          ".",
                                          "-",
                                          "+",
                                          "-.",
                                          "0.018",
                                          "-0.006",
                                          "0,018",
                                          "1.2.3",
                                          "12x",
                                          "1e3",
                                          "1.5e-7",
                                          "5 ",
                                          " 5",
                                          "\t5",
                                          "1234567",
                                          "1234567.",
                                          "12345678",
                                          "1234567.8",
                                          ".1234567",
                                          ".12345678",
                                          "0000000.1",
                                          "123456789",
                                          "12345678.9",
                                          "99999999",
                                          "9999999.9",
                                          "-99999999",
                                          "+12345678",
                                          "1234567812345678",
                                          "12345678.12345678",
                                          "9999999999999999999",
                                          "18446744073709551615",
                                          "99999999999999999999",
                                          "0.00000000000000000001",
                                          "1e31",
                                          "1e32",
                                          "1e-31",
                                          "1e-32",
                                          "1.5E+0012",
                                          "1e00001",
                                          "12345678e1",
                                          "1234.5678E-3",
                                          "\xD0\x94\xD0\xBE",
                                          "1\xD0\x94",
                                          "12.\xD0\x94",
                                          "1.2e",
                                          "1.2e+",
                                          "00000000.00000000"};
  // clang-format on
  for (const std::string& word : words) ExpectReadLikeStepByStep(word);
}

// Words of a sign, digit runs around eight long, a point or a comma and an exponent, mixed
// with words of random characters from the same alphabet.
TEST(NumberReadingTest, GeneratedWordsReadAsStepByStep) {
  std::mt19937_64 random(7);
  const std::string alphabet = "0123456789012345678901234567890123456789..,-+eE x\xD0";
  const auto digits = [&](int count) {
    std::string run;
    for (int i = 0; i < count; ++i) run += static_cast<char>('0' + random() % 10);
    return run;
  };
  for (int n = 0; n < 200000; ++n) {
    std::string word;
    if (n % 2 == 0) {
      const auto length = random() % 14;
      for (std::size_t i = 0; i < length; ++i) word += alphabet[random() % alphabet.size()];
    } else {
      word = std::string(random() % 5 == 0 ? "-" : random() % 5 == 0 ? "+" : "");
      word += digits(static_cast<int>(random() % 11));
      if (random() % 3 != 0) word.append(".").append(digits(static_cast<int>(random() % 11)));
      if (random() % 5 == 0) {
        word.append(random() % 2 ? "e-" : "e").append(digits(static_cast<int>(1 + random() % 2)));
      }
    }
    ExpectReadLikeStepByStep(word);
    if (HasFailure()) return;
  }
}

// The cell check reads a comma as the point in both words, and the fast path with it.
TEST(NumberReadingTest, CellWordsWithCommasReadAsStepByStep) {
  const std::vector<std::string> cells = {"0,018 -0,006", "1,5 2.5", "12345678,9 ,5", "1, 2",
                                          ",5 -,25",      "1,2,3 4", "0,1234567 7"};
  for (const std::string& cell : cells) {
    std::string points = cell;
    for (char& c : points) c = c == ',' ? '.' : c;
    const std::size_t blank = points.find(' ');
    const Reading first = ReadStepByStep(points.substr(0, blank));
    const Reading second = ReadStepByStep(points.substr(blank + 1));
    const tol::CellParse parse = tol::ParseCellText(cell, false);
    EXPECT_EQ(parse.accepted, first.error == 0 && second.error == 0) << cell;
    EXPECT_TRUE(Same(parse.first, first.value)) << cell;
    EXPECT_TRUE(Same(parse.second, second.value)) << cell;
  }
}

}  // namespace

namespace {

// Converted cell words, read in binary64 at once where that is exact, against the extended
// reading rounded afterwards: every decimal count from 0 to 8, near the point where binary64
// division stops being exact (six decimals, where 0.002877 differs) and around it.
TEST(NumberReadingTest, ConvertedCellWordsEqualTheExtendedReadingRounded) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> mantissas(0, 99999999);
  std::vector<std::string> words = {"0.002877", "-0.002877", "0,002877", "0.05754",  "0.0011227",
                                    "0",        "-0",        "+1.5",     "12345678", "-,5",
                                    "1.",       "0.1e2",     "99999.999"};
  for (int i = 0; i < 3000; ++i) {
    std::string digits = std::to_string(mantissas(random));
    const std::size_t point = static_cast<std::size_t>(i) % (digits.size() + 1);
    if (point < digits.size()) digits.insert(digits.size() - point, i % 3 == 0 ? "," : ".");
    words.push_back((i % 2 == 0 ? "-" : "") + digits);
  }
  for (const std::string& word : words) {
    std::string points = word;
    for (char& c : points) c = c == ',' ? '.' : c;
    const tol::NumberResult extended = tol::NumberFromText(points);
    const long double rounded = tol::ToBinary64(extended.value);
    const tol::CellParse parse = tol::ParseCellText(word + " " + word, true);
    EXPECT_EQ(parse.accepted, extended.error == 0) << word;
    EXPECT_TRUE(Same(parse.first, rounded)) << word;
    EXPECT_TRUE(Same(parse.second, rounded)) << word;
  }
}

}  // namespace

namespace {

// Cell texts of blank runs and words of digits, points, commas and signs, short and long, with
// the words read one by one as the reference: the usual two-word cell is read in one go, and
// every other shape must still be read word by word.
TEST(NumberReadingTest, ConvertedCellsReadAsTheirWordsOneByOne) {
  std::mt19937_64 random(11);
  const std::string alphabet = "0123456789012345678901234567890123456789..,-+";
  const auto word = [&] {
    std::string text;
    const auto length = 1 + random() % (random() % 4 == 0 ? 12 : 7);
    for (std::size_t i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
    return text;
  };
  const auto blanks = [&](std::size_t most) { return std::string(random() % (most + 1), ' '); };
  for (int n = 0; n < 200000; ++n) {
    std::string cell = blanks(random() % 4 == 0 ? 2 : 0);
    const auto words = random() % 5 == 0 ? random() % 4 : 2;
    for (std::size_t w = 0; w < words; ++w) {
      if (w > 0) cell += ' ' + blanks(random() % 4 == 0 ? 1 : 0);
      cell += word();
    }
    if (random() % 8 == 0) cell += blanks(2);
    const auto reference = [&](std::int32_t k) {
      std::string points = tol::ExtractWord(cell, k);
      for (char& c : points) c = c == ',' ? '.' : c;
      const tol::NumberResult read = tol::NumberFromText(points);
      return tol::NumberResult{tol::ToBinary64(read.value), read.error};
    };
    const tol::NumberResult first = reference(1);
    const tol::NumberResult second = reference(2);
    const tol::CellValues values = tol::ParseCellValues(cell);
    ASSERT_EQ(values.accepted, !cell.empty() && first.error == 0 && second.error == 0) << cell;
    ASSERT_TRUE(Same(values.first, first.value)) << cell;
    ASSERT_TRUE(Same(values.second, second.value)) << cell;
    const tol::CellParse parse = tol::ParseCellText(cell, true);
    ASSERT_EQ(parse.accepted, values.accepted) << cell;
    ASSERT_EQ(tol::CellTextAccepted(cell), values.accepted) << cell;
    ASSERT_TRUE(Same(parse.first, first.value) && Same(parse.second, second.value)) << cell;
  }
}

}  // namespace
