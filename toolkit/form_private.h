#pragma once
// Toolkit-internal state of a Form, shared by the form, its modal runs and the focus tracking.

#include <QEventLoop>
#include <QPointer>
#include <QWidget>
#include <cstdint>

#include "toolkit/form.h"

namespace tk {

class Form::Private {
 public:
  QPointer<QWidget> active_control;  // takes the focus when the window is shown
  QPointer<QWidget> last_focused;    // the control of this window that last had the focus
  std::int32_t modal_result = mrNone;
  QEventLoop* modal_loop = nullptr;  // set while the window runs modally
  bool close_check_due = false;      // ModalResult was set during the modal run
};

namespace detail {

struct FormInternals {
  using State = Form::Private;
  [[nodiscard]] static State& Of(Form& form) { return *form.d_; }
};

}  // namespace detail
}  // namespace tk
