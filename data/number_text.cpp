#include "data/number_text.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

#include "data/decimal_scaling.h"
#include "data/digit_chunks.h"
#include "data/errors.h"

namespace tol {
namespace {

constexpr char kBlank = ' ';

// Plain loops rather than find and find_first_not_of: cell words are a few characters long,
// shorter than the call to the library's memchr that those make.
std::string_view WordOf(std::string_view text, std::int32_t n) {
  const char* p = text.data();
  const char* const end = p + text.size();
  const auto skip_blanks = [&] {
    while (p != end && *p == kBlank) ++p;
  };
  const auto skip_word = [&] {
    while (p != end && *p != kBlank) ++p;
  };
  skip_blanks();
  for (std::int32_t skipped = 1; skipped < n && p != end; ++skipped) {
    skip_word();
    skip_blanks();
  }
  const char* const start = p;
  skip_word();
  return {start, static_cast<std::size_t>(p - start)};
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

// Reads one word step by step; a comma counts as the decimal point when comma_is_point is set,
// which equals reading a copy of the word with every "," turned into ".". Out of line, so that
// the fast path in front of it stays lean.
template <bool comma_is_point>
[[gnu::noinline]] NumberResult ReadNumber(std::string_view text) {
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

// +-10^k for 0 <= k < 32, the factor ScaleByPowerOfTen takes, with the sign of the number read:
// multiplying or dividing by the negated factor rounds to the negated result (rounding to
// nearest is symmetric), and 0 by -1 gives -0, so the sign costs no branch on an unpredictable
// character. Up to 10^22 the power is a binary64 value (5^22 < 2^53), and the x87 unit reads a
// binary64 operand in one step where an extended one takes several; the value is the same.
constexpr double kBinary64Powers[2][23] = {
    {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
     1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22},
    {-1e0,  -1e1,  -1e2,  -1e3,  -1e4,  -1e5,  -1e6,  -1e7,  -1e8,  -1e9,  -1e10, -1e11,
     -1e12, -1e13, -1e14, -1e15, -1e16, -1e17, -1e18, -1e19, -1e20, -1e21, -1e22}};

[[gnu::always_inline]] inline long double SignedPowerOfTen(std::int64_t k, bool negative) {
  if (k <= 22) return kBinary64Powers[negative][k];
  return negative ? -kPowersOfTenLow[k] : kPowersOfTenLow[k];
}

// Reads a run of digits into mantissa (m := m * 10 + digit, wrapping beyond 64 bits, which
// only the digit count then reveals), eight at a time while the text holds that many.
[[gnu::always_inline]] inline const char* ReadDigitRun(const char* p, const char* end,
                                                       std::uint64_t& mantissa) {
  while (end - p >= 8) {
    const std::uint64_t chunk = LoadEightChars(p);
    if (!AllDigits(chunk)) break;
    mantissa = mantissa * 100000000 + EightDigitsValue(chunk - kAsciiZeros);
    p += 8;
  }
  for (; p != end && IsDigit(*p); ++p) mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
  return p;
}

// A text of 1 to 8 characters that are digits and at most one point, not the last character:
// the mantissa and scale the step-by-step reading gets, found without a loop. The point is
// taken out, the digits moved to the top bytes behind zeros, and all eight read at once.
// False, leaving mantissa and scale as they were, for any other text.
template <bool comma_is_point>
[[gnu::always_inline]] inline bool ReadShortPlainNumber(const char* p, std::size_t length,
                                                        std::uint64_t& mantissa,
                                                        std::int64_t& scale) {
  const std::uint64_t chunk = LoadShortText(p, length);
  std::uint64_t points = BytesEqual(chunk, '.');
  if constexpr (comma_is_point) points |= BytesEqual(chunk, ',');
  // Whether there is a point is as unpredictable as the texts, so both cases are computed and
  // one is chosen by masks rather than by a branch.
  const std::size_t has_point = points != 0;
  const std::uint64_t point_mask = ~std::uint64_t{0} * has_point;
  const auto point =
      static_cast<std::size_t>(std::countr_zero(points | std::uint64_t{1} << 63) / 8);
  if (has_point != 0 && point == length - 1) return false;  // a text may not end at the point
  const std::uint64_t before = (std::uint64_t{1} << (8 * point)) - 1;
  const std::uint64_t without_point = (chunk & before) | ((chunk >> 8) & ~before);
  const std::uint64_t digits = (without_point & point_mask) | (chunk & ~point_mask);
  const std::size_t count = length - has_point;
  const auto fraction_digits = static_cast<std::int64_t>((count - point) & point_mask);
  // count is 1 to 8; the bytes above the digits become "0" so that all eight are checked.
  const std::uint64_t unused = ~std::uint64_t{0} << (8 * count - 1) << 1;
  const std::uint64_t padded = digits | (kAsciiZeros & unused);
  if (!AllDigits(padded)) return false;
  mantissa = EightDigitsValue((padded - kAsciiZeros) << (8 * (8 - count)));
  scale = -fraction_digits;
  return true;
}

// The common case quickly: a sign, at most 19 mantissa digits (a 64-bit integer and the
// extended significand both hold them exactly, so the mantissa needs no rounding step) and a
// scale of less than 32 orders either way (one rounded multiplication or division by the same
// table factor as ScaleByPowerOfTen takes, and far from the extended range: 2^64 * 10^31 <
// 10^51). ReadNumber computes the same value from the same mantissa and scale. Gives false,
// leaving the work to ReadNumber, for anything else and for any error. It calls nothing, so it
// needs no saved registers and the caller's call to ReadNumber stays a tail call.
template <bool comma_is_point>
[[gnu::always_inline]] inline bool ReadPlainNumber(std::string_view text, long double& result) {
  constexpr int kMaxMantissaDigits = 19;  // 10^19 - 1 < 2^64
  constexpr int kMaxExponentDigits = 4;
  const char* p = text.data();
  const char* const end = p + text.size();
  if (p == end) return false;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  std::uint64_t mantissa = 0;
  std::int64_t scale = 0;
  const auto length = static_cast<std::size_t>(end - p);
  if (length - 1 < 8 && ReadShortPlainNumber<comma_is_point>(p, length, mantissa, scale)) {
    // Below 10^8, and 10^-7 at most.
    result = static_cast<long double>(static_cast<std::int64_t>(mantissa)) /
             SignedPowerOfTen(-scale, negative);
    return true;
  }
  const char* const digits_begin = p;
  p = ReadDigitRun(p, end, mantissa);
  std::int64_t digit_count = p - digits_begin;
  if (p != end && (*p == '.' || (comma_is_point && *p == ','))) {
    const char* const fraction_begin = ++p;
    if (p == end) return false;  // a text may not end right after the point
    p = ReadDigitRun(p, end, mantissa);
    scale = fraction_begin - p;
    digit_count -= scale;
  }
  if (digit_count == 0 || digit_count > kMaxMantissaDigits) return false;
  if (p != end) {
    if ((*p | 0x20) != 'e') return false;
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
  if (scale <= -32 || scale >= 32) return false;
  // Both conversions are exact; the signed one is the single x87 load instruction.
  const long double m = mantissa < (std::uint64_t{1} << 63)
                            ? static_cast<long double>(static_cast<std::int64_t>(mantissa))
                            : static_cast<long double>(mantissa);
  result =
      scale >= 0 ? m * SignedPowerOfTen(scale, negative) : m / SignedPowerOfTen(-scale, negative);
  return true;
}

// Inline into its callers, so that the extended value reaches them in a register: stored and
// reloaded as 10 bytes it would wait for the store to complete.
template <bool comma_is_point>
[[gnu::always_inline]] inline NumberResult ReadWord(std::string_view word) {
  long double value = 0.0L;
  if (ReadPlainNumber<comma_is_point>(word, value)) return {value, 0};
  return ReadNumber<comma_is_point>(word);
}

// A word's value rounded to binary64, kept out of the extended unit: an extended result is
// returned through memory in a slow ten-byte store.
struct Binary64Result {
  double value;
  std::int32_t error;
};

// A short plain word (see ReadShortPlainNumber) of at most five decimals, with a sign, divided
// in binary64 at once, without the x87 unit: for every mantissa below 10^8 and divisor up to
// 10^5, rounding the quotient to extended precision and then to binary64 gives the value that
// rounding it once does (checked for all of them; from 10^6 on the two differ, e.g. for
// 0.002877, so those take the extended path). False for any other word.
template <bool comma_is_point>
[[gnu::always_inline]] inline bool ReadShortWordToBinary64(std::string_view word, double& value) {
  constexpr std::int64_t kMostDecimals = 5;
  if (word.empty()) return false;
  const bool negative = word[0] == '-';
  const std::size_t sign = negative || word[0] == '+' ? 1 : 0;
  const std::size_t length = word.size() - sign;
  std::uint64_t mantissa = 0;
  std::int64_t scale = 0;
  if (length - 1 >= 8 ||
      !ReadShortPlainNumber<comma_is_point>(word.data() + sign, length, mantissa, scale) ||
      scale < -kMostDecimals) {
    return false;
  }
  value =
      static_cast<double>(static_cast<std::int64_t>(mantissa)) / kBinary64Powers[negative][-scale];
  return true;
}

// A word as ReadWord and then ToBinary64 give it.
template <bool comma_is_point>
[[gnu::always_inline]] inline Binary64Result ReadWordToBinary64(std::string_view word) {
  double value = 0.0;
  if (ReadShortWordToBinary64<comma_is_point>(word, value)) return {value, 0};
  const NumberResult read = ReadWord<comma_is_point>(word);
  return {ToBinary64(read.value), read.error};
}

// Word 2 of text, given word 1 as WordOf found it: the search goes on from its end.
std::string_view WordAfter(std::string_view text, std::string_view word) {
  return WordOf(text.substr(static_cast<std::size_t>(word.data() + word.size() - text.data())), 1);
}

// The usual value cell, two short plain words joined by one blank within its first eight
// characters, read without a scan for the words: the first blank is found among eight
// characters at once, and a second one would be a character that is no digit in word 2.
// False, leaving the work to the word-by-word reading, for any other text.
[[gnu::always_inline]] inline bool ReadUsualCell(std::string_view text, double& first,
                                                 double& second) {
  const std::size_t size = text.size();
  if (size - 3 > 16 - 3) return false;  // 3 to 16 characters
  const std::uint64_t head = LoadShortText(text.data(), std::min<std::size_t>(size, 8));
  const std::uint64_t blanks = BytesEqual(head, ' ');
  const auto blank = static_cast<std::size_t>(std::countr_zero(blanks) / 8);
  if (blanks == 0 || blank == 0 || blank == size - 1) return false;
  return ReadShortWordToBinary64<true>(text.substr(0, blank), first) &&
         ReadShortWordToBinary64<true>(text.substr(blank + 1), second);
}

}  // namespace

std::string ExtractWord(std::string_view text, std::int32_t n) {
  return std::string(WordOf(text, n));
}

NumberResult NumberFromText(std::string_view word) { return ReadWord<false>(word); }

// A short plain word, as most labels hold, is divided in binary64 at once, which gives the
// value the extended reading narrowed to binary64 does.
std::optional<double> QuietWordValue(std::string_view text, std::int32_t n) noexcept {
  const std::string_view word = WordOf(text, n);
  double value = 0.0;
  if (ReadShortWordToBinary64<true>(word, value)) return value;
  try {
    const NumberResult read = ReadWord<true>(word);
    if (read.error != 0) return std::nullopt;
    return static_cast<double>(read.value);
  } catch (const Exception&) {
    return std::nullopt;  // beyond even the extended range
  }
}

double ToBinary64(long double v) {
  const auto narrowed = static_cast<double>(v);
  if (std::isinf(narrowed) && std::isfinite(v)) throw EOverflow();
  return narrowed;
}

CellParse ParseCellText(std::string_view text, bool convert) {
  if (convert) {
    const CellValues values = ParseCellValues(text);
    return {values.accepted, values.first, values.second};
  }
  if (text.empty()) return {false, 0.0L, 0.0L};
  const std::string_view first_word = WordOf(text, 1);
  const NumberResult first = ReadWord<true>(first_word);
  const NumberResult second = ReadWord<true>(WordAfter(text, first_word));
  return {first.error == 0 && second.error == 0, first.value, second.value};
}

bool CellTextAccepted(std::string_view text) {
  // The usual cell's two numbers lie below 10^8, so they are neither checked nor computed.
  if (double first = 0.0, second = 0.0; ReadUsualCell(text, first, second)) return true;
  return ParseCellValues(text).accepted;
}

CellValues ParseCellValues(std::string_view text) {
  if (double first = 0.0, second = 0.0; ReadUsualCell(text, first, second)) {
    return {true, first, second};
  }
  if (text.empty()) return {false, 0.0, 0.0};
  const std::string_view first_word = WordOf(text, 1);
  const Binary64Result first = ReadWordToBinary64<true>(first_word);
  const Binary64Result second = ReadWordToBinary64<true>(WordAfter(text, first_word));
  return {first.error == 0 && second.error == 0, first.value, second.value};
}

}  // namespace tol
