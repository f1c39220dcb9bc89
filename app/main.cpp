// Starts the editor: the command line first (its answers need no display), then the
// application with its run-time settings, the main window and the loop.

#include <QLocale>

#include "app/command_line.h"
#include "app/desktop_setup.h"
#include "app/editor_start.h"
#include "toolkit/application.h"

int main(int argc, char** argv) {
  const app::StartRequest request = app::ParseCommandLine(argc, argv);
  if (request.action != app::StartRequest::Action::kEdit) return app::Answer(request);
  // The arguments are the editor's alone: Qt sees only the program name, so a FILE that looks
  // like one of Qt's own options is still a file.
  int qt_argc = 1;
  tk::Application application(qt_argc, argv);
  app::SetUpDesktopIdentity();
  (void)app::InstallQtTranslation(QLocale());
  return app::StartEditor(request);
}
