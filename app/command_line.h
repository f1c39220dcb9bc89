#pragma once
// The editor's command line: Toledit [--choose-file] [FILE], --help and --version, read by the
// usual conventions before any window exists, so that the answers need no display.

#include <QString>
#include <QStringList>
#include <string>

namespace app {

struct StartRequest {
  enum class Action {
    kEdit,     // open the editor
    kHelp,     // print text on standard output, exit 0
    kVersion,  // the same
    kError,    // print text (one line) on standard error, exit 2
  };
  Action action = Action::kEdit;
  std::string file;          // the FILE argument as given; empty: "Zarava.win" here
  bool choose_file = false;  // without FILE, ask for it with the open-file dialog
  QString text;              // what help, version or an error prints
};

inline constexpr int kUsageExitCode = 2;

// Reads the arguments after the program name (argv[1] onwards, as the bytes the system gave).
[[nodiscard]] StartRequest ParseCommandLine(int argc, const char* const* argv);

// Prints a request's text where it belongs and gives the exit code; for a request other than
// kEdit.
[[nodiscard]] int Answer(const StartRequest& request);

}  // namespace app
