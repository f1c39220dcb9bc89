// The main window on a tolerance file named as a FILE argument names it: the forms of the name,
// the title, the files that are no tolerance file, and saving with the desktop's keys.

#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QMessageBox>
#include <QStyleOptionMenuItem>
#include <QTest>

#include "tests/ui/main_window_session.h"
#include "toolkit/application.h"
#include "toolkit/dispatch.h"
#include "toolkit/key_listing_menu.h"
#include "toolkit/string_grid.h"
#include "ui/main_window.h"

using mwtest::TableFile;

namespace {

const QString kCaption = QStringLiteral("Редактор файла допусков");
const QString kMissingFileText = QStringLiteral("Файл допусков не найден.");

// What a test directory holds besides the tolerance file: how each FILE form is laid out.
void Prepare(const mwtest::WorkDir& dir, const QString& layout) {
  const QByteArray table = mwtest::TwoByTwo().Bytes();
  QDir root(dir.Path(QString()));
  if (layout == "sub/t.win" || layout == "sub/Zarava.win") {
    QVERIFY(root.mkdir("sub"));
    dir.Write(table, layout);
  } else if (layout == "link") {
    QVERIFY(root.mkdir("sub"));
    dir.Write(table, "sub/t.win");
    QVERIFY(QFile::link("sub/t.win", dir.Path("link.win")));
  } else if (layout == "directory") {
    QVERIFY(root.mkpath("sub/Zarava.win"));
  } else if (layout == "fifo") {
    QCOMPARE(::mkfifo(qPrintable(dir.Path("pipe.win")), 0644), 0);
  }
}

// Every file below the directory with its bytes, so that a test sees anything made or changed.
QMap<QString, QByteArray> Contents(const mwtest::WorkDir& dir) {
  QMap<QString, QByteArray> contents;
  QDir root(dir.Path(QString()));
  const auto entries = root.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
  QStringList pending;
  for (const QFileInfo& entry : entries) pending << entry.fileName();
  while (!pending.isEmpty()) {
    const QString name = pending.takeFirst();
    const QFileInfo info(dir.Path(name));
    if (info.isDir() && !info.isSymLink()) {
      contents.insert(name + "/", {});
      for (const QString& inner :
           QDir(info.filePath())
               .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)) {
        pending << name + "/" + inner;
      }
    } else if (info.isFile() && !info.isSymLink()) {
      contents.insert(name, dir.Read(name));
    } else {
      contents.insert(name, "(" + info.symLinkTarget().toUtf8() + ")");
    }
  }
  return contents;
}

// Exposes the menu's style option, which carries the short-cut text it paints.
class ShownMenu : public tk::KeyListingMenu {
 public:
  using tk::KeyListingMenu::KeyListingMenu;
  QString ShownText(QAction* action) const {
    QStyleOptionMenuItem option;
    initStyleOption(&option, action);
    return option.text;
  }
};

}  // namespace

class TestMainWindowFile : public QObject {
  Q_OBJECT

 private slots:
  void fileFormsOpenTheirTable_data();
  void fileFormsOpenTheirTable();
  void notATableFileEndsWithTheMissingFileBox_data();
  void notATableFileEndsWithTheMissingFileBox();
  void unreadableFileIsReportedAndKept();
  void desktopKeysSaveAndClose_data();
  void desktopKeysSaveAndClose();
  void menuShowsEveryKey();
};

void TestMainWindowFile::fileFormsOpenTheirTable_data() {
  QTest::addColumn<QString>("layout");
  QTest::addColumn<QString>("argument");  // "@" stands for the (current) test directory
  QTest::addColumn<QString>("edited");    // the file the table comes from
  QTest::addColumn<QString>("title");
  QTest::newRow("relative") << "sub/t.win"
                            << "sub/t.win"
                            << "sub/t.win"
                            << "t.win — " + kCaption;
  QTest::newRow("absolute") << "sub/t.win"
                            << "@/sub/t.win"
                            << "sub/t.win"
                            << "t.win — " + kCaption;
  QTest::newRow("folder") << "sub/Zarava.win"
                          << "sub"
                          << "sub/Zarava.win"
                          << "Zarava.win — " + kCaption;
  QTest::newRow("folder with a slash") << "sub/Zarava.win"
                                       << "@/sub/"
                                       << "sub/Zarava.win"
                                       << "Zarava.win — " + kCaption;
  QTest::newRow("symbolic link") << "link"
                                 << "link.win"
                                 << "sub/t.win"
                                 << "link.win — " + kCaption;
}

