#include "tests/ui/main_window_session.h"

#include <unistd.h>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstring>

#include "data/number_text.h"
#include "tests/support/privileges.h"
#include "toolkit/application.h"
#include "toolkit/string_grid.h"
#include "ui/main_window.h"

namespace mwtest {
namespace {

constexpr const char* kAsNobodyVariable = "TOL_TEST_AS_NOBODY";
constexpr qint64 kActivationPatienceMs = 5000;
constexpr int kMostArrowPresses = 100;  // far more than any test table needs

template <class T>
void Append(QByteArray& bytes, T value) {
  char raw[sizeof(T)];
  std::memcpy(raw, &value, sizeof(T));  // the test machines are little-endian, like the file
  bytes.append(raw, sizeof(T));
}

template <class T>
T Take(const QByteArray& bytes, qsizetype& offset) {
  T value{};
  std::memcpy(&value, bytes.constData() + offset, sizeof(T));
  offset += sizeof(T);
  return value;
}

}  // namespace

QByteArray TableFile::Bytes() const {
  QByteArray bytes;
  Append<std::int32_t>(bytes, static_cast<std::int32_t>(bounds.size()));
  Append<std::int32_t>(bytes, static_cast<std::int32_t>(names.size()));
  for (double bound : bounds) Append(bytes, bound);
  for (const std::string& name : names) bytes.append(name.data(), 6);
  for (const auto& grade : values) {
    for (const auto& [first, second] : grade) {
      Append(bytes, first);
      Append(bytes, second);
    }
  }
  return bytes;
}

TableFile TableFile::Parse(const QByteArray& bytes) {
  TableFile table;
  qsizetype offset = 0;
  const auto intervals = Take<std::int32_t>(bytes, offset);
  const auto grades = Take<std::int32_t>(bytes, offset);
  for (int r = 0; r < intervals; ++r) table.bounds.push_back(Take<double>(bytes, offset));
  for (int c = 0; c < grades; ++c) {
    table.names.emplace_back(bytes.constData() + offset, 6);
    offset += 6;
  }
  table.values.resize(static_cast<std::size_t>(grades));
  for (auto& grade : table.values) {
    for (int r = 0; r < intervals; ++r) {
      const double first = Take<double>(bytes, offset);
      grade.emplace_back(first, Take<double>(bytes, offset));
    }
  }
  return table;
}

TableFile TwoByTwo() {
  return {{10, 18}, {"h7    ", "js10  "}, {{{-0.012, 0.125}, {0, 0.5}}, {{0, 0}, {1, 2}}}};
}

void ExpectFirstValueSaved(const WorkDir& dir, bool stored, double first, double second) {
  TableFile expected = TwoByTwo();
  if (stored) expected.values[0][0] = {first, second};
  QCOMPARE(dir.Read(), expected.Bytes());
}

WorkDir::WorkDir() : previous_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }

WorkDir::WorkDir(const QByteArray& table) : WorkDir() { Write(table); }

WorkDir::~WorkDir() { QDir::setCurrent(previous_); }

void WorkDir::Write(const QByteArray& bytes, const QString& name) const {
  QFile file(Path(name));
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
    qFatal("cannot write the test file %s", qPrintable(file.fileName()));
  }
}

QByteArray WorkDir::Read(const QString& name) const {
  QFile file(Path(name));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

RunOutcome RunProgram(tktest::ModalAnswerer& answers, const std::function<void(TForm1&)>& script) {
  return RunProgramOn({}, answers, script);
}

RunOutcome RunProgramOn(const std::string& file, tktest::ModalAnswerer& answers,
                        const std::function<void(TForm1&)>& script) {
  RunOutcome outcome;
  bool closed_by_harness = false;
  Form1 = new TForm1;
  if (!file.empty()) Form1->OpenNamedFile(file);

  // Once the events the script's keys caused are handled: a program that ends does so within
  // them (its window hidden, the loop told to stop), so one still showing its window is closed
  // by the harness.
  QTimer closer;
  closer.setSingleShot(true);
  closer.setInterval(0);
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (!Form1->isVisible()) return;  // the program has ended
    closed_by_harness = true;
    if (Form1->Unsaved()) answers.QueueBoxAnswer(QMessageBox::Yes);
    Form1->RequestClose();
  });

  QTimer starter;
  starter.setSingleShot(true);
  QElapsedTimer waiting;
  waiting.start();
  QObject::connect(&starter, &QTimer::timeout, [&] {
    const QWidget* focused = QApplication::focusWidget();
    const bool ready = QApplication::activeModalWidget() == nullptr && Form1->isActiveWindow() &&
                       focused != nullptr && Form1->isAncestorOf(focused);
    if (!ready) {
      if (!Form1->isVisible()) return;  // the program has ended
      if (waiting.elapsed() < kActivationPatienceMs) {
        starter.start(10);  // a box is up, or the window not yet active with a focused control
        return;
      }
      closer.start();
      QFAIL("the main window is not active with a focused control, so it takes no key input");
    }
    outcome.script_ran = true;
    script(*Form1);
    closer.start();
  });
  starter.start(0);

  (void)tk::Application::Instance()->Run();
  delete Form1;
  Form1 = nullptr;
  outcome.ended_by_itself = !closed_by_harness;
  return outcome;
}

