#pragma once
// Text forms of numbers and the word splitting of cell texts. Texts are UTF-8; every function
// here only ever looks at ASCII characters, so multi-byte characters pass through as parts of
// words. A blank is the character 0x20 and nothing else.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tol {

// The n-th blank-separated word of text (n <= 1 gives word 1); "" beyond the last word.
[[nodiscard]] std::string ExtractWord(std::string_view text, std::int32_t n);

// error 0 = success; otherwise the 1-based position where reading stopped (length + 1 when the
// text ended where a character was required) and value holds the unsigned mantissa read so far.
struct NumberResult {
  long double value;
  std::int32_t error;
};
[[nodiscard]] NumberResult NumberFromText(std::string_view word);

// Word n of text read as NumberFromText reads it with every "," taken as ".", narrowed to
// binary64 without an overflow error (beyond its range, an infinity); nothing when the word does
// not read. For checks that only look and must not fail.
[[nodiscard]] std::optional<double> QuietWordValue(std::string_view text, std::int32_t n) noexcept;

// Nearest binary64, ties to even; EOverflow beyond the binary64 range (infinities and NaNs pass).
[[nodiscard]] double ToBinary64(long double v);

// General real form: 15 significant digits, fixed for 1E-4 <= |v| < 1E15, else exponent form.
[[nodiscard]] std::string GeneralRealText(long double v);
// Cell form by the pattern "0.###;-0.###;0".
[[nodiscard]] std::string CellNumberText(long double v);
// Cell form of both numbers joined by one blank.
[[nodiscard]] std::string CellText(double first, double second);
// "До " followed by the general real form of the bound.
[[nodiscard]] std::string IntervalLabel(double bound);

// Acceptance of a value cell text: not empty, and after every "," became "." words 1 and 2 read
// as numbers. convert rounds both to binary64 (raising EOverflow beyond its range).
struct CellParse {
  bool accepted;
  long double first;
  long double second;
};
[[nodiscard]] CellParse ParseCellText(std::string_view text, bool convert);
// ParseCellText(text, true) with the values as the binary64 numbers they were rounded to.
struct CellValues {
  bool accepted;
  double first;
  double second;
};
[[nodiscard]] CellValues ParseCellValues(std::string_view text);
// ParseCellText(text, true).accepted, raising as it does, with the numbers left uncomputed
// where they cannot fail.
[[nodiscard]] bool CellTextAccepted(std::string_view text);

// The process-wide decimal separator the text forms write ("." initially).
void SetDecimalSeparator(char separator);
[[nodiscard]] char DecimalSeparator();

}  // namespace tol
