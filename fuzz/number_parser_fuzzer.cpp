// Reads arbitrary texts with the number parser and compares it with a reference written
// separately here: the grammar step by step for the error position, and the C library's
// correctly rounded strtold for the value, which the parser's extended-precision steps must
// match to within their accumulated rounding (far below 10^-15 relative).

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "data/errors.h"
#include "data/number_text.h"
#include "fuzz/fuzz_check.h"

namespace tol::fuzz {
namespace {

constexpr std::int64_t kInfiniteScale = 5120;  // 10^5120 is beyond the extended range
// The extended maximum, about 1.19E4932, lies between 10^4932 and 10^4933: a value below
// 10^4932 never overflows, one of 4933 decimal places may.
constexpr int kOverflowingExponent = 4933;
constexpr int kSmallestComparedExponent = -4900;  // well above the extended subnormals
constexpr long double kRelativeTolerance = 1e-15L;

// What the grammar says about a text: the error position (0 when it is a number), the sign,
// the mantissa digits read before stopping and the decimal scale (fraction digits and exponent).
struct Expected {
  std::int32_t error = 0;
  bool negative = false;
  std::string digits;
  std::int64_t scale = 0;
};

Expected ReadByGrammar(const std::string& text) {
  Expected expected;
  const std::size_t length = text.size();
  if (length == 0) return {1, false, "", 0};
  std::size_t i = 0;
  const auto stop = [&](std::size_t at) {
    expected.error = static_cast<std::int32_t>(at + 1);
    return expected;
  };
  const auto digit = [&](std::size_t at) {
    return at < length && text[at] >= '0' && text[at] <= '9';
  };
  while (i < length && text[i] == ' ') ++i;
  if (i < length && (text[i] == '-' || text[i] == '+')) expected.negative = text[i++] == '-';
  if (i == length) return stop(i);
  while (digit(i)) expected.digits += text[i++];
  if (i == length) return expected;
  if (text[i] == '.') {
    if (++i == length) return stop(i);
    for (; digit(i); ++i, --expected.scale) expected.digits += text[i];
    if (i == length) return expected;
  }
  if (text[i] != 'E' && text[i] != 'e') return stop(i);
  ++i;
  bool exponent_negative = false;
  if (i < length && (text[i] == '-' || text[i] == '+')) exponent_negative = text[i++] == '-';
  if (!digit(i)) return stop(i);
  std::int64_t exponent = 0;
  for (; digit(i); ++i)
    exponent = std::min<std::int64_t>(exponent * 10 + (text[i] - '0'), 1'000'000'000'000);
  if (i != length) return stop(i);
  expected.scale += exponent_negative ? -exponent : exponent;
  return expected;
}

// The digits without leading zeros.
std::string Significant(const std::string& digits) {
  const std::size_t first = digits.find_first_not_of('0');
  return first == std::string::npos ? "" : digits.substr(first);
}

bool Close(long double actual, long double reference) {
  return std::fabs(actual - reference) <= kRelativeTolerance * std::fabs(reference);
}

// The value of a number the grammar accepted, against the reference.
void CheckValue(const std::string& text, const Expected& expected, long double value) {
  Require(std::signbit(value) == expected.negative, "the sign", text);
  const long double magnitude = std::fabs(value);
  if (expected.scale >= kInfiniteScale) {
    Require(std::isinf(value), "a scale from 5120 on gives infinity", text);
    return;
  }
  const std::string significant = Significant(expected.digits);
  if (expected.scale <= -kInfiniteScale || significant.empty()) {
    Require(magnitude == 0, "zero digits or a scale to -5120 give zero", text);
    return;
  }
  const std::int64_t decimal_exponent =
      static_cast<std::int64_t>(significant.size()) + expected.scale;
  Require(decimal_exponent <= kOverflowingExponent, "beyond the extended range without an overflow",
          text);
  if (decimal_exponent < kSmallestComparedExponent || decimal_exponent == kOverflowingExponent)
    return;
  const std::string reference_text = significant + "e" + std::to_string(expected.scale);
  Require(Close(magnitude, std::strtold(reference_text.c_str(), nullptr)),
          "the value differs from strtold", text);
}

// The mantissa a refused text gives back: its digits so far as a whole number.
void CheckPartialMantissa(const std::string& text, const Expected& expected, long double value) {
  const std::string significant = Significant(expected.digits);
  if (significant.empty()) {
    Require(value == 0, "the mantissa read so far is zero", text);
    return;
  }
  Require(Close(value, std::strtold(significant.c_str(), nullptr)), "the mantissa read so far",
          text);
}

void CheckText(const std::string& text) {
  const Expected expected = ReadByGrammar(text);
  NumberResult result{};
  try {
    result = NumberFromText(text);
  } catch (const EOverflow&) {
    // Only a mantissa or a value beyond the extended range overflows.
    const auto digits = static_cast<std::int64_t>(Significant(expected.digits).size());
    Require(digits >= kOverflowingExponent ||
                (expected.error == 0 && digits + expected.scale >= kOverflowingExponent),
            "overflow of a number within the extended range", text);
    return;
  }
  Require(result.error == expected.error, "the error position", text);
  if (result.error == 0) {
    CheckValue(text, expected, result.value);
  } else {
    CheckPartialMantissa(text, expected, result.value);
  }
}

}  // namespace
}  // namespace tol::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tol::fuzz::CheckText(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
