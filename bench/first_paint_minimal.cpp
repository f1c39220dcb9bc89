// The baseline of the start-up benchmark: the smallest Qt Widgets program that shows a window
// with a text, ending at its first painted frame as the editor does (TOL_FIRST_PAINT_REPORT).

#include <QApplication>
#include <QLabel>

#include "toolkit/first_paint_probe.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QLabel window(QStringLiteral("Редактор файла допусков"));
  tk::ReportFirstPaintWhenAsked(&window, [] { return true; });
  window.show();
  return application.exec();
}
