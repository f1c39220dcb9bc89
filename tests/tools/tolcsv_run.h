#pragma once
// Runs the built tolcsv program through the shell in the current directory, as a user runs it,
// and checks how it ends.

#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/data/file_test_support.h"

namespace tol::testing {

struct ToolRun {
  int exit_code;
  std::string errors;  // standard error
  std::string output;  // standard output, when it was sent to a file
};

// The arguments are shell words (quoted where needed, redirections allowed). With output_file,
// standard output goes to that file and comes back in the result.
inline ToolRun RunTolcsv(const std::string& arguments, const std::string& output_file = {}) {
  std::string command = std::string(TOL_TOLCSV_PROGRAM) + " " + arguments + " 2>errors.txt";
  if (!output_file.empty()) command += " >" + output_file;
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile("errors.txt").value_or(""),
          output_file.empty() ? std::string() : ReadFile(output_file).value_or("")};
}

// A command line, the exit code it ends with and a part of what it writes to standard error.
struct ExpectedEnd {
  std::string arguments;
  int exit_code;
  std::string message;
};

// Runs each row with the subcommand before its arguments. With output_file, a run that fails
// must write nothing to standard output.
inline void ExpectEnds(const std::vector<ExpectedEnd>& rows, const std::string& subcommand = {},
                       const std::string& output_file = {}) {
  for (const ExpectedEnd& row : rows) {
    const ToolRun run = RunTolcsv(subcommand + row.arguments, output_file);
    EXPECT_EQ(run.exit_code, row.exit_code) << row.arguments << "\n" << run.errors;
    EXPECT_NE(run.errors.find(row.message), std::string::npos) << row.arguments << "\n"
                                                               << run.errors;
    if (!output_file.empty() && run.exit_code != 0) {
      EXPECT_EQ(run.output, "") << row.arguments;
    }
  }
}

}  // namespace tol::testing
