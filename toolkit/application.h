#pragma once
// The application: owns the event loop, knows the main window (the first Form created), keeps
// the focused-window record behind OnActivate, feeds the locale's decimal separator to the data
// layer (at start and whenever the locale changes), and lets the session manager's log-off
// question reach the main window's OnCloseQuery.

#include <QApplication>

namespace tk {

class Form;

class Application : public QApplication {
  Q_OBJECT

 public:
  Application(int& argc, char** argv);
  ~Application() override;

  [[nodiscard]] static Application* Instance();
  [[nodiscard]] Form* MainForm() const;
  // Shows the main window (in the state it was built with) and processes events until it
  // closes; returns the exit code.
  int Run();

  // Toolkit internals: the focused-window record and main-window bookkeeping.
  void RegisterForm(Form* form);
  void UnregisterForm(Form* form);
  [[nodiscard]] Form* FocusedForm() const;
  void SetFocusedForm(Form* form);

  // The last guard of the dispatch: an exception that an event handler let through is shown by
  // the error report instead of passing through Qt's event loop.
  bool notify(QObject* receiver, QEvent* event) override;

 protected:
  bool event(QEvent* event) override;

 private:
  class Private;
  Private* d_;
};

// Reads the decimal separator of the user's locale (one ASCII character, "." otherwise) into
// the data layer.
void UpdateDecimalSeparator();

}  // namespace tk
