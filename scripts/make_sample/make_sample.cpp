// Builds the sample tolerance file from a CSV table of limit deviations:
//   make_sample <deviations.csv> <output file>
// The same import as "tolcsv import --force --case-sensitive-names": the sample holds hole and
// shaft classes whose names differ only in case (H7 and h7), and it is rebuilt in place.

#include <iostream>

#include "data/errors.h"
#include "tools/csv_commands.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_sample <deviations.csv> <output file>\n";
    return 2;
  }
  try {
    const tol::ImportedCounts counts = tol::ImportCsvFile(
        argv[1], argv[2], {.replace_existing = true, .name_case = tol::NameCase::kSignificant});
    std::cout << "wrote " << counts.intervals << " intervals x " << counts.grades << " classes to "
              << argv[2] << "\n";
    return 0;
  } catch (const tol::Exception& e) {
    std::cerr << "make_sample: " << e.Message() << "\n";
  }
  return 1;
}
