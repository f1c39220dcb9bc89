#pragma once
// Drives a modal dialog through a list of steps from inside its modal loop. Each step runs on
// its own timer tick once the step before it has returned and no message box is up, so a step
// that closes the dialog or raises a question is followed only after the dialog's close check
// (and the answer to its question) is through.

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace tktest {

[[nodiscard]] inline bool MessageBoxShowing() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (qobject_cast<QMessageBox*>(window) != nullptr && window->isVisible()) return true;
  }
  return false;
}

template <class Dialog>
class DialogSteps {
 public:
  using Step = std::function<void(Dialog&)>;

  // Starts ticking at once; the steps begin when dialog is shown and active. force_close ends
  // a dialog that stays open two seconds without a step to run (never active, or still open
  // after its last step), so a faulty test cannot hang.
  DialogSteps(Dialog* dialog, std::vector<Step> steps, std::function<void(Dialog&)> force_close)
      : state_(std::make_shared<State>()) {
    state_->dialog = dialog;
    state_->steps = std::move(steps);
    state_->force_close = std::move(force_close);
    state_->timer.setInterval(10);
    QObject::connect(&state_->timer, &QTimer::timeout, [state = state_.get()] { Tick(*state); });
    state_->timer.start();
  }

  // Whether the dialog had to be closed by force.
  [[nodiscard]] bool LeftOpen() const { return state_->left_open; }
  // Whether every step ran.
  [[nodiscard]] bool AllRan() const { return state_->next == state_->steps.size(); }

 private:
  struct State {
    QPointer<Dialog> dialog;
    std::vector<Step> steps;
    std::function<void(Dialog&)> force_close;
    QTimer timer;
    std::size_t next = 0;
    int idle_ticks = 0;
    bool was_active = false;
    bool busy = false;
    bool left_open = false;
  };

  // A step runs only when the dialog was already active on the tick before: the modal run
  // processes events while it waits for the activation, and the dialog's own activation
  // handler has run only once that wait is over.
  static void Tick(State& state) {
    if (state.busy || !state.dialog || !state.dialog->isVisible() || MessageBoxShowing()) return;
    const bool active = state.dialog->isActiveWindow();
    const bool ready = active && state.was_active;
    state.was_active = active;
    if (ready && state.next < state.steps.size()) {
      state.idle_ticks = 0;
      state.busy = true;
      state.steps[state.next++](*state.dialog);
      state.busy = false;
      return;
    }
    if (++state.idle_ticks < 200) return;
    state.left_open = true;
    state.force_close(*state.dialog);
  }

  std::shared_ptr<State> state_;
};

}  // namespace tktest
