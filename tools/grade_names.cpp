#include "tools/grade_names.h"

#include <algorithm>

#include "data/table_codec.h"
#include "data/win1251.h"
#include "tools/tool_errors.h"

namespace tol {
namespace {

std::string WithoutTrailingBlanks(std::string_view text) {
  const std::size_t end = text.find_last_not_of(' ');
  return std::string(end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1));
}

// The lower-case form of one Windows-1251 byte: Latin A-Z, Cyrillic А-Я and Ё, and the
// capitals of the other Cyrillic letters the code page holds, paired as the code page pairs
// them.
unsigned char FoldedByte(unsigned char byte) {
  if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDF)) return byte + 0x20;
  switch (byte) {
    case 0x80: return 0x90;  // Ђ
    case 0x81: return 0x83;  // Ѓ
    case 0x8A: return 0x9A;  // Љ
    case 0x8C: return 0x9C;  // Њ
    case 0x8D: return 0x9D;  // Ќ
    case 0x8E: return 0x9E;  // Ћ
    case 0x8F: return 0x9F;  // Џ
    case 0xA1: return 0xA2;  // Ў
    case 0xA3: return 0xBC;  // Ј
    case 0xA5: return 0xB4;  // Ґ
    case 0xA8: return 0xB8;  // Ё
    case 0xAA: return 0xBA;  // Є
    case 0xAF: return 0xBF;  // Ї
    case 0xB2: return 0xB3;  // І
    case 0xBD: return 0xBE;  // Ѕ
    default: return byte;
  }
}

std::string ComparisonKey(const std::string& win1251_name, NameCase name_case) {
  std::string key = win1251_name;
  if (name_case == NameCase::kIgnored) {
    for (char& c : key) c = static_cast<char>(FoldedByte(static_cast<unsigned char>(c)));
  }
  return key;
}

// The name in Windows-1251, one byte per character, after the checks a name must pass.
std::string CheckedName(const std::string& name, std::size_t line, std::size_t column) {
  if (name.empty()) throw CsvError(line, column, "the grade name is empty");
  const std::string bytes = Utf8ToWin1251(name);
  if (Win1251ToUtf8(bytes) != name) {
    throw CsvError(line, column,
                   "the grade name \"" + name + "\" has characters outside Windows-1251");
  }
  if (bytes.size() > kNameSize) {
    throw CsvError(line, column, "the grade name \"" + name + "\" is longer than 6 characters");
  }
  if (std::any_of(bytes.begin(), bytes.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x20; })) {
    throw CsvError(line, column, "the grade name \"" + name + "\" has a control character");
  }
  return bytes;
}

// The name part of a column title that must end in suffix.
std::string NameOfTitle(const std::string& title, std::string_view suffix, std::size_t line,
                        std::size_t column) {
  if (!title.ends_with(suffix)) {
    throw CsvError(line, column,
                   "the column title \"" + title + "\" does not end in " + std::string(suffix));
  }
  return WithoutTrailingBlanks(std::string_view(title).substr(0, title.size() - suffix.size()));
}

}  // namespace

std::vector<std::string> GradeNamesFromHeader(const CsvRecord& header, NameCase name_case) {
  const std::vector<std::string>& titles = header.fields;
  if (titles.size() % 2 == 0) {
    throw CsvError(
        header.line, titles.size(),
        "the column \"" + titles.back() + "\" has no " + std::string(kLowerSuffix) + " partner");
  }
  std::vector<std::string> names;
  std::vector<std::string> keys;
  for (std::size_t upper = 1; upper < titles.size(); upper += 2) {
    const std::size_t column = upper + 1;  // 1-based column of the "_upper" title
    const std::string name = NameOfTitle(titles[upper], kUpperSuffix, header.line, column);
    if (NameOfTitle(titles[upper + 1], kLowerSuffix, header.line, column + 1) != name) {
      throw CsvError(
          header.line, column + 1,
          "expected \"" + name + std::string(kLowerSuffix) + "\" after \"" + titles[upper] + "\"");
    }
    const std::string key = ComparisonKey(CheckedName(name, header.line, column), name_case);
    const auto earlier = std::find(keys.begin(), keys.end(), key);
    if (earlier != keys.end()) {
      throw CsvError(header.line, column,
                     "the grade name \"" + name + "\" repeats \"" +
                         GradeNameTitle(names[earlier - keys.begin()]) + "\" of column " +
                         std::to_string(2 * (earlier - keys.begin()) + 2));
    }
    keys.push_back(key);
    names.push_back(name + std::string(kNameSize - Utf8ToWin1251(name).size(), ' '));
  }
  return names;
}

std::string GradeNameTitle(std::string_view name_cell) { return WithoutTrailingBlanks(name_cell); }

}  // namespace tol
