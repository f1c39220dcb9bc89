#pragma once
// Decimal scaling in x86 extended precision (64-bit significand, 15-bit exponent): the power-of-
// ten factors, the three-step scaling by 10^k that the number parser and the text forms share,
// and the 18-digit decimal form of a value. Every operation rounds to nearest, ties to even.

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>

static_assert(LDBL_MANT_DIG == 64, "long double must be the 64-bit-significand extended format");

namespace tol {

// The inline functions below are forced inline: they pass extended values to each other, which
// stay in registers when inlined and make a round trip through memory when called.

// Scales beyond this many decimal orders saturate: 10^5120 exceeds the extended range (about
// 1.19E4932) and 10^-5120 lies below its smallest subnormal (about 3.65E-4951).
inline constexpr std::int64_t kScaleLimit = 5120;

// The extended values nearest to 10^r, 10^(32 j) and 10^(512 h), r and j in 0..31 and 0..15,
// h in 0..9; 10^0..10^27 are exact.
extern const long double kPowersOfTenLow[32];
extern const long double kPowersOfTenMid[16];
extern const long double kPowersOfTenHigh[10];

// The extended value nearest to a power of ten and whether it lies below the power.
struct NearPowerOfTen {
  long double value;
  bool below;
};
// 10^n for n in -31..31 at index n + 31.
extern const NearPowerOfTen kNearPowersOfTen[63];

// 10^n for n in 0..19: 10^19 < 2^64 <= 10^20.
inline constexpr std::uint64_t kIntegerPowersOfTen[20] = {
    1ULL,
    10ULL,
    100ULL,
    1000ULL,
    10000ULL,
    100000ULL,
    1000000ULL,
    10000000ULL,
    100000000ULL,
    1000000000ULL,
    10000000000ULL,
    100000000000ULL,
    1000000000000ULL,
    10000000000000ULL,
    100000000000000ULL,
    1000000000000000ULL,
    10000000000000000ULL,
    100000000000000000ULL,
    1000000000000000000ULL,
    10000000000000000000ULL,
};

// m * 10^k for m >= 0 and |k| >= 32, see ScaleByPowerOfTen.
[[nodiscard]] long double ScaleByLargePowerOfTen(long double m, std::int64_t k);

// m * 10^k for m >= 0, in three rounded steps: by 10^(k mod 32), by 10^(32 ((k div 32) mod 16))
// when that is not 10^0, by 10^(512 (k div 512)) when that is not 10^0; dividing for k < 0.
// k >= kScaleLimit gives +infinity whatever m is, k <= -kScaleLimit gives 0. A finite result may
// overflow to infinity; the caller decides whether that is an error. Scales below 10^32 take a
// single rounded step and are inline, as every parsed number and shown value needs one.
[[nodiscard, gnu::always_inline]] inline long double ScaleByPowerOfTen(long double m,
                                                                       std::int64_t k) {
  if (k >= 0 && k < 32) return m * kPowersOfTenLow[k];
  if (k < 0 && k > -32) return m / kPowersOfTenLow[-k];
  return ScaleByLargePowerOfTen(m, k);
}

// Out-of-line parts of the inline functions below, for values beyond the tables.
[[nodiscard]] bool AtLeastPowerOfTenSlow(long double v, int n);
[[nodiscard]] int BinaryExponentSlow(long double v);

// Whether v >= 10^n exactly, for v > 0. No extended value lies strictly between a power of ten
// and its nearest extended neighbour, so one comparison with that neighbour decides.
[[nodiscard, gnu::always_inline]] inline bool AtLeastPowerOfTen(long double v, int n) {
  if (n < -31 || n > 31) return AtLeastPowerOfTenSlow(v, n);
  const NearPowerOfTen& power = kNearPowersOfTen[n + 31];
  return power.below ? v > power.value : v >= power.value;
}

// The E with 10^(E-1) <= v < 10^E, decided exactly, for finite v > 0.
[[nodiscard, gnu::always_inline]] inline std::int32_t DecimalExponent(long double v) {
  // The binary exponent e2 is read most cheaply from the nearest double when that is normal.
  // With n = floor(e2 log10 2) + 1, 10^(n-1) <= 2^e2 <= v < 2^(e2+1) < 10^(n+1) leaves E = n or
  // n + 1; (e2 * round(2^32 log10 2)) >> 32 was checked to be that floor for all |e2| < 16600.
  // Rounding to the double may carry v into the next binade, making n one too high; only then
  // can E be n - 1.
  const auto narrowed = static_cast<double>(v);
  const auto field = static_cast<int>(std::bit_cast<std::uint64_t>(narrowed) >> 52);
  const bool normal_double = field > 0 && field < 0x7FF;
  const int e2 = normal_double ? field - 1023 : BinaryExponentSlow(v);
  const int n = static_cast<int>((static_cast<std::int64_t>(e2) * 1292913987) >> 32) + 1;
  if (normal_double && static_cast<long double>(narrowed) > v && !AtLeastPowerOfTen(v, n - 1)) {
    return n - 1;
  }
  return AtLeastPowerOfTen(v, n) ? n + 1 : n;
}

// x rounded to an integer by the current rounding mode (to nearest, ties to even), for
// 0 <= x < 2^63. The x87 store-integer instruction rounds and converts in one step.
[[nodiscard, gnu::always_inline]] inline std::uint64_t RoundToInteger(long double x) {
#if defined(__x86_64__) || defined(__i386__)
  std::int64_t integer = 0;
  asm("fistpll %0" : "=m"(integer) : "t"(x) : "st");
  return static_cast<std::uint64_t>(integer);
#else
  return static_cast<std::uint64_t>(std::llrint(x));
#endif
}

// The 18 significant decimal digits of a finite v > 0: v is scaled by 10^(18-E) with
// ScaleByPowerOfTen and rounded to an integer, ties to even; a result of 10^18 or more is
// divided by ten and rounded again, and E grows by one. Then 10^17 <= digits < 10^18 and
// v is about digits * 10^(E-18).
struct EighteenDigits {
  std::uint64_t digits;
  std::int32_t exponent;
};
[[nodiscard, gnu::always_inline]] inline EighteenDigits EighteenDigitForm(long double v) {
  std::int32_t exponent = DecimalExponent(v);
  // The scaled value lies within a few 2^-64 of [10^17, 10^18); rounding may reach 10^18.
  std::uint64_t digits = RoundToInteger(ScaleByPowerOfTen(v, 18 - exponent));
  if (digits >= kIntegerPowersOfTen[18]) {
    digits = RoundToInteger(static_cast<long double>(digits) / 10.0L);
    ++exponent;
  }
  return {digits, exponent};
}

}  // namespace tol
