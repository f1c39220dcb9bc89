#pragma once
// The two directions between a tolerance file and a CSV file, as the command-line tools run
// them. The path "-" names standard input or output.

#include <string>

#include "tools/grade_names.h"

namespace tol {

// Writes the CSV text of the tolerance file at table_path, which needs only read access, with
// every number in the shortest form that reads back to the same binary64; separator ";"
// writes decimal commas. Raises what the load raises, and ToolFileError when a file cannot be
// read or written.
void ExportCsvFile(const std::string& table_path, const std::string& csv_path,
                   char separator = ',');

struct ImportOptions {
  bool replace_existing = false;  // otherwise an existing tolerance file is left alone
  NameCase name_case = NameCase::kSignificant;
};

// Builds the tolerance file at table_path from the CSV file at csv_path; returns the table's
// interval and grade counts. The whole CSV is checked before the file is touched. A new file
// holds exactly the table; a replaced one is swapped for a complete new file, so no bytes of
// the old table stay behind it. Raises CsvError, ToolFileError, or what the store raises.
struct ImportedCounts {
  int intervals;
  int grades;
};
ImportedCounts ImportCsvFile(const std::string& csv_path, const std::string& table_path,
                             const ImportOptions& options);

}  // namespace tol
