#include "data/exact_decimal.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace tol {
namespace {

// 10^38 < 2^128 < 10^39.
constexpr int kMostDigits = 38;
constexpr std::int32_t kLongestPositional = 24;

[[nodiscard]] unsigned __int128 PowerOfTen(int power) {
  unsigned __int128 result = 1;
  for (int i = 0; i < power; ++i) result *= 10;
  return result;
}

[[nodiscard]] int DigitCount(unsigned __int128 value) {
  int count = 1;
  while (value >= 10) {
    value /= 10;
    ++count;
  }
  return count;
}

[[nodiscard]] std::string Digits(unsigned __int128 value) {
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(value % 10)));
    value /= 10;
  } while (value != 0);
  return digits;
}

// Trailing zeros of the mantissa go into the exponent, so equal values have one form.
[[nodiscard]] Decimal Normalized(Decimal d) {
  if (d.mantissa == 0) return {};
  while (d.mantissa % 10 == 0) {
    d.mantissa /= 10;
    ++d.exponent;
  }
  return d;
}

[[nodiscard]] double ToDouble(const Decimal& d) {
  const std::string text = (d.negative ? "-" : "") + Digits(d.mantissa) + "e" +
                           std::to_string(static_cast<long long>(d.exponent));
  return std::strtod(text.c_str(), nullptr);
}

}  // namespace

// std::to_chars gives the shortest form that reads back to v, as "d.ddde-05".
Decimal ShortestDecimal(double v) {
  if (v == 0.0 || !std::isfinite(v)) return {};
  char buffer[64];
  const std::to_chars_result end =
      std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::scientific);
  const std::string_view text(buffer, static_cast<std::size_t>(end.ptr - buffer));
  Decimal d;
  std::size_t i = 0;
  if (text[i] == '-') {
    d.negative = true;
    ++i;
  }
  int fractionDigits = 0;
  bool afterPoint = false;
  for (; i < text.size() && text[i] != 'e'; ++i) {
    if (text[i] == '.') {
      afterPoint = true;
      continue;
    }
    d.mantissa = d.mantissa * 10 + static_cast<unsigned>(text[i] - '0');
    if (afterPoint) ++fractionDigits;
  }
  int exponent = 0;
  if (i < text.size()) {
    const char* first = text.data() + i + 1;
    if (*first == '+') ++first;
    std::from_chars(first, text.data() + text.size(), exponent);
  }
  d.exponent = exponent - fractionDigits;
  return Normalized(d);
}

Decimal ShiftDecimal(Decimal d, std::int32_t power) {
  if (d.mantissa == 0) return {};
  d.exponent += power;
  return d;
}

Decimal DecimalDifference(const Decimal& a, const Decimal& b) {
  if (b.mantissa == 0) return a;
  if (a.mantissa == 0) return Decimal{!b.negative, b.mantissa, b.exponent};
  const std::int32_t exponent = std::min(a.exponent, b.exponent);
  const std::int64_t shiftA = std::int64_t{a.exponent} - exponent;
  const std::int64_t shiftB = std::int64_t{b.exponent} - exponent;
  if (DigitCount(a.mantissa) + shiftA >= kMostDigits ||
      DigitCount(b.mantissa) + shiftB >= kMostDigits) {
    return ShortestDecimal(ToDouble(a) - ToDouble(b));
  }
  const unsigned __int128 x = a.mantissa * PowerOfTen(static_cast<int>(shiftA));
  const unsigned __int128 y = b.mantissa * PowerOfTen(static_cast<int>(shiftB));
  // a - b = a + (-b): equal signs add the magnitudes, different ones subtract them.
  const bool bNegated = !b.negative;
  Decimal result;
  result.exponent = exponent;
  if (a.negative == bNegated) {
    result.negative = a.negative;
    result.mantissa = x + y;  // both below 10^37, so the sum stays below 2^128
  } else if (x >= y) {
    result.negative = a.negative;
    result.mantissa = x - y;
  } else {
    result.negative = bNegated;
    result.mantissa = y - x;
  }
  return Normalized(result);
}

int DecimalSign(const Decimal& d) {
  if (d.mantissa == 0) return 0;
  return d.negative ? -1 : 1;
}

std::string DecimalText(const Decimal& d, char separator) {
  if (d.mantissa == 0) return "0";
  const std::string digits = Digits(d.mantissa);
  const auto count = static_cast<std::int32_t>(digits.size());
  std::string text = d.negative ? "-" : "";
  const std::int64_t wholeDigits = std::int64_t{count} + d.exponent;  // digits before the point
  if (d.exponent >= 0 && wholeDigits <= kLongestPositional) {
    return text + digits + std::string(static_cast<std::size_t>(d.exponent), '0');
  }
  if (d.exponent < 0 && wholeDigits > 0) {
    const auto split = static_cast<std::size_t>(wholeDigits);
    return text + digits.substr(0, split) + separator + digits.substr(split);
  }
  if (d.exponent < 0 && -wholeDigits + count <= kLongestPositional) {
    return text + "0" + separator + std::string(static_cast<std::size_t>(-wholeDigits), '0') +
           digits;
  }
  text += digits.substr(0, 1);
  if (count > 1) text += separator + digits.substr(1);
  return text + "E" + std::to_string(wholeDigits - 1);
}

}  // namespace tol
