#pragma once
// The editor's real main window inside a benchmark: the offscreen platform with a full-HD
// screen, the program's own start (Form1 and the application loop), and message boxes answered
// Yes from inside their modal loops.

#include <chrono>
#include <functional>
#include <optional>

class QTimer;
class QWidget;
class TForm1;

namespace tolbench {

using Clock = std::chrono::steady_clock;

// Called before the application exists: the offscreen platform with one 1920 x 1080 screen
// (its description is written into the system's temporary directory), and its notice that it
// cannot pass size hints on, printed at every window start, silenced.
void UseFullHdOffscreenScreen();

// Answers the next message box Yes as soon as it is up, and notes when it did.
class YesAnswerer {
 public:
  YesAnswerer();
  ~YesAnswerer();
  YesAnswerer(const YesAnswerer&) = delete;
  YesAnswerer& operator=(const YesAnswerer&) = delete;

  void Arm();
  [[nodiscard]] bool Answered() const { return answered_; }
  [[nodiscard]] Clock::time_point AnsweredAt() const { return answered_at_; }

 private:
  void Poll();
  QTimer* timer_;
  bool answered_ = false;
  Clock::time_point answered_at_;
};

// Creates Form1 on the tolerance file in the current directory and runs the application loop.
// Once the window is active, with its table loaded and no modal window up, script runs inside
// the loop; then the window is closed (an unsaved-edits question answered Yes). Returns the time
// from creating the window to the start of script. Aborts the process when the window never
// becomes ready.
Clock::duration RunEditor(const std::function<void(TForm1&)>& script);

// Deletes the grade in the middle of the table through the window's button, the question
// answered by answerer. Returns the time from the click to the command's end, nothing when the
// grade was not deleted.
[[nodiscard]] std::optional<Clock::duration> DeleteMiddleGrade(TForm1& form, YesAnswerer& answerer);

// Opens the cell editor on (col, row) as the edit command does; the editor that takes the
// focus, or nullptr when none does.
[[nodiscard]] QWidget* OpenCellEditor(TForm1& form, std::int32_t col, std::int32_t row);

// The main function of a window benchmark program: the benchmarks registered in it run inside
// the application, on the full-HD offscreen screen.
int RunWindowBenchmarks(int argc, char** argv);

// The resident set size of this process in bytes.
[[nodiscard]] long ResidentBytes();

}  // namespace tolbench
