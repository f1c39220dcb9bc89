#pragma once
// Comma-separated text as spreadsheets write it: fields split by "," (or by ";", as a
// spreadsheet in a locale with decimal commas writes them), records by CRLF, LF or CR; a field
// in double quotes may hold separators, line breaks and quotes written twice ("").

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tol {

struct CsvRecord {
  std::size_t line;  // 1-based line of the text where the record starts
  std::vector<std::string> fields;
};

// The records of text, a leading UTF-8 byte-order mark skipped. Empty lines are no records.
// Raises CsvError for a quoted field that never closes or has text after its closing quote.
[[nodiscard]] std::vector<CsvRecord> ParseCsv(std::string_view text, char separator = ',');

// The separator of a text: the first "," or ";" outside quotes on its first line; "," when
// there is none.
[[nodiscard]] char HeaderSeparator(std::string_view text);

// One record: the fields joined by separator, each quoted when it holds the separator, a quote
// or a line break, ended by "\n".
[[nodiscard]] std::string CsvLine(const std::vector<std::string>& fields, char separator = ',');

}  // namespace tol
