// tolcsv: moves a tolerance table between its binary file and a CSV table for spreadsheets.
//   tolcsv export <tolerance file> <out.csv | -> [--semicolon]
//   tolcsv import <in.csv | -> <tolerance file> [--force] [--case-sensitive-names]
//   tolcsv iso <class>... --bounds <b1,b2,...> [--js-even]

#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "data/errors.h"
#include "data/file_system.h"
#include "tol_version.h"
#include "tools/csv_commands.h"
#include "tools/csv_table.h"
#include "tools/iso_table.h"
#include "tools/tool_errors.h"

namespace {

constexpr int kFailed = 1;
constexpr int kUsageError = 2;

constexpr std::string_view kUsage =
    "usage: tolcsv export <tolerance file> <out.csv> [--semicolon]\n"
    "       tolcsv import <in.csv> <tolerance file> [--force] [--case-sensitive-names]\n"
    "       tolcsv iso <class>... --bounds <b1,b2,...> [--js-even]\n"
    "\"-\" for a CSV path means standard output or input.\n"
    "--semicolon            write \";\" between fields and decimal commas\n"
    "--force                replace an existing tolerance file\n"
    "--case-sensitive-names kept for scripts: grade names are always compared exactly\n"
    "import reads \",\" or \";\" between fields, as the header line has it.\n"
    "iso                    writes to standard output the ISO 286 limit deviations of the\n"
    "                       classes (H7 g6 js6 ...) up to each bound in mm, in export's CSV\n"
    "--js-even              JS7..JS11 and js7..js11 of an odd IT rounded to the even value\n"
    "                       below, as ISO 286 permits\n";

int Usage() {
  std::cerr << kUsage;
  return kUsageError;
}

int Export(const std::vector<std::string>& args) {
  std::vector<std::string> paths;
  char separator = ',';
  for (const std::string& arg : args) {
    if (arg == "--semicolon") {
      separator = ';';
    } else if (arg.starts_with("--")) {
      return Usage();
    } else {
      paths.push_back(arg);
    }
  }
  if (paths.size() != 2) return Usage();
  tol::ExportCsvFile(paths[0], paths[1], separator);
  return 0;
}

int Import(const std::vector<std::string>& args) {
  std::vector<std::string> paths;
  tol::ImportOptions options;
  for (const std::string& arg : args) {
    if (arg == "--force") {
      options.replace_existing = true;
    } else if (arg == "--case-sensitive-names") {
      // Names are compared exactly anyway (H7 and h7 are different classes).
    } else if (arg.starts_with("--")) {
      return Usage();
    } else {
      paths.push_back(arg);
    }
  }
  if (paths.size() != 2) return Usage();
  try {
    const tol::ImportedCounts counts = tol::ImportCsvFile(paths[0], paths[1], options);
    std::cerr << "tolcsv: wrote " << counts.intervals << " intervals x " << counts.grades
              << " grades to " << paths[1] << "\n";
  } catch (const tol::CsvError& e) {
    const std::string source = paths[0] == "-" ? "standard input" : paths[0];
    std::cerr << "tolcsv: " << source << ": " << e.Message() << "\n";
    return kFailed;
  }
  return 0;
}

int Iso(const std::vector<std::string>& args) {
  std::vector<std::string> classes;
  std::string bounds;
  auto rounding = tol::iso286::JsRounding::kExact;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--bounds" && i + 1 < args.size() && bounds.empty()) {
      bounds = args[++i];
    } else if (args[i] == "--js-even") {
      rounding = tol::iso286::JsRounding::kEvenBelow;
    } else if (args[i].starts_with("--")) {
      return Usage();
    } else {
      classes.push_back(args[i]);
    }
  }
  if (classes.empty() || bounds.empty()) return Usage();
  const tol::MemoryTable table = tol::IsoTable(classes, tol::BoundsFromList(bounds), rounding);
  std::cout << tol::CsvFromTable(table);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  tol::IgnoreFileSizeSignal();
  const std::vector<std::string> args(argv + (argc > 1 ? 2 : argc), argv + argc);
  const std::string command = argc > 1 ? argv[1] : "";
  try {
    if (command == "export") return Export(args);
    if (command == "import") return Import(args);
    if (command == "--version" && args.empty()) {
      std::cout << "tolcsv " TOL_VERSION "\n";
      return 0;
    }
    if (command == "--help" && args.empty()) {
      std::cout << kUsage;
      return 0;
    }
    if (command == "iso") return Iso(args);
    return Usage();
  } catch (const tol::Exception& e) {
    std::cerr << "tolcsv: " << e.Message() << "\n";
  }
  return kFailed;
}
