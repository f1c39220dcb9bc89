#pragma once
// Exact comparison of a binary value with a power of ten, by arbitrary-precision integers. Slow;
// for the rare values too close to a power of ten for a rounded comparison to decide.

#include <cstdint>

namespace tol {

// Whether significand * 2^binary_exponent >= 10^n, decided without rounding.
[[nodiscard]] bool ExactlyAtLeastPowerOfTen(std::uint64_t significand, int binary_exponent, int n);

}  // namespace tol