// Loaded without a box, and closed unchanged: the file and the directory keep their bytes.
void TestMainWindowFile::fileFormsOpenTheirTable() {
  QFETCH(QString, layout);
  QFETCH(QString, argument);
  QFETCH(QString, edited);
  QFETCH(QString, title);
  mwtest::WorkDir dir;
  Prepare(dir, layout);
  const auto before = Contents(dir);
  argument.replace("@", QDir::currentPath());
  tktest::ModalAnswerer answers;
  const auto outcome =
      mwtest::RunProgramOn(QFile::encodeName(argument).toStdString(), answers, [&](TForm1& form) {
        QVERIFY(form.FileFound());
        QCOMPARE(form.windowTitle(), title);
        QCOMPARE(form.StringGrid1->GetCell(0, 1), std::string("До 10"));
        QCOMPARE(form.StringGrid1->GetCell(2, 0), std::string("js10  "));
        QCOMPARE(QFileInfo(QFile::decodeName(form.ToleranceFile().c_str())).canonicalFilePath(),
                 QFileInfo(dir.Path(edited)).canonicalFilePath());
      });
  QVERIFY(outcome.script_ran);
  QVERIFY(answers.Seen().isEmpty());
  QCOMPARE(Contents(dir), before);
}

void TestMainWindowFile::notATableFileEndsWithTheMissingFileBox_data() {
  QTest::addColumn<QString>("layout");
  QTest::addColumn<QString>("argument");
  QTest::newRow("missing") << ""
                           << "nothing.win";
  QTest::newRow("missing in a missing folder") << ""
                                               << "no/such/Zarava.win";
  QTest::newRow("folder without the file") << "sub/t.win"
                                           << "sub";
  QTest::newRow("directory named like the file") << "directory"
                                                 << "sub/Zarava.win";
  QTest::newRow("FIFO") << "fifo"
                        << "pipe.win";
}

// The same box as for a missing "Zarava.win", then the program ends; nothing is created.
void TestMainWindowFile::notATableFileEndsWithTheMissingFileBox() {
  QFETCH(QString, layout);
  QFETCH(QString, argument);
  mwtest::WorkDir dir;
  Prepare(dir, layout);
  const auto before = Contents(dir);
  tktest::ModalAnswerer answers;
  answers.QueueBoxAnswer(QMessageBox::Ok);
  answers.QueueBoxAnswer(QMessageBox::Ok);  // would answer a second box
  const auto outcome = mwtest::RunProgramOn(argument.toStdString(), answers, [](TForm1&) {});
  // Whether the harness saw the window ready a moment before the grid's focus showed the box
  // depends on the machine's load, so only the outcome is checked.
  QVERIFY(outcome.ended_by_itself);
  QCOMPARE(answers.Seen().size(), 1);
  QCOMPARE(answers.Seen()[0].text, kMissingFileText);
  QCOMPARE(answers.Seen()[0].title, QStringLiteral("Ошибка"));
  QCOMPARE(Contents(dir), before);
}

// A file the user may not read is there, so the load is tried and its error reported; the
// window stays and the file keeps its bytes.
void TestMainWindowFile::unreadableFileIsReportedAndKept() {
  if (::geteuid() == 0) {
    QVERIFY(mwtest::RunTestAsNobody("unreadableFileIsReportedAndKept"));
    return;
  }
  mwtest::WorkDir dir;
  Prepare(dir, "sub/t.win");
  QCOMPARE(::chmod(qPrintable(dir.Path("sub/t.win")), 0), 0);
  tktest::ModalAnswerer answers;
  answers.QueueBoxAnswer(QMessageBox::Ok);
  answers.QueueBoxAnswer(QMessageBox::Ok);
  const auto outcome = mwtest::RunProgramOn("sub/t.win", answers, [](TForm1& form) {
    QVERIFY(form.FileFound());
    QCOMPARE(form.StringGrid1->GetCell(0, 1), std::string());
  });
  QVERIFY(outcome.script_ran);
  QCOMPARE(answers.Seen().size(), 1);
  QCOMPARE(answers.Seen()[0].title, tk::ApplicationTitle());
  QCOMPARE(answers.Seen()[0].icon, int(QMessageBox::Critical));
  QCOMPARE(::chmod(qPrintable(dir.Path("sub/t.win")), 0600), 0);
  QCOMPARE(dir.Read("sub/t.win"), mwtest::TwoByTwo().Bytes());
}

