#pragma once
// A measuring aid for the start-up benchmark, inert unless the environment variable
// TOL_FIRST_PAINT_REPORT is set: then, once the watched widget has painted a frame while ready()
// held, the program prints one line "first-paint <CLOCK_MONOTONIC ns> <VmRSS kB>" on standard
// output and ends with exit code 0.

#include <functional>

class QWidget;

namespace tk {

void ReportFirstPaintWhenAsked(QWidget* watched, std::function<bool()> ready);

}  // namespace tk
