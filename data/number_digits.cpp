// The text forms of numbers: the rounded digit string of a value and its general and cell
// layouts, written into a small stack buffer and copied into the result once.

#include <algorithm>
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

// The pattern "0.###;-0.###;0": up to three decimals without trailing zeros, "-" for a set sign
// bit, "0" for anything that rounds to zero, and the general form from 1E18 on.
[[gnu::always_inline]] inline char* WriteCell(long double v, char* out) {
  if (!std::isfinite(v)) return WriteGeneral(v, out);
  if (v == 0.0L) return WriteLiteral("0", out);
  const DigitString d = RoundDigits(EighteenDigitForm(std::fabs(v)), 18, 3);
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