void TestMainWindowFile::desktopKeysSaveAndClose_data() {
  QTest::addColumn<bool>("editor_open");  // Ctrl+S pressed while the cell editor is open
  QTest::addColumn<bool>("save");
  QTest::newRow("Ctrl+S in the grid, Ctrl+Q") << false << true;
  QTest::newRow("Ctrl+S in the open cell editor, Ctrl+Q") << true << true;
  QTest::newRow("Ctrl+Q with an unsaved edit asks") << false << false;
}

// The named file is saved in place with Ctrl+S, also from the open cell editor; Ctrl+Q closes
// through the same question as Exit. The current directory stays empty.
void TestMainWindowFile::desktopKeysSaveAndClose() {
  QFETCH(bool, editor_open);
  QFETCH(bool, save);
  mwtest::WorkDir table;
  table.Write(mwtest::TwoByTwo().Bytes());
  mwtest::WorkDir current;  // made current after the table's directory
  tktest::ModalAnswerer answers;
  if (!save) answers.QueueBoxAnswer(QMessageBox::Yes);
  const std::string file = QFile::encodeName(table.Path("Zarava.win")).toStdString();
  const auto outcome = mwtest::RunProgramOn(file, answers, [&](TForm1& form) {
    mwtest::MoveToCell(form, 1, 1);
    mwtest::TypeText("5 6");
    if (!editor_open) mwtest::PressKey(Qt::Key_Return);
    if (save) {
      mwtest::PressKey(Qt::Key_S, Qt::ControlModifier);
      QVERIFY(!form.Unsaved());
    }
    mwtest::PressKey(Qt::Key_Q, Qt::ControlModifier);
  });
  QVERIFY(outcome.script_ran);
  QVERIFY(outcome.ended_by_itself);
  QCOMPARE(answers.Seen().size(), save ? 0 : 1);
  mwtest::ExpectFirstValueSaved(table, save, 5, 6);
  QVERIFY(QDir(current.Path(QString()))
              .isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System));
}

void TestMainWindowFile::menuShowsEveryKey() {
  TForm1 form;
  QCOMPARE(form.MenuSave->shortcuts(),
           (QList<QKeySequence>{QKeySequence(Qt::Key_F2), QKeySequence(Qt::CTRL | Qt::Key_S)}));
  QCOMPARE(form.MenuExit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
  ShownMenu menu(QStringLiteral("&Файл"), nullptr);
  QAction* save = menu.addAction(QStringLiteral("&Сохранить"));
  save->setShortcuts(form.MenuSave->shortcuts());
  QAction* exit = menu.addAction(QStringLiteral("&Выход"));
  exit->setShortcuts(form.MenuExit->shortcuts());
  QCOMPARE(menu.ShownText(save), QStringLiteral("&Сохранить\tF2, Ctrl+S"));
  QVERIFY(!menu.ShownText(exit).contains(","));  // one key: the plain menu's own text
  QCOMPARE(save->text(), QStringLiteral("&Сохранить"));
  const QFontMetrics metrics = menu.fontMetrics();
  QVERIFY(menu.sizeHint().width() >
          metrics.horizontalAdvance("Сохранить") + metrics.horizontalAdvance("F2, Ctrl+S"));
}

int main(int argc, char** argv) {
  mwtest::DropPrivilegesWhenAsked();
  tk::Application application(argc, argv);
  TestMainWindowFile test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_main_window_file.moc"
