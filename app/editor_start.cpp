#include "app/editor_start.h"

#include <QAbstractScrollArea>
#include <QFile>
#include <QFileDialog>
#include <optional>

#include "toolkit/application.h"
#include "toolkit/first_paint_probe.h"
#include "toolkit/string_grid.h"
#include "ui/main_window.h"

namespace app {

namespace {

std::optional<std::string> ChooseFile() {
  const QString chosen =
      QFileDialog::getOpenFileName(nullptr, QStringLiteral("Открыть файл допусков"), QString(),
                                   QStringLiteral("Файл допусков (Zarava.win);;Все файлы (*)"));
  if (chosen.isEmpty()) return std::nullopt;
  return QFile::encodeName(chosen).toStdString();
}

}  // namespace

int StartEditor(const StartRequest& request) {
  std::string file = request.file;
  if (file.empty() && request.choose_file) {
    std::optional<std::string> chosen = ChooseFile();
    if (!chosen) return 0;
    file = std::move(*chosen);
  }
  Form1 = new TForm1;
  if (!file.empty()) Form1->OpenNamedFile(file);
  tk::ReportFirstPaintWhenAsked(Form1->StringGrid1->viewport(), [] { return Form1->FileFound(); });
  const int code = tk::Application::Instance()->Run();
  delete Form1;
  Form1 = nullptr;
  return code;
}

}  // namespace app
