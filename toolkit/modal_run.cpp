// Modal runs of a Form: a nested event loop inside the handler that opened the window, ending
// when a ModalResult set during the run passes the window's close check, or when the
// application ends.

#include <QApplication>
#include <QEventLoop>
#include <QPointer>

#include "toolkit/dispatch.h"
#include "toolkit/errors.h"
#include "toolkit/form.h"
#include "toolkit/form_private.h"
#include "toolkit/window_registry.h"

namespace tk {

namespace {

// What the modal run gives back to its caller when it ends.
struct CallerState {
  QPointer<QWidget> active_window;
  QPointer<Form> focused_form;
};

// Processes events until the close check lets the run end; returns the final ModalResult.
std::int32_t ProcessUntilClosed(Form& window, detail::FormInternals::State& state,
                                QEventLoop& loop) {
  state.modal_result = mrNone;
  for (;;) {
    state.close_check_due = false;
    loop.exec(QEventLoop::DialogExec);
    // The loop also ends when the application quits, without a ModalResult being set.
    if (detail::Registry().terminating || !state.close_check_due) {
      state.modal_result = mrCancel;
      break;
    }
    if (state.modal_result == mrNone) continue;
    if (window.CloseQuery()) break;
    state.modal_result = mrNone;  // refused: the window stays open with all its contents
  }
  return state.modal_result;
}

void ShowAndActivate(Form& window) {
  window.setWindowModality(Qt::ApplicationModal);
  window.show();
  window.raise();
  detail::ActivateAndWait(&window);
}

void GiveBack(Form& window, const CallerState& caller) {
  const bool was_active = window.isActiveWindow();
  // The record names the caller's window again before the dialog goes, since hiding it may hand
  // the focus back at once on some platforms, which must be no activation of the caller.
  detail::Registry().focused_form = caller.focused_form;
  window.hide();
  window.setWindowModality(Qt::NonModal);
  // The caller's window gets the focus back on the control that had it; since the record names
  // that window again and the control is its last focused one, neither OnActivate nor OnEnter
  // runs.
  if (was_active && caller.active_window && caller.active_window->isVisible())
    detail::ActivateAndWait(caller.active_window);
}

}  // namespace

std::int32_t RunModal(Form& window) {
  if (window.isVisible() || window.InModalRun()) throw EInvalidOperation(kCannotMakeModal);
  auto& state = detail::FormInternals::Of(window);
  const CallerState caller{QApplication::activeWindow(), detail::Registry().focused_form};
  QEventLoop loop;
  state.modal_loop = &loop;
  detail::Registry().focused_form = &window;
  state.last_focused = nullptr;  // the first focus of this run enters its control
  ShowAndActivate(window);
  if (window.OnActivate) Guarded([&window] { window.OnActivate(&window); });
  const std::int32_t result = ProcessUntilClosed(window, state, loop);
  state.modal_loop = nullptr;
  GiveBack(window, caller);
  return result;
}

}  // namespace tk
