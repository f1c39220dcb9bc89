#include "data/number_text.h"

#include <cmath>
#include <limits>

#include "data/decimal_scaling.h"
#include "data/errors.h"

namespace tol {
namespace {

constexpr char kBlank = ' ';

std::string_view WordOf(std::string_view text, std::int32_t n) {
  std::size_t start = text.find_first_not_of(kBlank);
  for (std::int32_t skipped = 1; skipped < n && start != std::string_view::npos; ++skipped) {
    start = text.find(kBlank, start);
    if (start != std::string_view::npos) start = text.find_first_not_of(kBlank, start);
  }
  if (start == std::string_view::npos) return {};
  const std::size_t end = text.find(kBlank, start);
  return text.substr(start, end == std::string_view::npos ? end : end - start);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The mantissa m := m * 10 + digit in extended precision. While m stays below 2^64 every such
// step is exact, so it runs on a 64-bit integer first; once the integer could no longer hold the
// next step, it continues in extended precision, where each multiplication and addition rounds.
// A mantissa beyond the extended range raises at the digit that takes it there.
class Mantissa {
 public:
  void Append(char digit) {
    const auto value = static_cast<unsigned>(digit - '0');
    if (!extended_) {
      // Below this bound m * 10 + 9 still fits in 64 bits.
      constexpr std::uint64_t kLastExact = (std::numeric_limits<std::uint64_t>::max() - 9) / 10;
      if (integer_ <= kLastExact) {
        integer_ = integer_ * 10 + value;
        return;
      }
      value_ = static_cast<long double>(integer_);
      extended_ = true;
    }
    value_ = value_ * 10.0L + static_cast<long double>(value);
    if (std::isinf(value_)) throw EOverflow();
  }

  [[nodiscard]] long double Value() const {
    return extended_ ? value_ : static_cast<long double>(integer_);
  }

 private:
  std::uint64_t integer_ = 0;
  long double value_ = 0.0L;
  bool extended_ = false;
};

// Exponent digits; the value saturates far beyond any scale that still changes the result.
class ExponentDigits {
 public:
  void Append(char digit) {
    constexpr std::int64_t kSaturation = 1'000'000'000'000'000'000;
    if (value_ < kSaturation / 10) value_ = value_ * 10 + (digit - '0');
  }
  [[nodiscard]] std::int64_t Value() const { return value_; }

 private:
  std::int64_t value_ = 0;
};

// Reads one word; a comma counts as the decimal point when comma_is_point is set, which
// equals reading a copy of the word with every "," turned into ".".
template <bool comma_is_point>
NumberResult ReadNumber(std::string_view text) {
  if (text.empty()) return {0.0L, 1};
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  const char* p = begin;
  Mantissa mantissa;
  const auto failure = [&] {
    return NumberResult{mantissa.Value(), static_cast<std::int32_t>(p - begin + 1)};
  };
  const auto is_point = [](char c) { return c == '.' || (comma_is_point && c == ','); };

  while (p != end && *p == kBlank) ++p;
  const bool negative = p != end && *p == '-';
  if (p != end && (*p == '-' || *p == '+')) ++p;
  if (p == end) return failure();

  std::int64_t fraction_digits = 0;
  std::int64_t exponent = 0;
  while (p != end && IsDigit(*p)) mantissa.Append(*p++);
  if (p != end && is_point(*p)) {
    if (++p == end) return failure();
    for (; p != end && IsDigit(*p); ++p) {
      mantissa.Append(*p);
      --fraction_digits;
    }
  }
  if (p != end) {
    if (*p != 'E' && *p != 'e') return failure();
    ++p;
    const bool exponent_negative = p != end && *p == '-';
    if (p != end && (*p == '-' || *p == '+')) ++p;
    if (p == end || !IsDigit(*p)) return failure();
    ExponentDigits digits;
    for (; p != end && IsDigit(*p); ++p) digits.Append(*p);
    if (p != end) return failure();
    exponent = exponent_negative ? -digits.Value() : digits.Value();
  }

  const std::int64_t scale = fraction_digits + exponent;
  long double value = ScaleByPowerOfTen(mantissa.Value(), scale);
  if (std::isinf(value) && scale < kScaleLimit) throw EOverflow();
  return {negative ? -value : value, 0};
}

// The common case quickly: a sign, at most 19 mantissa digits (which a 64-bit integer holds
// exactly, as does the extended significand) and an exponent of at most four digits. Gives
// false, leaving the work to ReadNumber, for anything else, for an error and for an infinite
// result; where it succeeds, ReadNumber computes the same value.
template <bool comma_is_point>
bool ReadPlainNumber(std::string_view text, long double& result) {
  constexpr int kMaxMantissaDigits = 19;  // 10^19 - 1 < 2^64
  constexpr int kMaxExponentDigits = 4;
  const char* p = text.data();
  const char* const end = p + text.size();
  const bool negative = p != end && *p == '-';
  if (p != end && (*p == '-' || *p == '+')) ++p;
  const char* const digits_begin = p;
  std::uint64_t mantissa = 0;
  for (; p != end && IsDigit(*p); ++p) mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
  std::int64_t digit_count = p - digits_begin;
  std::int64_t scale = 0;
  if (p != end && (*p == '.' || (comma_is_point && *p == ','))) {
    const char* const fraction_begin = ++p;
    if (p == end) return false;  // a text may not end right after the point
    for (; p != end && IsDigit(*p); ++p) {
      mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
    }
    scale = fraction_begin - p;
    digit_count -= scale;
  }
  if (digit_count == 0 || digit_count > kMaxMantissaDigits) return false;
  if (p != end) {
    if (*p != 'E' && *p != 'e') return false;
    const bool exponent_negative = ++p != end && *p == '-';
    if (p != end && (*p == '-' || *p == '+')) ++p;
    const char* const exponent_begin = p;
    int exponent = 0;
    for (; p != end && IsDigit(*p) && p - exponent_begin < kMaxExponentDigits; ++p) {
      exponent = exponent * 10 + (*p - '0');
    }
    if (p == exponent_begin || p != end) return false;
    scale += exponent_negative ? -exponent : exponent;
  }
  const long double value = ScaleByPowerOfTen(static_cast<long double>(mantissa), scale);
  if (scale >= 32 && std::isinf(value)) return false;  // 2^64 * 10^31 is far from overflow
  result = negative ? -value : value;
  return true;
}

template <bool comma_is_point>
NumberResult ReadWord(std::string_view word) {
  long double value = 0.0L;
  if (ReadPlainNumber<comma_is_point>(word, value)) return {value, 0};
  return ReadNumber<comma_is_point>(word);
}

}  // namespace

std::string ExtractWord(std::string_view text, std::int32_t n) {
  return std::string(WordOf(text, n));
}

NumberResult NumberFromText(std::string_view word) { return ReadWord<false>(word); }

double ToBinary64(long double v) {
  const auto narrowed = static_cast<double>(v);
  if (std::isinf(narrowed) && std::isfinite(v)) throw EOverflow();
  return narrowed;
}

CellParse ParseCellText(std::string_view text, bool convert) {
  if (text.empty()) return {false, 0.0L, 0.0L};
  const NumberResult first = ReadWord<true>(WordOf(text, 1));
  const long double first_value = convert ? ToBinary64(first.value) : first.value;
  const NumberResult second = ReadWord<true>(WordOf(text, 2));
  const long double second_value = convert ? ToBinary64(second.value) : second.value;
  return {first.error == 0 && second.error == 0, first_value, second_value};
}

}  // namespace tol
