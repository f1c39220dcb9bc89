#include "tools/csv_commands.h"

#include "data/memory_table.h"
#include "data/tolerance_file.h"
#include "tools/csv_table.h"
#include "tools/shortest_numbers.h"
#include "tools/tool_files.h"

namespace tol {

namespace {

// The file layer opens a tolerance file for reading and writing, as the editor needs; an
// export only reads. So the file is read as it is and its bytes are loaded, which also lets a
// read-only file, or standard input, be exported.
MemoryTable LoadTableReadOnly(const std::string& bytes) {
  MemoryTable table;
  LoadTableFromBytes(table, bytes);
  return table;
}

}  // namespace

// The load checks the bytes and gives the names; the numbers are then taken from the bytes
// themselves, in full.
void ExportCsvFile(const std::string& table_path, const std::string& csv_path, char separator) {
  const std::string bytes = ReadTextFile(table_path);
  MemoryTable table = LoadTableReadOnly(bytes);
  UseShortestNumbers(table, bytes);
  WriteTextFile(csv_path, CsvFromTable(table, separator));
}

ImportedCounts ImportCsvFile(const std::string& csv_path, const std::string& table_path,
                             const ImportOptions& options) {
  const MemoryTable table = TableFromCsv(ReadTextFile(csv_path), options.name_case);
  WriteTableFile(table, table_path, options.replace_existing);
  return {table.RowCount() - 1, table.ColCount() - 1};
}

}  // namespace tol
