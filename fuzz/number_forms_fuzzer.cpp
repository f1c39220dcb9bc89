// Shows arbitrary binary64 values (any bit pattern) in the cell form and the general real
// form, with either decimal separator, and reads the texts back with the number parser: the
// cell form of a value below 10^15 comes back within 0.0005, the general form within half a
// unit of its 15th digit, and a value read back shows the same text again.

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "data/errors.h"
#include "data/number_text.h"
#include "fuzz/fuzz_check.h"

namespace tol::fuzz {
namespace {

constexpr long double kCellLimit = 1e15L;        // below it the cell form keeps all three decimals
constexpr long double kCellRepeatLimit = 1e11L;  // below it a binary64 resolves 0.0001 well
constexpr long double kHalfCellUnit = 0.0005L;
constexpr long double kHalfGeneralUnit = 5e-15L;  // half a unit of the 15th significant digit
constexpr long double kEighteenDigitSlack = 1e-17L;

std::string Described(double v, const std::string& text) {
  char shown[64];
  std::snprintf(shown, sizeof shown, "%.17g -> ", v);
  return shown + text;
}

// The text with the separator read as "."; the parser knows no other point.
NumberResult ReadBack(std::string text) {
  for (char& c : text) {
    if (c == DecimalSeparator()) c = '.';
  }
  return NumberFromText(text);
}

// The shape of a cell form: an optional "-", digits, and at most three fraction digits of
// which the last is not 0; "0" alone for zero, never "-0".
bool WellFormedCellText(const std::string& text) {
  std::size_t i = text.starts_with('-') ? 1 : 0;
  const std::size_t integer_begin = i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  if (i == integer_begin || (text[integer_begin] == '0' && i - integer_begin > 1)) return false;
  if (i < text.size()) {
    if (text[i] != DecimalSeparator()) return false;
    const std::size_t fraction = text.size() - i - 1;
    if (fraction == 0 || fraction > 3 || text.back() == '0') return false;
    for (++i; i < text.size(); ++i) {
      if (text[i] < '0' || text[i] > '9') return false;
    }
  }
  return text != "-0";
}

void CheckCellForm(double v) {
  const std::string text = CellNumberText(v);
  const std::string described = Described(v, text);
  Require(text.find(' ') == std::string::npos, "a cell form holds no blank", described);
  if (std::isnan(v) || std::isinf(v)) {
    Require(text == (std::isnan(v) ? "NAN" : "INF"), "INF and NAN", described);
    return;
  }
  const NumberResult back = ReadBack(text);
  Require(back.error == 0, "a cell form reads as a number", described);
  if (std::fabs(v) >= kCellLimit) return;
  Require(WellFormedCellText(text), "the shape of a cell form", described);
  Require(std::signbit(v) || !text.starts_with('-'), "a minus only for negative values", described);
  const long double v_wide = v;
  Require(std::fabs(back.value - v_wide) <= kHalfCellUnit + std::fabs(v_wide) * kEighteenDigitSlack,
          "a cell form reads back within 0.0005", described);
  if (std::fabs(v) < kCellRepeatLimit) {
    Require(CellNumberText(ToBinary64(back.value)) == text,
            "a cell form read back shows the same text", described);
  }
}

bool IsSignallingNaN(double v) {
  const auto bits = std::bit_cast<std::uint64_t>(v);
  return std::isnan(v) && (bits & 0x0008000000000000) == 0;
}

// A signalling NaN shown in a cell or a label is an invalid operation.
void CheckSignallingNaN(double v) {
  const auto raises = [](auto show) {
    try {
      (void)show();
    } catch (const EInvalidOp&) {
      return true;
    }
    return false;
  };
  const std::string described = Described(v, "");
  Require(raises([v] { return CellText(v, 0); }) && raises([v] { return CellText(0, v); }),
          "a signalling NaN in a cell raises", described);
  Require(raises([v] { return IntervalLabel(v); }), "a signalling NaN in a label raises",
          described);
}

void CheckGeneralForm(double v) {
  const std::string text = GeneralRealText(v);
  const std::string described = Described(v, text);
  Require(IntervalLabel(v) == "До " + text, "an interval label", described);
  Require(ExtractWord(IntervalLabel(v), 2) == text, "word 2 of a label is the bound", described);
  if (std::isnan(v) || std::isinf(v)) {
    Require(text == (std::isnan(v) ? "NAN" : "INF"), "INF and NAN", described);
    return;
  }
  const NumberResult back = ReadBack(text);
  Require(back.error == 0, "a general form reads as a number", described);
  const long double v_wide = v;
  Require(std::fabs(back.value - v_wide) <=
              std::fabs(v_wide) * (kHalfGeneralUnit + kEighteenDigitSlack),
          "a general form reads back within half a unit of its last digit", described);
  if (std::fabs(back.value) > DBL_MAX) {
    // Only the very largest values show 15 digits beyond the binary64 range.
    Require(std::fabs(v) > 1.797693134862315e308, "a general form beyond binary64", described);
    return;
  }
  Require(GeneralRealText(ToBinary64(back.value)) == text,
          "a general form read back shows the same text", described);
}

}  // namespace
}  // namespace tol::fuzz

// Input: the separator choice in byte 0, then any number of 8-byte values.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  tol::SetDecimalSeparator((data[0] & 1) != 0 ? ',' : '.');
  for (std::size_t at = 1; at + 8 <= size; at += 8) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, data + at, 8);
    const double v = std::bit_cast<double>(bits);
    if (tol::fuzz::IsSignallingNaN(v)) {
      tol::fuzz::CheckSignallingNaN(v);
      continue;
    }
    tol::fuzz::CheckCellForm(v);
    tol::fuzz::CheckGeneralForm(v);
  }
  return 0;
}
