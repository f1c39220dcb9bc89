#include "toolkit/form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QScreen>
#include <QShowEvent>

#include "toolkit/dispatch.h"
#include "toolkit/errors.h"
#include "toolkit/form_private.h"
#include "toolkit/window_registry.h"

namespace tk {

namespace {

// A control may be focused when it and its parents up to the window are shown and enabled; the
// window itself may still be hidden, so that constructors can name the control to start with.
[[nodiscard]] bool CanTakeFocus(const Form& form, QWidget* control) {
  return control != nullptr && control != &form && control->window() == &form &&
         control->isVisibleTo(&form) && control->isEnabledTo(&form) && form.isEnabled();
}

}  // namespace

Form::Form(QWidget* parent) : QMainWindow(parent), d_(new Private) {
  detail::EnsureFocusTracking();
  detail::AddForm(this);
}

Form::~Form() {
  detail::RemoveForm(this);
  delete d_;
}

void Form::Created() {
  if (OnCreate) Guarded([this] { OnCreate(this); });
}

QWidget* Form::ActiveControl() const {
  QWidget* focused = focusWidget();
  if (focused != nullptr && focused != this) return focused;
  return d_->active_control;
}

void Form::SetActiveControl(QWidget* control) {
  if (!CanTakeFocus(*this, control)) throw EInvalidOperation(kCannotFocus);
  d_->active_control = control;
  // In the active window the focus moves now; otherwise the control becomes the window's focus
  // child and receives the focus when the window is activated.
  control->setFocus(Qt::OtherFocusReason);
}

std::int32_t Form::ModalResult() const { return d_->modal_result; }

void Form::SetModalResult(std::int32_t result) {
  d_->modal_result = result;
  if (result != mrNone && d_->modal_loop != nullptr) {
    d_->close_check_due = true;
    d_->modal_loop->exit();  // the run checks after the event being handled
  }
}

bool Form::InModalRun() const { return d_->modal_loop != nullptr; }

void Form::RequestClose() {
  if (InModalRun()) {
    SetModalResult(mrCancel);
    return;
  }
  if (!CloseQuery()) return;
  hide();
  if (this == detail::Registry().main_form) detail::Terminate();
}

bool Form::CloseQuery() {
  bool can_close = true;
  if (!OnCloseQuery) return can_close;
  try {
    OnCloseQuery(this, can_close);
  } catch (const std::exception& error) {
    ReportException(error);
    return false;
  }
  return can_close;
}

void Form::SetDialogFrame(int client_width, int client_height) {
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(client_width, client_height);
}

void Form::CenterOnScreen() {
  const QScreen* target = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
  if (target == nullptr) return;
  QRect frame = frameGeometry();
  frame.moveCenter(target->availableGeometry().center());
  move(frame.topLeft());
}

void Form::closeEvent(QCloseEvent* event) {
  // The window decides itself whether and how it goes away.
  event->ignore();
  Guarded([this] { RequestClose(); });
}

void NoteFocusEntered(QWidget* control) {
  Form* form = detail::FormOf(control);
  if (form == nullptr) return;
  auto& registry = detail::Registry();
  if (registry.focused_form == form) return;
  registry.focused_form = form;
  if (form->OnActivate) Guarded([form] { form->OnActivate(form); });
}

void HideWindow(Form& window) { window.hide(); }

void DisposeWindow(Form* window) { delete window; }

}  // namespace tk
