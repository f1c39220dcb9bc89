#pragma once
// Exact decimal forms of binary64 values, for showing what a file holds: the shortest decimal
// that reads back to a value, that decimal shifted by powers of ten (millimetres to
// micrometres), and the exact difference of two such decimals (a tolerance, a clearance).

#include <cstdint>
#include <string>

namespace tol {

// sign * mantissa * 10^exponent. Finite values only.
struct Decimal {
  bool negative = false;
  unsigned __int128 mantissa = 0;
  std::int32_t exponent = 0;
};

// The shortest decimal that rounds back to v (v finite); -0 gives 0.
[[nodiscard]] Decimal ShortestDecimal(double v);

// d * 10^power, exactly.
[[nodiscard]] Decimal ShiftDecimal(Decimal d, std::int32_t power);

// a - b. Exact while both mantissas aligned to the smaller exponent fit in 128 bits (values
// of up to 17 digits whose exponents lie at most 20 apart, as limit deviations do); otherwise
// the binary64 difference's shortest decimal.
[[nodiscard]] Decimal DecimalDifference(const Decimal& a, const Decimal& b);

// -1, 0 or 1.
[[nodiscard]] int DecimalSign(const Decimal& d);

// Positional form with separator as the decimal point and "-" for a negative value, no
// exponent ("0.0045", "-15", "4500"); a value that would need more than 24 digits positions
// is written as digits, separator and "E" exponent ("1.5E-300") instead.
[[nodiscard]] std::string DecimalText(const Decimal& d, char separator);

}  // namespace tol
