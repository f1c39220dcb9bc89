// The editor started as its menu entry starts it: the open-file dialog asks for the file, a
// cancel ends the program quietly, a chosen file is edited; a FILE given skips the dialog.

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/editor_start.h"
#include "tests/support/modal_answer.h"
#include "toolkit/application.h"
#include "toolkit/string_grid.h"
#include "ui/main_window.h"

namespace {

// A two-interval, one-grade table.
QByteArray SmallTable() {
  QByteArray bytes;
  const std::int32_t counts[] = {2, 1};
  const double bounds[] = {10, 18};
  const double values[] = {0.018, 0, 0.021, 0};
  bytes.append(reinterpret_cast<const char*>(counts), sizeof counts);
  bytes.append(reinterpret_cast<const char*>(bounds), sizeof bounds);
  bytes.append("h7    ", 6);
  bytes.append(reinterpret_cast<const char*>(values), sizeof values);
  return bytes;
}

// Closes the main window once it shows its loaded table, noting the title it had.
class LoadedWindowCloser {
 public:
  LoadedWindowCloser() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (Form1 == nullptr || !Form1->isVisible() || !Form1->FileFound()) return;
      if (QApplication::activeModalWidget() != nullptr) return;
      title_ = Form1->windowTitle();
      firstLabel_ = QString::fromStdString(Form1->StringGrid1->GetCell(0, 1));
      Form1->RequestClose();
    });
    timer_.start(10);
  }
  QString title_;
  QString firstLabel_;

 private:
  QTimer timer_;
};

}  // namespace

class TestEditorStart : public QObject {
  Q_OBJECT

 private slots:
  void cancelEndsQuietly();
  void chosenFileIsEdited();
  void givenFileSkipsTheDialog();
};

void TestEditorStart::cancelEndsQuietly() {
  tktest::ModalAnswerer answers;
  QStringList filters;
  answers.QueueDialogAction([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    QVERIFY(dialog != nullptr);
    filters = dialog->nameFilters();
    QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFile);
    dialog->reject();
  });
  answers.QueueBoxAnswer(QMessageBox::Ok);  // answers a box, which must not come
  app::StartRequest request;
  request.choose_file = true;
  QCOMPARE(app::StartEditor(request), 0);
  QCOMPARE(filters, (QStringList{"Файл допусков (Zarava.win)", "Все файлы (*)"}));
  QVERIFY(answers.Seen().isEmpty());
  QCOMPARE(Form1, nullptr);
  const auto windows = QApplication::topLevelWidgets();
  QVERIFY(std::none_of(windows.begin(), windows.end(), [](QWidget* w) { return w->isVisible(); }));
}

void TestEditorStart::chosenFileIsEdited() {
  QTemporaryDir dir;
  QFile file(dir.filePath("Zarava.win"));
  QVERIFY(file.open(QIODevice::WriteOnly) && file.write(SmallTable()) > 0);
  file.close();
  tktest::ModalAnswerer answers;
  answers.QueueDialogAction([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    QVERIFY(dialog != nullptr);
    // Typed into the name field, as a user would; the dialog's own listing fills in later.
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(name != nullptr);
    name->setText(file.fileName());
    static_cast<QDialog*>(dialog)->accept();  // public there, and still the dialog's own
  });
  LoadedWindowCloser closer;
  app::StartRequest request;
  request.choose_file = true;
  QCOMPARE(app::StartEditor(request), 0);
  QCOMPARE(closer.title_, QStringLiteral("Zarava.win — Редактор файла допусков"));
  QCOMPARE(closer.firstLabel_, QStringLiteral("До 10"));
  QVERIFY(answers.Seen().isEmpty());
}

void TestEditorStart::givenFileSkipsTheDialog() {
  QTemporaryDir dir;
  QFile file(dir.filePath("t.win"));
  QVERIFY(file.open(QIODevice::WriteOnly) && file.write(SmallTable()) > 0);
  file.close();
  tktest::ModalAnswerer answers;
  answers.QueueDialogAction([](QWidget*) { QFAIL("a dialog came up"); });
  LoadedWindowCloser closer;
  app::StartRequest request;
  request.choose_file = true;
  request.file = QFile::encodeName(file.fileName()).toStdString();
  QCOMPARE(app::StartEditor(request), 0);
  QCOMPARE(closer.title_, QStringLiteral("t.win — Редактор файла допусков"));
  QCOMPARE(answers.Pending(), 1);
}

int main(int argc, char** argv) {
  tk::Application application(argc, argv);
  TestEditorStart test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_editor_start.moc"
