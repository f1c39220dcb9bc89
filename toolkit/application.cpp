#include "toolkit/application.h"

#include <QFont>
#include <QLocale>
#include <QSessionManager>

#include "data/file_system.h"
#include "data/number_text.h"
#include "toolkit/deferred_icon_style.h"
#include "toolkit/dispatch.h"
#include "toolkit/form.h"
#include "toolkit/window_registry.h"

namespace tk {

namespace {

// The windows are laid out for a 13-pixel face whose digits are at most 7 pixels wide, and
// the main grid fits each column to 7 pixels per character. Where that face is missing, a
// narrow face keeps the numbers whole in their columns instead of a wide default cutting them.
void SubstituteDesignFace() {
  QFont::insertSubstitutions(
      QStringLiteral("MS Sans Serif"),
      {QStringLiteral("Liberation Sans Narrow"), QStringLiteral("DejaVu Sans Condensed"),
       QStringLiteral("Arial Narrow")});
}

}  // namespace

class Application::Private {};

Application::Application(int& argc, char** argv) : QApplication(argc, argv), d_(new Private) {
  // The main window's close request ends the program, not the last window going away.
  setQuitOnLastWindowClosed(false);
  SubstituteDesignFace();
  setStyle(new DeferredIconStyle(style()->name()));
  UpdateDecimalSeparator();
  tol::IgnoreFileSizeSignal();
  detail::EnsureFocusTracking();
  connect(this, &QGuiApplication::commitDataRequest, this, [](QSessionManager& manager) {
    Form* main = detail::Registry().main_form;
    if (main == nullptr || !manager.allowsInteraction()) return;
    const bool can_close = main->CloseQuery();
    manager.release();
    if (!can_close) manager.cancel();
  });
}

Application::~Application() { delete d_; }

Application* Application::Instance() {
  return qobject_cast<Application*>(QCoreApplication::instance());
}

Form* Application::MainForm() const { return detail::Registry().main_form; }

int Application::Run() {
  Form* main = MainForm();
  if (main == nullptr) return 0;
  auto& registry = detail::Registry();
  registry.terminating = false;
  registry.loop_running = true;
  main->show();
  const int code = registry.terminating ? 0 : exec();
  registry.loop_running = false;
  return code;
}

void Application::RegisterForm(Form* form) { detail::AddForm(form); }

void Application::UnregisterForm(Form* form) { detail::RemoveForm(form); }

Form* Application::FocusedForm() const { return detail::Registry().focused_form; }

void Application::SetFocusedForm(Form* form) { detail::Registry().focused_form = form; }

bool Application::event(QEvent* event) {
  if (event->type() == QEvent::LocaleChange) UpdateDecimalSeparator();
  return QApplication::event(event);
}

bool Application::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    ReportException(error);
    return true;
  }
}

void UpdateDecimalSeparator() {
  const QString point = QLocale().decimalPoint();
  const bool single_ascii = point.size() == 1 && point.front().unicode() < 0x80;
  tol::SetDecimalSeparator(single_ascii ? static_cast<char>(point.front().unicode()) : '.');
}

}  // namespace tk
