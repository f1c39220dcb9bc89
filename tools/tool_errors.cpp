#include "tools/tool_errors.h"

namespace tol {

CsvError::CsvError(std::size_t line, std::size_t column, const std::string& problem)
    : Exception("line " + std::to_string(line) + ", column " + std::to_string(column) + ": " +
                problem),
      line_(line),
      column_(column) {}

UnexportableValue::UnexportableValue(const std::string& interval, const std::string& grade,
                                     const std::string& text)
    : Exception("interval \"" + interval + "\"" +
                (grade.empty() ? ": the bound \"" : ", grade \"" + grade + "\": the value \"") +
                text + "\" would not read back from CSV, so nothing was exported") {}

ToolFileError::ToolFileError(const std::string& path, const std::string& problem)
    : Exception(path + ": " + problem) {}

}  // namespace tol
