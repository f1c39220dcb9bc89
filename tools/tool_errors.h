#pragma once
// Errors of the command-line tools. Both carry a message ready to print after the tool's name.

#include <cstddef>
#include <string>

#include "data/errors.h"

namespace tol {

// A fault in a CSV table, at a 1-based line of the text and a 1-based field number in that line.
class CsvError : public Exception {
 public:
  CsvError(std::size_t line, std::size_t column, const std::string& problem);
  [[nodiscard]] std::size_t Line() const { return line_; }
  [[nodiscard]] std::size_t Column() const { return column_; }

 private:
  std::size_t line_;
  std::size_t column_;
};

// A number of a tolerance table that no CSV import would read back (an infinity or a NaN the
// file holds, or a bound whose text rounds beyond binary64), named by interval and grade ("" for
// the interval's bound).
class UnexportableValue : public Exception {
 public:
  UnexportableValue(const std::string& interval, const std::string& grade, const std::string& text);
};

// A file a tool cannot read or write, or a target it will not replace.
class ToolFileError : public Exception {
 public:
  ToolFileError(const std::string& path, const std::string& problem);
};

}  // namespace tol
