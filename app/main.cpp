// Starts the editor: the application with its run-time settings, the main window, the loop.

#include "toolkit/application.h"
#include "ui/main_window.h"

int main(int argc, char** argv) {
  tk::Application application(argc, argv);
  Form1 = new TForm1;
  const int code = application.Run();
  delete Form1;
  Form1 = nullptr;
  return code;
}
