#include "data/decimal_scaling_exact.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace tol {
namespace {

// A non-negative integer as base-2^32 limbs, least significant first, without leading zeros.
class BigNatural {
 public:
  explicit BigNatural(std::uint64_t value) {
    while (value != 0) {
      limbs_.push_back(static_cast<std::uint32_t>(value));
      value >>= 32;
    }
  }

  void Multiply(std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (std::uint32_t& limb : limbs_) {
      const std::uint64_t product = std::uint64_t{limb} * factor + carry;
      limb = static_cast<std::uint32_t>(product);
      carry = product >> 32;
    }
    if (carry != 0) limbs_.push_back(static_cast<std::uint32_t>(carry));
  }

  void MultiplyByPowerOfFive(int count) {
    constexpr std::uint32_t kFiveTo13 = 1220703125;  // the largest power of five below 2^32
    for (; count >= 13; count -= 13) Multiply(kFiveTo13);
    std::uint32_t rest = 1;
    for (; count > 0; --count) rest *= 5;
    Multiply(rest);
  }

  void ShiftLeft(int bits) {
    if (limbs_.empty() || bits == 0) return;
    const auto whole = static_cast<std::size_t>(bits / 32);
    const int part = bits % 32;
    if (part != 0) {
      std::uint32_t carry = 0;
      for (std::uint32_t& limb : limbs_) {
        const std::uint32_t next = limb >> (32 - part);
        limb = (limb << part) | carry;
        carry = next;
      }
      if (carry != 0) limbs_.push_back(carry);
    }
    limbs_.insert(limbs_.begin(), whole, 0U);
  }

  [[nodiscard]] bool AtLeast(const BigNatural& other) const {
    if (limbs_.size() != other.limbs_.size()) return limbs_.size() > other.limbs_.size();
    return !std::lexicographical_compare(limbs_.rbegin(), limbs_.rend(), other.limbs_.rbegin(),
                                         other.limbs_.rend());
  }

 private:
  std::vector<std::uint32_t> limbs_;
};

}  // namespace

bool ExactlyAtLeastPowerOfTen(std::uint64_t significand, int binary_exponent, int n) {
  // significand * 2^b >= 5^n * 2^n; move the power of five of a negative n to the left side
  // and the powers of two to whichever side keeps them non-negative.
  BigNatural left(significand);
  BigNatural right(1);
  if (n >= 0) {
    right.MultiplyByPowerOfFive(n);
  } else {
    left.MultiplyByPowerOfFive(-n);
  }
  const int shift = binary_exponent - n;
  if (shift >= 0) {
    left.ShiftLeft(shift);
  } else {
    right.ShiftLeft(-shift);
  }
  return left.AtLeast(right);
}

}  // namespace tol
