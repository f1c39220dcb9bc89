#pragma once
// Runs the editor for a start request: the file to edit (asked for with the open-file dialog
// when the menu entry started the editor without one), the main window and the event loop.

#include "app/command_line.h"

namespace app {

// Needs the application object; returns the program's exit code. With nothing chosen in the
// dialog the program ends quietly with 0 and no window.
[[nodiscard]] int StartEditor(const StartRequest& request);

}  // namespace app
