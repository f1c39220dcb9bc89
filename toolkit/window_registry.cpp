#include "toolkit/window_registry.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QThread>

#include "toolkit/form.h"
#include "toolkit/form_private.h"

namespace tk::detail {

namespace {

// How long to wait for the window system to activate a window we asked it to activate.
constexpr int kActivationWaitMs = 500;

// Whether an enabled action of the menu bar, or of any menu below it, has the key as short-cut.
[[nodiscard]] bool MenuHasShortcut(const QWidget& menu, const QKeySequence& key) {
  for (QAction* action : menu.actions()) {
    if (!action->isEnabled()) continue;
    if (action->shortcuts().contains(key)) return true;
    if (action->menu() != nullptr && MenuHasShortcut(*action->menu(), key)) return true;
  }
  return false;
}

// Watches every focus entry and key of the application.
class FocusTracker : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    switch (event->type()) {
      case QEvent::FocusIn: return DeliverAsEntry(widget, static_cast<QFocusEvent*>(event));
      case QEvent::ShortcutOverride: return MenuClaimsKey(widget, static_cast<QKeyEvent*>(event));
      case QEvent::KeyPress: return MoveFocusOnTab(widget, static_cast<QKeyEvent*>(event));
      default: return false;
    }
  }

 private:
  // Qt hands a window's focus widget the focus with the activation reason both when the window
  // is activated the first time and when it comes back. Only the second is a return: a control
  // that was not the window's last focused one is entered, so its focus-in is delivered afresh
  // with an ordinary reason and the original is dropped.
  static bool DeliverAsEntry(QWidget* widget, const QFocusEvent* event) {
    Form* form = FormOf(widget);
    // The menu bar borrows the focus and gives it back; the control keeps counting as focused.
    if (form == nullptr || event->reason() == Qt::MenuBarFocusReason) return false;
    QPointer<QWidget>& last_focused = FormInternals::Of(*form).last_focused;
    const bool returning = last_focused == widget;
    last_focused = widget;
    if (returning || IsFocusEntry(event->reason())) return false;
    QFocusEvent entry(QEvent::FocusIn, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(widget, &entry);
    return true;
  }

  // Tab and Shift+Tab move between the window's controls in their tab order. A control made of
  // parts (the grid with its cell editor) is one stop: its parts are passed over wherever they
  // stand in the focus chain, since a part created late stands at the chain's end.
  static bool MoveFocusOnTab(QWidget* widget, const QKeyEvent* event) {
    const auto mods = event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (!tab || mods != Qt::NoModifier || FormOf(widget) == nullptr) return false;
    const bool forward =
        event->key() == Qt::Key_Tab && (event->modifiers() & Qt::ShiftModifier) == 0;
    QWidget* from = OutermostStop(widget);
    for (QWidget* w = Step(from, forward); w != from; w = Step(w, forward)) {
      if (w->window() == from->window() && IsTabStop(w) && OutermostStop(w) == w) {
        w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
      }
    }
    return false;
  }

  static QWidget* Step(QWidget* w, bool forward) {
    return forward ? w->nextInFocusChain() : w->previousInFocusChain();
  }

  static bool IsTabStop(const QWidget* w) {
    return (w->focusPolicy() & Qt::TabFocus) != 0 && w->isEnabled() && w->isVisible();
  }

  // The outermost ancestor below the window that is a tab stop itself, or the widget.
  static QWidget* OutermostStop(QWidget* widget) {
    QWidget* stop = widget;
    for (QWidget* p = widget->parentWidget(); p != nullptr && !p->isWindow();
         p = p->parentWidget()) {
      if (IsTabStop(p)) stop = p;
    }
    return stop;
  }

  // Menu short-cuts see a key before the focused control: a key that one of the window's menu
  // items has as short-cut is kept from the control's override, so the short-cut fires.
  static bool MenuClaimsKey(QWidget* widget, const QKeyEvent* event) {
    Form* form = FormOf(widget);
    if (form == nullptr || form->menuWidget() == nullptr) return false;
    return MenuHasShortcut(*form->menuWidget(), QKeySequence(event->keyCombination()));
  }
};

}  // namespace

WindowRegistry& Registry() {
  static WindowRegistry registry;
  return registry;
}

void AddForm(Form* form) {
  auto& registry = Registry();
  if (!registry.forms.contains(form)) registry.forms.append(form);
  if (registry.main_form.isNull()) {
    registry.main_form = form;
    registry.terminating = false;
  }
}

void RemoveForm(Form* form) {
  auto& registry = Registry();
  registry.forms.removeAll(form);
  if (registry.focused_form == form) registry.focused_form = nullptr;
  if (registry.main_form == form) registry.main_form = nullptr;
}

Form* FormOf(QWidget* widget) {
  return widget == nullptr ? nullptr : qobject_cast<Form*>(widget->window());
}

void EnsureFocusTracking() {
  static QPointer<QObject> tracker;
  if (tracker || qApp == nullptr) return;
  tracker = new FocusTracker(qApp);
  qApp->installEventFilter(tracker);
  // Controls that do not report their focus entry themselves still activate their window.
  QObject::connect(qApp, &QApplication::focusChanged, tracker,
                   [](QWidget*, QWidget* now) { NoteFocusEntered(now); });
}

void Terminate() {
  auto& registry = Registry();
  registry.terminating = true;
  for (Form* form : std::as_const(registry.forms)) {
    if (QEventLoop* loop = FormInternals::Of(*form).modal_loop) loop->exit();
  }
  if (registry.loop_running) QCoreApplication::exit(0);
}

void ActivateAndWait(QWidget* window) {
  window->activateWindow();
  const QDeadlineTimer deadline(kActivationWaitMs);
  while (!window->isActiveWindow() && !deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (!window->isActiveWindow()) QThread::msleep(1);
  }
}

}  // namespace tk::detail
