// The editor's command line: what each form of it asks for, and what the real program answers
// on its streams and in its exit code, without a display.

#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>
#include <vector>

#include "app/command_line.h"

using Action = app::StartRequest::Action;
Q_DECLARE_METATYPE(app::StartRequest::Action)

namespace {

app::StartRequest Parse(const QStringList& arguments) {
  std::vector<QByteArray> bytes{"Toledit"};
  for (const QString& argument : arguments) bytes.push_back(argument.toUtf8());
  std::vector<const char*> argv;
  for (const QByteArray& argument : bytes) argv.push_back(argument.constData());
  return app::ParseCommandLine(static_cast<int>(argv.size()), argv.data());
}

// The environment of a session without any display, where opening a window would fail.
QProcessEnvironment WithoutDisplay() {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    environment.remove(QString::fromLatin1(name));
  }
  return environment;
}

}  // namespace

class TestCommandLine : public QObject {
  Q_OBJECT

 private slots:
  void requests_data();
  void requests();
  void nonUtf8FileNameKeepsItsBytes();
  void programsAnswerWithoutWindow_data();
  void programsAnswerWithoutWindow();
};

void TestCommandLine::requests_data() {
  QTest::addColumn<QStringList>("arguments");
  QTest::addColumn<Action>("action");
  QTest::addColumn<QString>("file");
  QTest::addColumn<bool>("choose");
  QTest::addColumn<QString>("text_has");
  QTest::newRow("none: Zarava.win here") << QStringList{} << Action::kEdit << "" << false << "";
  QTest::newRow("a file") << QStringList{"a/b.win"} << Action::kEdit << "a/b.win" << false << "";
  QTest::newRow("menu entry without a file")
      << QStringList{"--choose-file"} << Action::kEdit << "" << true << "";
  QTest::newRow("menu entry with a file") << QStringList{"--choose-file", "/x/Zarava.win"}
                                          << Action::kEdit << "/x/Zarava.win" << true << "";
  QTest::newRow("a file named like an option, after --")
      << QStringList{"--", "--help"} << Action::kEdit << "--help" << false << "";
  QTest::newRow("Cyrillic name") << QStringList{"допуски.win"} << Action::kEdit << "допуски.win"
                                 << false << "";
  QTest::newRow("--help") << QStringList{"--help"} << Action::kHelp << "" << false
                          << "Использование: Toledit [параметры] [ФАЙЛ]";
  QTest::newRow("-h beside a file")
      << QStringList{"x.win", "-h"} << Action::kHelp << "" << false << "--choose-file";
  QTest::newRow("--version") << QStringList{"--version"} << Action::kVersion << "" << false
                             << "Toledit 0.";
  QTest::newRow("unknown long option") << QStringList{"--bogus"} << Action::kError << "" << false
                                       << "неизвестный параметр «--bogus»";
  QTest::newRow("unknown short option")
      << QStringList{"-x"} << Action::kError << "" << false << "неизвестный параметр «-x»";
  QTest::newRow("second FILE") << QStringList{"a.win", "b.win"} << Action::kError << "" << false
                               << "лишний аргумент «b.win»";
  QTest::newRow("value for a switch")
      << QStringList{"--version=2"} << Action::kError << "" << false << "неверная командная строка";
  QTest::newRow("empty FILE") << QStringList{""} << Action::kError << "" << false << "пустое имя";
}

void TestCommandLine::requests() {
  QFETCH(QStringList, arguments);
  QFETCH(Action, action);
  QFETCH(QString, file);
  QFETCH(bool, choose);
  QFETCH(QString, text_has);
  const app::StartRequest request = Parse(arguments);
  QCOMPARE(request.action, action);
  QCOMPARE(QString::fromStdString(request.file), file);
  QCOMPARE(request.choose_file, choose);
  QVERIFY2(request.text.contains(text_has), qPrintable(request.text));
  if (action == Action::kError) {  // one line, naming the program
    QVERIFY(request.text.startsWith("Toledit: "));
    QCOMPARE(request.text.count('\n'), 1);
    QVERIFY(request.text.endsWith('\n'));
  }
}

void TestCommandLine::nonUtf8FileNameKeepsItsBytes() {
  const char* argv[] = {"Toledit", "t\xff\xfe.win"};
  const app::StartRequest request = app::ParseCommandLine(2, argv);
  QCOMPARE(request.action, Action::kEdit);
  QCOMPARE(request.file, std::string("t\xff\xfe.win"));
}

void TestCommandLine::programsAnswerWithoutWindow_data() {
  QTest::addColumn<QString>("program");
  QTest::addColumn<QStringList>("arguments");
  QTest::addColumn<int>("exit_code");
  QTest::addColumn<QString>("out");  // the start of standard output
  QTest::addColumn<QString>("err");  // the start of standard error
  const QString editor = QStringLiteral(TOL_EDITOR_PROGRAM);
  const QString tolcsv = QStringLiteral(TOL_TOLCSV_PROGRAM);
  QTest::newRow("Toledit --help") << editor << QStringList{"--help"} << 0
                                  << "Использование: Toledit"
                                  << "";
  QTest::newRow("Toledit -h") << editor << QStringList{"-h"} << 0 << "Использование: Toledit"
                              << "";
  QTest::newRow("Toledit --version")
      << editor << QStringList{"--version"} << 0 << "Toledit " TOL_VERSION_TEXT "\n"
      << "";
  QTest::newRow("Toledit --bogus") << editor << QStringList{"--bogus"} << 2 << ""
                                   << "Toledit: неизвестный параметр";
  QTest::newRow("Toledit a b") << editor << QStringList{"a.win", "b.win"} << 2 << ""
                               << "Toledit: лишний аргумент";
  QTest::newRow("tolcsv --version")
      << tolcsv << QStringList{"--version"} << 0 << "tolcsv " TOL_VERSION_TEXT "\n"
      << "";
  QTest::newRow("tolcsv --help") << tolcsv << QStringList{"--help"} << 0 << "usage: tolcsv"
                                 << "";
}

// Neither answer needs a display: with none, a window would abort the program.
void TestCommandLine::programsAnswerWithoutWindow() {
  QFETCH(QString, program);
  QFETCH(QStringList, arguments);
  QFETCH(int, exit_code);
  QFETCH(QString, out);
  QFETCH(QString, err);
  QProcess process;
  process.setProcessEnvironment(WithoutDisplay());
  process.start(program, arguments);
  QVERIFY(process.waitForFinished(30000));
  const QString stdOut = QString::fromUtf8(process.readAllStandardOutput());
  const QString stdErr = QString::fromUtf8(process.readAllStandardError());
  QCOMPARE(process.exitStatus(), QProcess::NormalExit);
  QCOMPARE(process.exitCode(), exit_code);
  QVERIFY2(out.isEmpty() ? stdOut.isEmpty() : stdOut.startsWith(out), qPrintable(stdOut));
  QVERIFY2(err.isEmpty() ? stdErr.isEmpty() : stdErr.startsWith(err), qPrintable(stdErr));
  if (!err.isEmpty()) QCOMPARE(stdErr.count('\n'), 1);
}

QTEST_GUILESS_MAIN(TestCommandLine)

#include "test_command_line.moc"
