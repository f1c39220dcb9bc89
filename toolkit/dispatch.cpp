#include "toolkit/dispatch.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QWidget>

#include "toolkit/message_box.h"

namespace tk {

namespace {

// A report interrupts whatever the mouse was doing: a drag in progress, an open menu.
void CancelMouseModes() {
  if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
  // Closing a popup may open no other, but bound the loop in case one refuses to close.
  for (int attempt = 0; attempt < 8; ++attempt) {
    QWidget* popup = QApplication::activePopupWidget();
    if (popup == nullptr) break;
    popup->close();
  }
}

}  // namespace

void ReportException(const std::exception& error) {
  CancelMouseModes();
  // The period is always added, also after a message that ends in one.
  const std::string text = std::string(error.what()) + ".";
  ShowMessageBox(text, ApplicationTitle().toStdString(), MB_OK_ICONERROR);
}

QString TitleFromFileName(const QString& file_name) {
  const QString stem = file_name.section(QLatin1Char('.'), 0, 0);
  if (stem.isEmpty()) return stem;
  return stem.left(1) + stem.mid(1).toLower();
}

QString ApplicationTitle() {
  return TitleFromFileName(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
}

}  // namespace tk
