#include "bench/window_session.h"

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "toolkit/application.h"
#include "toolkit/controls.h"
#include "toolkit/string_grid.h"
#include "ui/main_window.h"

namespace tolbench {
namespace {

constexpr auto kReadinessPatience = std::chrono::seconds(60);

QtMessageHandler g_default_handler = nullptr;

void DropSizeHintNotice(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (text.contains(QStringLiteral("propagateSizeHints"))) return;
  g_default_handler(type, context, text);
}

}  // namespace

void UseFullHdOffscreenScreen() {
  const std::filesystem::path config =
      std::filesystem::temp_directory_path() / "tolbench-screen.json";
  std::ofstream(config) << R"({"screens": [{"name": "bench", "x": 0, "y": 0,)"
                        << R"( "width": 1920, "height": 1080}]})";
  const std::string platform = "offscreen:configfile=" + config.string();
  ::setenv("QT_QPA_PLATFORM", platform.c_str(), 1);
  g_default_handler = qInstallMessageHandler(DropSizeHintNotice);
}

int RunWindowBenchmarks(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  UseFullHdOffscreenScreen();
  tk::Application application(argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

YesAnswerer::YesAnswerer() : timer_(new QTimer) {
  timer_->setInterval(0);
  QObject::connect(timer_, &QTimer::timeout, [this] { Poll(); });
}

YesAnswerer::~YesAnswerer() { delete timer_; }

void YesAnswerer::Arm() {
  answered_ = false;
  timer_->start();
}

void YesAnswerer::Poll() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (box == nullptr || !box->isVisible()) return;
  QAbstractButton* yes = box->button(QMessageBox::Yes);
  if (yes == nullptr) return;
  timer_->stop();
  answered_ = true;
  answered_at_ = Clock::now();
  yes->click();
}

Clock::duration RunEditor(const std::function<void(TForm1&)>& script) {
  YesAnswerer close_answer;
  Clock::duration startup{};
  const Clock::time_point start = Clock::now();
  Form1 = new TForm1;
  QTimer starter;
  starter.setInterval(0);
  QObject::connect(&starter, &QTimer::timeout, [&] {
    const bool ready = QApplication::activeModalWidget() == nullptr && Form1->isActiveWindow() &&
                       Form1->FileFound();
    if (!ready) {
      if (Clock::now() - start < kReadinessPatience) return;
      std::fputs("the main window did not become ready with its table\n", stderr);
      std::abort();
    }
    starter.stop();
    startup = Clock::now() - start;
    script(*Form1);
    if (Form1->Unsaved()) close_answer.Arm();
    Form1->RequestClose();
  });
  starter.start();
  (void)tk::Application::Instance()->Run();
  delete Form1;
  Form1 = nullptr;
  return startup;
}

std::optional<Clock::duration> DeleteMiddleGrade(TForm1& form, YesAnswerer& answerer) {
  tk::StringGrid& grid = *form.StringGrid1;
  grid.SetCurrentCol(grid.ColCount() / 2);
  const std::int32_t before = grid.ColCount();
  answerer.Arm();
  const Clock::time_point start = Clock::now();
  QTest::mouseClick(form.DelKv, Qt::LeftButton);
  const Clock::duration took = Clock::now() - start;
  if (!answerer.Answered() || grid.ColCount() != before - 1) return std::nullopt;
  return took;
}

QWidget* OpenCellEditor(TForm1& form, std::int32_t col, std::int32_t row) {
  tk::StringGrid& grid = *form.StringGrid1;
  grid.SetCurrentCol(col);
  grid.SetCurrentRow(row);
  form.EditClick(&form);
  QWidget* editor = QApplication::focusWidget();
  return qobject_cast<QLineEdit*>(editor) != nullptr ? editor : nullptr;
}

long ResidentBytes() {
  long pages = 0;
  long resident = 0;
  std::ifstream statm("/proc/self/statm");
  statm >> pages >> resident;
  return resident * ::sysconf(_SC_PAGESIZE);
}

}  // namespace tolbench
