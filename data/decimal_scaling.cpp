#include "data/decimal_scaling.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "data/decimal_scaling_exact.h"

namespace tol {
namespace {

// v = significand * 2^exponent exactly; the extended format stores its integer bit explicitly.
struct ExtendedParts {
  std::uint64_t significand;
  int exponent;
};

ExtendedParts Decompose(long double v) {
  unsigned char bytes[sizeof(long double)];
  std::memcpy(bytes, &v, sizeof bytes);
  std::uint64_t significand = 0;
  std::uint16_t sign_and_exponent = 0;
  std::memcpy(&significand, bytes, sizeof significand);
  std::memcpy(&sign_and_exponent, bytes + 8, sizeof sign_and_exponent);
  const int field = sign_and_exponent & 0x7FFF;
  // Bias 16383, 63 fraction bits; subnormals share the exponent of the smallest normals.
  return {significand, (field == 0 ? 1 : field) - 16383 - 63};
}

}  // namespace

long double ScaleByLargePowerOfTen(long double m, std::int64_t k) {
  if (k >= kScaleLimit) return HUGE_VALL;
  if (k <= -kScaleLimit) return 0.0L;
  const bool divide = k < 0;
  const auto order = static_cast<int>(divide ? -k : k);
  const int low = order % 32;
  const int mid = (order / 32) % 16;
  const int high = order / 512;
  if (divide) {
    m /= kPowersOfTenLow[low];
    if (mid != 0) m /= kPowersOfTenMid[mid];
    if (high != 0) m /= kPowersOfTenHigh[high];
  } else {
    m *= kPowersOfTenLow[low];
    if (mid != 0) m *= kPowersOfTenMid[mid];
    if (high != 0) m *= kPowersOfTenHigh[high];
  }
  return m;
}

int BinaryExponentSlow(long double v) {
  const ExtendedParts parts = Decompose(v);
  return parts.exponent + 63 - std::countl_zero(parts.significand);
}

bool AtLeastPowerOfTenSlow(long double v, int n) {
  // 10^n rounded in at most five steps is within 5 * 2^-64 of the truth relative to it, so a
  // margin of 2^-56 settles all but values right next to the power; those go to exact integers.
  // Below 10^-4930 the approximation would be subnormal and lose that bound.
  if (n > -4930) {
    const long double power = ScaleByPowerOfTen(1.0L, n);
    const long double margin = std::ldexp(power, -56);
    if (v > power + margin) return true;
    if (v < power - margin) return false;
  }
  const ExtendedParts parts = Decompose(v);
  return ExactlyAtLeastPowerOfTen(parts.significand, parts.exponent, n);
}

}  // namespace tol
