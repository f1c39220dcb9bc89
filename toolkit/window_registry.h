#pragma once
// Toolkit-internal bookkeeping shared by forms, modal runs, message boxes and the application
// object. It lives outside Application so that forms also work under a plain QApplication
// (as in tests of single windows).

#include <QList>
#include <QPointer>
#include <QWidget>

namespace tk {

class Form;

namespace detail {

struct WindowRegistry {
  QList<Form*> forms;
  QPointer<Form> main_form;     // the first Form created while no main window exists
  QPointer<Form> focused_form;  // the Form whose control last received the keyboard focus
  bool terminating = false;     // the main window has closed; modal runs end with mrCancel
  bool loop_running = false;    // Application::Run's event loop is running
};

[[nodiscard]] WindowRegistry& Registry();

// Keeps the list of forms; the first form added while no main window exists becomes the main
// window, and a new main window starts a new run (the termination of an earlier one is over).
void AddForm(Form* form);
void RemoveForm(Form* form);

// The Form a widget belongs to, or nullptr for widgets of other windows (message boxes).
[[nodiscard]] Form* FormOf(QWidget* widget);

// Installs, once, the application-wide filter that tells focus entries from focus returns and
// gives menu short-cuts the first look at keys.
void EnsureFocusTracking();

// Ends the application: modal runs stop with mrCancel and the running loop exits.
void Terminate();

// Activates window and processes non-input events until it is active, for a short while at
// most (a window manager may refuse activation while another application is in front).
void ActivateAndWait(QWidget* window);

}  // namespace detail
}  // namespace tk
