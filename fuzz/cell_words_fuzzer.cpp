// Splits arbitrary texts into words and runs the acceptance of value cell texts on them,
// against a plain split written here: ExtractWord gives exactly the n-th run of non-blanks
// (never a text holding a blank, never an empty text for an existing word), and a cell text is
// accepted exactly when it is not empty and its first two words, commas read as points, are
// numbers, with those numbers as its values.

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "data/errors.h"
#include "data/number_text.h"
#include "fuzz/fuzz_check.h"

namespace tol::fuzz {
namespace {

std::vector<std::string> SplitAtBlanks(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  for (char c : text) {
    if (c != ' ') {
      word += c;
    } else if (!word.empty()) {
      words.push_back(std::move(word));
      word.clear();
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

void CheckWords(const std::string& text, std::int32_t n) {
  const std::vector<std::string> words = SplitAtBlanks(text);
  const std::string word = ExtractWord(text, n);
  Require(word.find(' ') == std::string::npos, "a word holds no blank", text);
  const std::size_t index = n <= 1 ? 0 : static_cast<std::size_t>(n) - 1;
  if (index < words.size()) {
    Require(!word.empty(), "an existing word is not empty", text);
    Require(word == words[index], "the n-th word", text);
  } else {
    Require(word.empty(), "a word beyond the last is empty", text);
  }
}

std::string CommasAsPoints(std::string text) {
  for (char& c : text) {
    if (c == ',') c = '.';
  }
  return text;
}

// The parser's reading of a word, or nothing when it overflows the extended range.
std::optional<NumberResult> Read(const std::string& word) {
  try {
    return NumberFromText(word);
  } catch (const EOverflow&) {
    return std::nullopt;
  }
}

bool SameNumber(long double a, long double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

void CheckAcceptance(const std::string& text) {
  const std::string copy = CommasAsPoints(text);
  const std::optional<NumberResult> first = Read(ExtractWord(copy, 1));
  const std::optional<NumberResult> second = Read(ExtractWord(copy, 2));
  CellParse parse{};
  try {
    parse = ParseCellText(text, false);
  } catch (const EOverflow&) {
    Require(!first || !second, "overflow without an overflowing word", text);
    return;
  }
  Require(first && second, "a word's overflow is lost", text);
  const bool accepted = !text.empty() && first->error == 0 && second->error == 0;
  Require(parse.accepted == accepted, "acceptance", text);
  Require(SameNumber(parse.first, first->value) && SameNumber(parse.second, second->value),
          "the two numbers", text);
  try {
    const CellParse converted = ParseCellText(text, true);
    Require(converted.accepted == parse.accepted, "acceptance with the numbers rounded", text);
    Require(CellTextAccepted(text) == parse.accepted, "acceptance without the numbers", text);
    Require(SameNumber(converted.first, static_cast<double>(parse.first)) &&
                SameNumber(converted.second, static_cast<double>(parse.second)),
            "the numbers rounded to binary64", text);
  } catch (const EOverflow&) {
    const auto beyond = [](long double v) { return std::isfinite(v) && std::fabs(v) > DBL_MAX; };
    Require(beyond(parse.first) || beyond(parse.second),
            "binary64 overflow of numbers within its range", text);
  }
  if (!accepted) return;
  // The file writer turns only the first comma of each word into a point; for an accepted
  // text that reads the same numbers.
  for (std::int32_t n : {1, 2}) {
    std::string word = ExtractWord(text, n);
    if (const std::size_t comma = word.find(','); comma != std::string::npos) word[comma] = '.';
    const NumberResult alone = NumberFromText(word);
    Require(alone.error == 0 && SameNumber(alone.value, n == 1 ? parse.first : parse.second),
            "the first comma alone as a point reads the same number", text);
  }
}

}  // namespace
}  // namespace tol::fuzz

// Input: the word number in byte 0 (as a signed byte), then the text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  tol::fuzz::CheckWords(text, static_cast<std::int8_t>(data[0]));
  tol::fuzz::CheckAcceptance(text);
  return 0;
}
