#pragma once
// Whole-file reads and writes of the command-line tools, and the safe making of a tolerance
// file. "-" as a text path names standard input or output.

#include <string>

#include "data/tolerance_file.h"

namespace tol {

// Raises ToolFileError with the system's reason when the file cannot be read.
[[nodiscard]] std::string ReadTextFile(const std::string& path);

// Creates or overwrites the file with text. Raises ToolFileError.
void WriteTextFile(const std::string& path, const std::string& text);

// Stores table as the tolerance file at path, which holds exactly the table afterwards.
// Without replace an existing path is refused (ToolFileError) and left alone; with it the
// table is stored into a new file beside the old one, which takes the old one's permissions
// and then its place, so a failure leaves the old file as it was. A store that fails on a
// new path removes what it made.
void WriteTableFile(const CellTable& table, const std::string& path, bool replace);

}  // namespace tol
