#include "tools/csv_table.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "data/errors.h"
#include "data/number_text.h"
#include "data/table_codec.h"
#include "tools/tool_errors.h"

namespace tol {
namespace {

std::string TrimmedBlanks(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

enum class Reading { kNumber, kNotANumber, kOutOfRange };

// How a CSV number's word reads: a number, or refused as no number or as beyond the finite
// binary64 range (an exponent such as 1e6000 that reads as infinity, or a mantissa too long to
// scale).
Reading ReadNumberWord(const std::string& word) {
  try {
    const NumberResult number = NumberFromText(word);
    if (number.error != 0) return Reading::kNotANumber;
    return std::isfinite(ToBinary64(number.value)) ? Reading::kNumber : Reading::kOutOfRange;
  } catch (const EOverflow&) {
    return Reading::kOutOfRange;
  }
}

// A field as an error message quotes it: a very long one is cut.
std::string Quoted(const std::string& field) {
  constexpr std::size_t kShown = 40;
  if (field.size() <= kShown) return "\"" + field + "\"";
  return "\"" + field.substr(0, kShown) + "...\" (" + std::to_string(field.size()) + " characters)";
}

// The field as the one word a label or cell text holds for it: blanks around it cut, its
// decimal comma made a point. Raises CsvError unless the whole word reads as a binary64 number.
std::string NumberWord(const std::string& field, std::size_t line, std::size_t column) {
  std::string word = TrimmedBlanks(field);
  if (const std::size_t comma = word.find(','); comma != std::string::npos) word[comma] = '.';
  if (word.empty()) throw CsvError(line, column, "the value is empty");
  switch (ReadNumberWord(word)) {
    case Reading::kNumber: return word;
    case Reading::kNotANumber: throw CsvError(line, column, Quoted(field) + " is not a number");
    case Reading::kOutOfRange: break;
  }
  throw CsvError(line, column, Quoted(field) + " is beyond the range of the file's numbers");
}

std::int32_t CheckedCount(std::size_t count, std::size_t line, const char* what) {
  if (count >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    throw CsvError(line, 1, std::string("too many ") + what + " for a tolerance file");
  }
  return static_cast<std::int32_t>(count + 1);
}

void CheckFieldCount(const CsvRecord& record, std::size_t expected) {
  const std::size_t count = record.fields.size();
  if (count == expected) return;
  // The column named is the first one missing, or the first one too many.
  throw CsvError(
      record.line, std::min(count, expected) + 1,
      std::to_string(count) + " fields where the header has " + std::to_string(expected));
}

void SetIntervalRow(MemoryTable& table, std::int32_t row, const CsvRecord& record) {
  table.SetCell(0, row, "До " + NumberWord(record.fields[0], record.line, 1));
  for (std::size_t grade = 1; 2 * grade < record.fields.size(); ++grade) {
    const std::size_t upper = 2 * grade - 1;
    const std::string cell = NumberWord(record.fields[upper], record.line, upper + 1) + " " +
                             NumberWord(record.fields[upper + 1], record.line, upper + 2);
    table.SetCell(static_cast<std::int32_t>(grade), row, cell);
  }
}

// Word n of a label or cell text with "." for its decimal point, whatever separator the texts
// were made with.
std::string CsvNumber(const std::string& text, std::int32_t n) {
  std::string word = ExtractWord(text, n);
  if (const std::size_t comma = word.find(','); comma != std::string::npos) word[comma] = '.';
  return word;
}

// A number word with the decimal point a spreadsheet of the separator's locale reads: "."
// beside ",", "," beside ";".
std::string WithPoint(std::string word, char separator) {
  if (separator == ';') std::replace(word.begin(), word.end(), '.', ',');
  return word;
}

// A ";" inside a lone header field: the file is ";"-separated but its header is quoted whole.
void CheckHeaderSplit(const CsvRecord& header) {
  if (header.fields.size() == 1 && header.fields[0].find(';') != std::string::npos) {
    throw CsvError(header.line, 1,
                   "the header is one field holding \";\"; fields must be separated by \";\" or "
                   "\",\" outside quotes");
  }
}

// A number word for export, refused when an import would refuse it: the CSV then holds only
// what reads back.
const std::string& ExportedNumber(const std::string& word, const std::string& label,
                                  const std::string& grade) {
  if (ReadNumberWord(word) != Reading::kNumber) throw UnexportableValue(label, grade, word);
  return word;
}

}  // namespace

MemoryTable TableFromCsv(std::string_view csv, NameCase name_case) {
  const std::vector<CsvRecord> records = ParseCsv(csv, HeaderSeparator(csv));
  if (records.empty()) throw CsvError(1, 1, "there is no header record");
  const CsvRecord& header = records.front();
  CheckHeaderSplit(header);
  const std::vector<std::string> names = GradeNamesFromHeader(header, name_case);
  const std::int32_t cols = CheckedCount(names.size(), header.line, "grades");
  const std::int32_t rows = CheckedCount(records.size() - 1, records.back().line, "intervals");

  MemoryTable table(cols, rows);
  table.SetCell(0, 0, kCornerText);
  for (std::size_t c = 0; c < names.size(); ++c)
    table.SetCell(static_cast<std::int32_t>(c + 1), 0, names[c]);
  for (std::size_t r = 1; r < records.size(); ++r) {
    CheckFieldCount(records[r], header.fields.size());
    SetIntervalRow(table, static_cast<std::int32_t>(r), records[r]);
  }
  return table;
}

std::string CsvFromTable(const CellTable& table, char separator) {
  std::vector<std::string> titles{std::string(kBoundTitle)};
  for (std::int32_t c = 1; c < table.ColCount(); ++c) {
    const std::string name = GradeNameTitle(table.GetCell(c, 0));
    titles.push_back(name + std::string(kUpperSuffix));
    titles.push_back(name + std::string(kLowerSuffix));
  }
  std::string csv = CsvLine(titles, separator);
  for (std::int32_t r = 1; r < table.RowCount(); ++r) {
    const std::string label = table.GetCell(0, r);
    std::vector<std::string> fields{
        WithPoint(ExportedNumber(CsvNumber(label, 2), label, ""), separator)};
    for (std::int32_t c = 1; c < table.ColCount(); ++c) {
      const std::string cell = table.GetCell(c, r);
      const std::string grade = GradeNameTitle(table.GetCell(c, 0));
      fields.push_back(WithPoint(ExportedNumber(CsvNumber(cell, 1), label, grade), separator));
      fields.push_back(WithPoint(ExportedNumber(CsvNumber(cell, 2), label, grade), separator));
    }
    csv += CsvLine(fields, separator);
  }
  return csv;
}

}  // namespace tol
