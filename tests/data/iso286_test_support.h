#pragma once
// Exact decimal texts for the ISO 286 tests: published figures are read as written, never
// through binary floating point.

#include <cstdint>
#include <string>
#include <string_view>

namespace tol::iso286::test {

// "+12.5", "-0.0045", "0": the text's value times 10^scale_digits, exactly. Scale 2 reads
// micrometres into hundredths, scale 5 millimetres.
inline std::int32_t ScaledDecimal(std::string_view text, int scale_digits) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  std::int64_t value = 0;
  int fraction_digits = -1;
  for (char c : text) {
    if (c == '.') {
      fraction_digits = 0;
      continue;
    }
    value = value * 10 + (c - '0');
    if (fraction_digits >= 0) ++fraction_digits;
  }
  for (int i = fraction_digits < 0 ? 0 : fraction_digits; i < scale_digits; ++i) value *= 10;
  return static_cast<std::int32_t>(negative ? -value : value);
}

}  // namespace tol::iso286::test
