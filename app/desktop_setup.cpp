#include "app/desktop_setup.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "toolkit/built_in_picture.h"

// The icons are compiled into this static library and registered explicitly, since nothing
// refers to a static initialiser the linker could otherwise drop.
static void RegisterIcons() { Q_INIT_RESOURCE(icons); }

namespace app {

// The pictures are read when a window first shows its icon (a platform without window icons
// never reads them), not before the first frame.
void SetUpDesktopIdentity() {
  RegisterIcons();
  QApplication::setWindowIcon(tk::DeferredIcon([] {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
      icon.addPixmap(tk::ReadBuiltInPicture(QStringLiteral(":/icons/%1/toledit.png").arg(size)));
    }
    return icon;
  }));
  QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopName));
}

bool InstallQtTranslation(const QLocale& locale) {
  // One translator for the program's life; a later call replaces what it holds.
  static QTranslator translator;
  QCoreApplication::removeTranslator(&translator);
  if (!translator.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    return false;
  }
  return QCoreApplication::installTranslator(&translator);
}

}  // namespace app
