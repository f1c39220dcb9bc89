// The tolerance file named on the command line in place of "Zarava.win" in the current folder.

#include <QFileInfo>

#include "data/tolerance_file.h"
#include "ui/main_window.h"

void TForm1::OpenNamedFile(const std::string& given) {
  file_name_ = tol::ToleranceFileAt(given);
  const QString name = QFileInfo(QFile::decodeName(file_name_.c_str())).fileName();
  setWindowTitle(name + QStringLiteral(" — ") + windowTitle());
}
