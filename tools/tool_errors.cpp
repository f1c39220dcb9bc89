#include "tools/tool_errors.h"

namespace tol {

CsvError::CsvError(std::size_t line, std::size_t column, const std::string& problem)
    : Exception("line " + std::to_string(line) + ", column " + std::to_string(column) + ": " +
                problem),
      line_(line),
      column_(column) {}

ToolFileError::ToolFileError(const std::string& path, const std::string& problem)
    : Exception(path + ": " + problem) {}

}  // namespace tol
