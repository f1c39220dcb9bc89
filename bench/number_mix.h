#pragma once
// The values and words the conversion benchmarks run over: a fixed, seeded mix of what the
// editor converts. Six in ten are tolerance values (whole thousandths up to half a millimetre,
// either sign, a fifth of them zero), two in ten interval bounds (whole or half millimetres up to
// 3150), two in ten random magnitudes from 1E-6 to 1E12 of either sign with full precision.

#include <string>
#include <vector>

namespace tolbench {

[[nodiscard]] std::vector<double> NumberMix(std::size_t count);

// The texts the parser meets: a tolerance value or a bound as its cell form, a random magnitude
// as its general form (15 significant digits, exponent form outside 1E-4..1E15).
[[nodiscard]] std::vector<std::string> WordMix(const std::vector<double>& values);

}  // namespace tolbench