namespace {

// The widget with the keyboard focus; a test failure when there is none, since keys would then
// reach nothing. Once the test has failed, no further keys are sent.
QWidget* Focused() {
  if (QTest::currentTestFailed()) return nullptr;
  QWidget* focused = QApplication::focusWidget();
  if (focused == nullptr) {
    QTest::qFail("no widget has the keyboard focus", __FILE__, __LINE__);
  }
  return focused;
}

}  // namespace

void TypeText(const QString& text) {
  for (QChar ch : text) {
    QWidget* focused = Focused();
    if (focused == nullptr) return;
    QTest::keyClicks(focused, QString(ch));
  }
}

void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers) {
  if (QWidget* focused = Focused()) QTest::keyClick(focused, key, modifiers);
}

void MoveToCell(TForm1& form, int col, int row) {
  const tk::StringGrid& grid = *form.StringGrid1;
  for (int presses = 0; presses < kMostArrowPresses && !QTest::currentTestFailed(); ++presses) {
    if (grid.CurrentCol() != col) {
      PressKey(grid.CurrentCol() < col ? Qt::Key_Right : Qt::Key_Left);
    } else if (grid.CurrentRow() != row) {
      PressKey(grid.CurrentRow() < row ? Qt::Key_Down : Qt::Key_Up);
    } else {
      return;
    }
  }
  if (!QTest::currentTestFailed()) {
    QTest::qFail("the arrow keys did not reach the cell", __FILE__, __LINE__);
  }
}

void ApplyEdits(TForm1& form, const CellEdits& edits) {
  for (const CellEdit& edit : edits) {
    MoveToCell(form, edit.col, edit.row);
    if (edit.text.isEmpty()) {
      PressKey(Qt::Key_Backspace);
    } else {
      TypeText(edit.text);
    }
    PressKey(Qt::Key_Return);
  }
}

std::string Localized(std::string text) {
  std::replace(text.begin(), text.end(), '.', tol::DecimalSeparator());
  return text;
}

QStringList LocalizedTexts(QStringList texts) {
  for (QString& text : texts) text = QString::fromStdString(Localized(text.toStdString()));
  return texts;
}

QStringList LineTexts(const tk::GridLine& line) {
  QStringList texts;
  for (int i = 0; i < line.Count(); ++i) texts << QString::fromStdString(line.Item(i));
  return texts;
}

bool RunTestAsNobody(const QString& test_function_and_tag) {
  QProcess child;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QString::fromLatin1(kAsNobodyVariable), QStringLiteral("1"));
  child.setProcessEnvironment(environment);
  child.setWorkingDirectory(QDir::tempPath());
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(QCoreApplication::applicationFilePath(), {test_function_and_tag});
  const bool passed = child.waitForFinished(120000) && child.exitStatus() == QProcess::NormalExit &&
                      child.exitCode() == 0;
  if (!passed) qWarning("%s", child.readAll().constData());
  return passed;
}

void DropPrivilegesWhenAsked() {
  if (qEnvironmentVariableIsEmpty(kAsNobodyVariable)) return;
  if (!tol::testing::BecomeOrdinaryUser()) qFatal("cannot become nobody");
  qputenv("HOME", "/tmp");
}

std::vector<int> ColumnWidths(const tk::StringGrid& grid) {
  std::vector<int> widths;
  for (int col = 0; col < grid.ColCount(); ++col) widths.push_back(grid.ColWidth(col));
  return widths;
}

}  // namespace mwtest
