#include "data/table_checks.h"

#include <cstdint>

#include "data/errors.h"
#include "data/number_text.h"

namespace tol {

CellValues QuietCellValues(std::string_view text) noexcept {
  try {
    return ParseCellValues(text);
  } catch (const Exception&) {
    return {false, 0.0, 0.0};
  }
}

namespace {

// A word of an optional "-", 1 to 12 digits and at most three decimals after "." or ",", read
// as a whole number of thousandths, which is exact. Such numbers have at most 15 significant
// digits, so rounding them to binary64 (as ParseCellValues does) keeps distinct ones distinct
// and in order: comparing the thousandths compares the values read. Returns the word's end, or
// nullptr for any other word (or when it ends in neither a blank nor end).
const char* Thousandths(const char* p, const char* end, std::int64_t& value) {
  constexpr std::ptrdiff_t kMostDigits = 12;
  constexpr int kMostDecimals = 3;
  constexpr std::int64_t kScale[] = {1000, 100, 10, 1};
  const bool negative = p != end && *p == '-';
  if (negative) ++p;
  const char* const digits = p;
  std::int64_t read = 0;
  for (; p != end && *p >= '0' && *p <= '9' && p - digits <= kMostDigits; ++p) {
    read = read * 10 + (*p - '0');
  }
  if (p == digits || p - digits > kMostDigits) return nullptr;
  int decimals = 0;
  if (p != end && (*p == '.' || *p == ',')) {
    for (++p; p != end && *p >= '0' && *p <= '9' && decimals <= kMostDecimals; ++p, ++decimals) {
      read = read * 10 + (*p - '0');
    }
    if (decimals == 0 || decimals > kMostDecimals) return nullptr;
  }
  if (p != end && *p != ' ') return nullptr;
  read *= kScale[decimals];
  value = negative ? -read : read;
  return p;
}

}  // namespace

// The usual cell, two such words joined by one blank, is compared without reading binary64
// numbers: the check runs over every cell a paste, an undo or a load writes.
bool UpperBelowLower(std::string_view cell_text) {
  const char* const end = cell_text.data() + cell_text.size();
  std::int64_t upper = 0;
  std::int64_t lower = 0;
  const char* blank = Thousandths(cell_text.data(), end, upper);
  if (blank != nullptr && blank != end && Thousandths(blank + 1, end, lower) == end) {
    return upper < lower;
  }
  const CellValues values = QuietCellValues(cell_text);
  return values.accepted && values.first < values.second;
}

std::optional<double> IntervalBound(std::string_view label) { return QuietWordValue(label, 2); }

bool BoundOutOfOrder(std::optional<double> previous, std::optional<double> bound) {
  return previous && bound && !(*bound > *previous);
}

}  // namespace tol
