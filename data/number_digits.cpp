// The text forms of numbers: the rounded digit string of a value and its general and cell
// layouts, written into a small stack buffer and copied into the result once.

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>

#include "data/decimal_scaling.h"
#include "data/errors.h"
#include "data/number_text.h"

namespace tol {
namespace {

char g_decimal_separator = '.';

// The longest text either form writes: "-", "0.", three zeros and 15 digits (21), or one digit,
// a separator, 14 digits, "E-" and a four-digit exponent (22), or "-", 18 digits, a separator
// and three decimals (23).
constexpr std::size_t kTextCapacity = 32;

// Digits and zeros are copied in blocks of this fixed size, which compiles to a few plain moves
// where a variable length would call the library; the buffers leave room for the overhang.
constexpr int kDigitCopy = 24;
constexpr std::size_t kBufferSize = kTextCapacity + kDigitCopy;

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes the nine digits of value < 10^9, leading zeros included.
[[gnu::always_inline]] inline void WriteNineDigits(std::uint32_t value, char* out) {
  out[0] = static_cast<char>('0' + value / 100000000);
  value %= 100000000;
  for (int pair = 3; pair >= 0; --pair) {
    std::memcpy(out + 1 + 2 * pair, kDigitPairs + 2 * (value % 100), 2);
    value /= 100;
  }
}

// A value rounded to its kept digits: the characters digits[0..count) (no trailing zeros) with
// value = 0.digits * 10^exponent. count 0 means the value counts as zero.
struct DigitString {
  char digits[18 + kDigitCopy];  // 18 digits, then padding for fixed-size copies
  int count;
  std::int32_t exponent;
};

// Keeps at most `precision` significant digits and `decimals` digits after the point of the
// 18-digit form, rounding half away from zero by looking at the first dropped digit only.
DigitString RoundDigits(EighteenDigits form, int precision, std::int64_t decimals) {
  DigitString result{};
  const std::int64_t limit = std::int64_t{form.exponent} + decimals;
  if (limit < 0) return result;
  const int kept = static_cast<int>(std::min<std::int64_t>({limit, precision, 18}));
  // Only the kept digits and the one after them are looked at.
  constexpr std::uint64_t kNine = 1000000000;
  WriteNineDigits(static_cast<std::uint32_t>(form.digits / kNine), result.digits);
  if (kept >= 9) {
    WriteNineDigits(static_cast<std::uint32_t>(form.digits % kNine), result.digits + 9);
  }
  result.count = kept;
  result.exponent = form.exponent;
  if (kept < 18 && result.digits[kept] >= '5') {
    int last = kept - 1;
    for (; last >= 0 && result.digits[last] == '9'; --last) result.digits[last] = '0';
    if (last >= 0) {
      ++result.digits[last];
    } else {
      // The carry ran past the first digit, or nothing was kept: the value became 10^exponent.
      result.digits[0] = '1';
      result.count = 1;
      ++result.exponent;
    }
  }
  while (result.count > 0 && result.digits[result.count - 1] == '0') --result.count;
  return result;
}

// count <= 18 digits from a DigitString.
char* WriteChars(const char* chars, int count, char* out) {
  std::memcpy(out, chars, kDigitCopy);
  return out + count;
}

// count <= 18 zeros.
char* WriteZeros(int count, char* out) {
  std::memset(out, '0', kDigitCopy);
  return out + count;
}

// The digits in positional notation without exponent; for exponent >= 1 the integer part is
// filled with zeros up to exponent digits.
char* WritePositional(const DigitString& d, char* out) {
  if (d.exponent <= 0) {
    *out++ = '0';
    *out++ = g_decimal_separator;
    out = WriteZeros(-d.exponent, out);
    return WriteChars(d.digits, d.count, out);
  }
  if (d.count <= d.exponent) {
    out = WriteChars(d.digits, d.count, out);
    return WriteZeros(d.exponent - d.count, out);
  }
  out = WriteChars(d.digits, d.exponent, out);
  *out++ = g_decimal_separator;
  return WriteChars(d.digits + d.exponent, d.count - d.exponent, out);
}

char* WriteExponential(const DigitString& d, char* out) {
  *out++ = d.digits[0];
  if (d.count > 1) {
    *out++ = g_decimal_separator;
    out = WriteChars(d.digits + 1, d.count - 1, out);
  }
  *out++ = 'E';
  std::int32_t power = d.exponent - 1;
  if (power < 0) {
    *out++ = '-';
    power = -power;  // at most 4951
  }
  char text[10];
  char* start = text + sizeof text;
  do {
    *--start = static_cast<char>('0' + power % 10);
    power /= 10;
  } while (power != 0);
  const auto length = static_cast<std::size_t>(text + sizeof text - start);
  std::memcpy(out, start, length);
  return out + length;
}

char* WriteLiteral(const char* literal, char* out) {
  const std::size_t length = std::strlen(literal);
  std::memcpy(out, literal, length);
  return out + length;
}

// 15 significant digits; positional for 1E-4 <= |v| < 1E15 after rounding, else with exponent.
char* WriteGeneral(long double v, char* out) {
  if (std::isinf(v)) return WriteLiteral("INF", out);
  if (std::isnan(v)) return WriteLiteral("NAN", out);
  if (v == 0.0L) return WriteLiteral("0", out);
  constexpr std::int64_t kAllDecimals = std::int64_t{1} << 40;
  const DigitString d = RoundDigits(EighteenDigitForm(std::fabs(v)), 15, kAllDecimals);
  if (std::signbit(v)) *out++ = '-';
  if (d.exponent >= -3 && d.exponent <= 15) return WritePositional(d, out);
  return WriteExponential(d, out);
}

// Writes value < 10^19 in decimal, without leading zeros; from the last digit back, two at a time.
[[gnu::always_inline]] inline char* WriteUnsigned(std::uint64_t value, char* out) {
  // bit_width * 1233 / 4096 is floor(log10 2^bit_width) or one below the digit count; a single
  // comparison settles which (checked against counting for every boundary), without a loop
  // whose length changes from value to value. value | 1 has the digits of value, and one for 0.
  const std::uint64_t nonzero = value | 1;
  const int below = (std::bit_width(nonzero) * 1233) >> 12;
  const int count = below + (nonzero >= kIntegerPowersOfTen[below]);
  char* p = out + count;
  while (value >= 100) {
    p -= 2;
    std::memcpy(p, kDigitPairs + 2 * (value % 100), 2);
    value /= 100;
  }
  if (value >= 10) {
    std::memcpy(p - 2, kDigitPairs + 2 * value, 2);
  } else {
    p[-1] = static_cast<char>('0' + value);
  }
  return out + count;
}

// Division of an 18-digit number (below 2^60) by 10^k, k in 0..18, as one multiplication: with
// s = 60 + ceil(log2 10^k) and m = ceil(2^s / 10^k), floor(n m / 2^s) = floor(n / 10^k) for
// every n < 2^60, since m 10^k - 2^s < 10^k makes the error n (m 10^k - 2^s) / 2^s less than
// one step of 1 / 10^k. A hardware division by a variable takes several times as long.
struct PowerOfTenDivisor {
  unsigned __int128 multiplier;
  int shift;
};

constexpr std::array<PowerOfTenDivisor, 19> MakePowerOfTenDivisors() {
  std::array<PowerOfTenDivisor, 19> divisors{};
  for (int k = 0; k < 19; ++k) {
    const std::uint64_t power = kIntegerPowersOfTen[k];
    int bits = 0;
    while ((std::uint64_t{1} << bits) < power) ++bits;
    const int shift = 60 + bits;
    const unsigned __int128 numerator = static_cast<unsigned __int128>(1) << shift;
    divisors[k] = {(numerator + power - 1) / power, shift};
  }
  return divisors;
}

constexpr std::array<PowerOfTenDivisor, 19> kPowerOfTenDivisors = MakePowerOfTenDivisors();

[[gnu::always_inline]] inline std::uint64_t DivideByPowerOfTen(std::uint64_t n, int k) {
  const PowerOfTenDivisor& divisor = kPowerOfTenDivisors[k];
  return static_cast<std::uint64_t>((n * divisor.multiplier) >> divisor.shift);
}

// The value in thousandths for a value whose 18-digit form has 10^-4 <= value < 10^15: the
// same rounding as RoundDigits(form, 18, 3), done on integers. Keeping three decimals drops the
// last 15 - E of the 18 digits; the kept ones are the thousandths, rounded up when the first
// dropped digit is 5 or more, i.e. when the dropped part is at least half its unit.
std::uint64_t CutToThousandths(const EighteenDigits& form) {
  const int dropped_digits = 15 - form.exponent;
  const std::uint64_t unit = kIntegerPowersOfTen[dropped_digits];
  std::uint64_t thousandths = DivideByPowerOfTen(form.digits, dropped_digits);
  const std::uint64_t dropped = form.digits - thousandths * unit;
  if (unit > 1 && dropped * 2 >= unit) ++thousandths;
  return thousandths;
}

// NearestThousandths' answer when it cannot decide.
constexpr std::uint64_t kNearHalfThousandth = ~std::uint64_t{0};

// The thousandths of 0 <= v < 10^12 as CutToThousandths gives them, decided from v * 1000
// rounded once to the nearest integer where that lies clearly away from a half. Here the form
// has E <= 12, so at least three digits are dropped and the form's digits divided by the unit
// lie within 0.00056 of v * 1000 (half a digit and the scaling's rounding of 2^-64 * 10^18, over
// at least 10^3); the product v * 1000 < 2^50 is within 2^-14 of the exact one. Further than
// 2^-10 from a half both round to the same integer; closer, this gives kNearHalfThousandth.
[[gnu::always_inline]] inline std::uint64_t NearestThousandths(long double v) {
  constexpr long double kGuard = 0.5L - 1.0L / 1024;
  const long double scaled = v * 1000.0L;
  const std::uint64_t nearest = RoundToInteger(scaled);
  const long double distance = std::fabs(scaled - static_cast<long double>(nearest));
  return distance < kGuard ? nearest : kNearHalfThousandth;
}

// The cell form of a value given in thousandths: the sign, the integer part and up to three
// decimals without trailing zeros; "0" without sign for 0.
char* WriteThousandths(std::uint64_t thousandths, bool negative, char* out) {
  if (thousandths == 0) return WriteLiteral("0", out);
  if (negative) *out++ = '-';
  out = WriteUnsigned(thousandths / 1000, out);
  auto fraction = static_cast<std::uint32_t>(thousandths % 1000);
  if (fraction == 0) return out;
  *out++ = g_decimal_separator;
  *out++ = static_cast<char>('0' + fraction / 100);
  fraction %= 100;
  if (fraction == 0) return out;
  *out++ = static_cast<char>('0' + fraction / 10);
  fraction %= 10;
  if (fraction != 0) *out++ = static_cast<char>('0' + fraction);
  return out;
}

// The pattern "0.###;-0.###;0": up to three decimals without trailing zeros, "-" for a set sign
// bit, "0" for anything that rounds to zero, and the general form from 1E18 on.
[[gnu::always_inline]] inline char* WriteCell(long double v, char* out) {
  if (!std::isfinite(v)) return WriteGeneral(v, out);
  if (v == 0.0L) return WriteLiteral("0", out);
  const long double magnitude = std::fabs(v);
  if (magnitude < 1e12L) {
    const std::uint64_t thousandths = NearestThousandths(magnitude);
    if (thousandths != kNearHalfThousandth) return WriteThousandths(thousandths, v < 0.0L, out);
  }
  const EighteenDigits form = EighteenDigitForm(magnitude);
  if (form.exponent < -3) return WriteLiteral("0", out);  // below 10^-4
  if (form.exponent <= 15) return WriteThousandths(CutToThousandths(form), v < 0.0L, out);
  const DigitString d = RoundDigits(form, 18, 3);
  if (d.exponent > 18) return WriteGeneral(v, out);
  if (d.count == 0) return WriteLiteral("0", out);
  if (v < 0.0L) *out++ = '-';  // v is not -0 here; a comparison is cheaper than the sign test
  return WritePositional(d, out);
}

// A signalling NaN (exponent all ones, quiet bit clear, fraction not zero) is an invalid
// operand; widening it to extended precision would quiet it, so the bits are checked first.
void RejectSignallingNaN(double v) {
  const auto bits = std::bit_cast<std::uint64_t>(v);
  constexpr std::uint64_t kExponentMask = 0x7FF0000000000000;
  constexpr std::uint64_t kQuietBit = 0x0008000000000000;
  constexpr std::uint64_t kFractionMask = 0x000FFFFFFFFFFFFF;
  if ((bits & kExponentMask) == kExponentMask && (bits & kQuietBit) == 0 &&
      (bits & kFractionMask) != 0) {
    throw EInvalidOp();
  }
}

}  // namespace

std::string GeneralRealText(long double v) {
  char buffer[kBufferSize];
  return std::string(buffer, WriteGeneral(v, buffer));
}

std::string CellNumberText(long double v) {
  char buffer[kBufferSize];
  return std::string(buffer, WriteCell(v, buffer));
}

std::string CellText(double first, double second) {
  RejectSignallingNaN(first);
  RejectSignallingNaN(second);
  char buffer[kTextCapacity + 1 + kBufferSize];
  char* out = WriteCell(first, buffer);
  *out++ = ' ';
  return std::string(buffer, WriteCell(second, out));
}

std::string IntervalLabel(double bound) {
  RejectSignallingNaN(bound);
  static constexpr char kPrefix[] = "\xD0\x94\xD0\xBE ";  // "До " in UTF-8
  char buffer[sizeof kPrefix + kBufferSize];
  char* out = WriteLiteral(kPrefix, buffer);
  return std::string(buffer, WriteGeneral(bound, out));
}

void SetDecimalSeparator(char separator) { g_decimal_separator = separator; }

char DecimalSeparator() { return g_decimal_separator; }

}  // namespace tol
