#include "bench/number_mix.h"

#include <cmath>
#include <random>

#include "data/number_text.h"

namespace tolbench {
namespace {

enum class Kind { kTolerance, kBound, kMagnitude };

// Position i's kind, so that values and words agree without storing the kinds.
Kind KindOf(std::size_t i) {
  const std::size_t slot = i % 10;
  if (slot < 6) return Kind::kTolerance;
  return slot < 8 ? Kind::kBound : Kind::kMagnitude;
}

}  // namespace

std::vector<double> NumberMix(std::size_t count) {
  std::mt19937_64 random(20240611);
  std::uniform_int_distribution<int> thousandths(-500, 500);
  std::uniform_int_distribution<int> halves(1, 6300);
  std::uniform_real_distribution<double> decades(-6.0, 12.0);
  std::uniform_int_distribution<int> coin(0, 4);
  std::vector<double> values;
  values.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    switch (KindOf(i)) {
      case Kind::kTolerance:
        values.push_back(coin(random) == 0 ? 0.0 : thousandths(random) / 1000.0);
        break;
      case Kind::kBound: values.push_back(halves(random) / 2.0); break;
      case Kind::kMagnitude: {
        const double magnitude = std::pow(10.0, decades(random));
        values.push_back(coin(random) < 2 ? -magnitude : magnitude);
        break;
      }
    }
  }
  return values;
}

std::vector<std::string> WordMix(const std::vector<double>& values) {
  std::vector<std::string> words;
  words.reserve(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    words.push_back(KindOf(i) == Kind::kMagnitude ? tol::GeneralRealText(values[i])
                                                  : tol::CellNumberText(values[i]));
  }
  return words;
}

}  // namespace tolbench
