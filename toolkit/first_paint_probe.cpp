#include "toolkit/first_paint_probe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace tk {

namespace {

long ResidentKilobytes() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) return -1;
  char line[256];
  long kilobytes = -1;
  while (std::fgets(line, sizeof line, status) != nullptr) {
    if (std::strncmp(line, "VmRSS:", 6) == 0) kilobytes = std::atol(line + 6);
  }
  std::fclose(status);
  return kilobytes;
}

void ReportAndQuit() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  std::printf("first-paint %lld %ld\n", now.tv_sec * 1000000000LL + now.tv_nsec,
              ResidentKilobytes());
  std::fflush(stdout);
  QCoreApplication::exit(0);
}

// Sees the paint event on its way in; the report waits for the event loop's next turn, when
// the frame has been painted and handed to the platform.
class FirstPaintProbe : public QObject {
 public:
  FirstPaintProbe(QWidget* watched, std::function<bool()> ready)
      : QObject(watched), ready_(std::move(ready)) {}

  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && !reported_ && ready_()) {
      reported_ = true;
      QTimer::singleShot(0, &ReportAndQuit);
    }
    return false;
  }

 private:
  std::function<bool()> ready_;
  bool reported_ = false;
};

}  // namespace

void ReportFirstPaintWhenAsked(QWidget* watched, std::function<bool()> ready) {
  if (qEnvironmentVariableIsEmpty("TOL_FIRST_PAINT_REPORT")) return;
  watched->installEventFilter(new FirstPaintProbe(watched, std::move(ready)));
}

}  // namespace tk
