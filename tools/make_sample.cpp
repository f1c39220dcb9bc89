// Builds a tolerance file from a CSV table of limit deviations, through the data layer:
//   make_sample <deviations.csv> <output file>
// The CSV has a header "upper_bound_mm,<class>_upper,<class>_lower,..." and one row per size
// interval. Rows become intervals labelled by their upper bound, columns become tolerance
// classes (names blank-padded to 6 characters), and each cell holds "upper lower".

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "data/errors.h"
#include "data/memory_table.h"
#include "data/tolerance_file.h"

namespace {

constexpr std::size_t kNameLength = 6;

std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream stream(line);
  std::string field;
  while (std::getline(stream, field, ',')) fields.push_back(field);
  if (!line.empty() && line.back() == ',') fields.emplace_back();
  return fields;
}

std::string WithoutSuffix(const std::string& column, const std::string& suffix) {
  if (column.size() <= suffix.size() || column.compare(column.size() - suffix.size(), suffix.size(), suffix) != 0) {
    throw std::runtime_error("unexpected column \"" + column + "\", wanted a name ending in " + suffix);
  }
  return column.substr(0, column.size() - suffix.size());
}

// Class names from the header: "upper_bound_mm", then "<class>_upper", "<class>_lower" pairs.
std::vector<std::string> ClassNames(const std::vector<std::string>& header) {
  if (header.empty() || header[0] != "upper_bound_mm" || header.size() % 2 != 1) {
    throw std::runtime_error("the header must be upper_bound_mm followed by pairs of columns");
  }
  std::vector<std::string> names;
  for (std::size_t i = 1; i < header.size(); i += 2) {
    const std::string name = WithoutSuffix(header[i], "_upper");
    if (WithoutSuffix(header[i + 1], "_lower") != name) throw std::runtime_error("unpaired column " + header[i + 1]);
    if (name.size() > kNameLength) throw std::runtime_error("class name longer than 6: " + name);
    names.push_back(name + std::string(kNameLength - name.size(), ' '));
  }
  return names;
}

tol::MemoryTable TableFromCsv(const std::string& csv_path) {
  std::ifstream in(csv_path);
  if (!in) throw std::runtime_error("cannot read " + csv_path);
  std::string line;
  if (!std::getline(in, line)) throw std::runtime_error("empty CSV " + csv_path);
  const std::vector<std::string> names = ClassNames(SplitFields(line));
  std::vector<std::vector<std::string>> rows;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    std::vector<std::string> fields = SplitFields(line);
    if (fields.size() != 1 + 2 * names.size()) throw std::runtime_error("wrong field count in: " + line);
    rows.push_back(std::move(fields));
  }
  tol::MemoryTable table(static_cast<std::int32_t>(names.size() + 1), static_cast<std::int32_t>(rows.size() + 1));
  table.SetCell(0, 0, "     мм  ");
  for (std::size_t c = 0; c < names.size(); ++c) table.SetCell(static_cast<std::int32_t>(c + 1), 0, names[c]);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const auto row = static_cast<std::int32_t>(r + 1);
    table.SetCell(0, row, "До " + rows[r][0]);
    for (std::size_t c = 0; c < names.size(); ++c) {
      table.SetCell(static_cast<std::int32_t>(c + 1), row, rows[r][1 + 2 * c] + " " + rows[r][2 + 2 * c]);
    }
  }
  return table;
}

// The store writes only into an existing file and never shrinks it, so start from empty.
void CreateEmpty(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0 || ::close(fd) != 0) throw std::runtime_error("cannot create " + path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_sample <deviations.csv> <output file>\n";
    return 2;
  }
  try {
    const tol::MemoryTable table = TableFromCsv(argv[1]);
    CreateEmpty(argv[2]);
    tol::StoreTableTo(table, argv[2]);
    std::cout << "wrote " << table.RowCount() - 1 << " intervals x " << table.ColCount() - 1 << " classes to "
              << argv[2] << "\n";
    return 0;
  } catch (const tol::Exception& e) {
    std::cerr << "make_sample: " << e.Message() << "\n";
  } catch (const std::exception& e) {
    std::cerr << "make_sample: " << e.what() << "\n";
  }
  return 1;
}
