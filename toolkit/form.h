#pragma once
// A window of the editor: created hidden, with OnCreate / OnActivate / OnCloseQuery events, an
// ActiveControl, a ModalResult and close requests. Windows own their controls as Qt children.

#include <QMainWindow>
#include <cstdint>
#include <functional>

namespace tk {

inline constexpr std::int32_t mrNone = 0;
inline constexpr std::int32_t mrOk = 1;
inline constexpr std::int32_t mrCancel = 2;

namespace detail {
struct FormInternals;
}

class Form : public QMainWindow {
  Q_OBJECT

 public:
  // The first Form created while there is no main window becomes the application's main
  // window (so a test may make a fresh main window once the previous one is destroyed).
  explicit Form(QWidget* parent = nullptr);
  ~Form() override;

  // Events; each handler runs inside Guarded.
  std::function<void(QObject* sender)> OnCreate;
  // The keyboard focus entered this window while the focused-window record named another
  // window or none: the main window's runs once per run, a dialog's once per modal run; never
  // when a message box or a dialog closes.
  std::function<void(QObject* sender)> OnActivate;
  // A close request; set can_close to false to refuse it.
  std::function<void(QObject* sender, bool& can_close)> OnCloseQuery;

  // Subclasses call this at the end of their constructor, once their controls exist.
  void Created();

  [[nodiscard]] QWidget* ActiveControl() const;
  // The control must be visible and enabled and belong to this window, else EInvalidOperation
  // "Cannot focus a disabled or invisible window"; in the active window the focus moves at once.
  void SetActiveControl(QWidget* control);

  [[nodiscard]] std::int32_t ModalResult() const;
  void SetModalResult(std::int32_t result);
  [[nodiscard]] bool InModalRun() const;

  // In a modal run: ModalResult := mrCancel. Otherwise OnCloseQuery, then the main window
  // ends the application and any other window is hidden.
  void RequestClose();

  // Raises OnCloseQuery and returns its answer (used by modal runs and the session manager).
  [[nodiscard]] bool CloseQuery();

  // Gives the window a fixed client size and a frame with only a close box, as dialogs have.
  void SetDialogFrame(int client_width, int client_height);
  // Places the window in the middle of its screen's available area.
  void CenterOnScreen();

 protected:
  void closeEvent(QCloseEvent* event) override;  // the close box is a close request

 private:
  friend struct detail::FormInternals;
  class Private;
  Private* d_;
};

// Called by a control that receives the keyboard focus, before it raises its own OnEnter:
// when the focused-window record names another window than the control's Form (or none), the
// record is set to that Form and its OnActivate runs.
void NoteFocusEntered(QWidget* control);

// Whether a control that receives the focus for reason is entered (raising its OnEnter), rather
// than getting the focus back because its window was reactivated, a popup closed or the menu
// bar was left. A window's first focus after it is shown is always delivered as an entry
// (Qt::OtherFocusReason), so this holds then too.
[[nodiscard]] inline bool IsFocusEntry(Qt::FocusReason reason) {
  return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
         reason != Qt::MenuBarFocusReason;
}

// Shows window modally: it becomes active, its ActiveControl gets the focus (OnEnter), then its
// OnActivate runs; messages are processed until ModalResult is set and OnCloseQuery agrees (an
// application quit sets mrCancel). Then the window is hidden, the other windows are enabled and
// the caller's window and control get the focus back without OnActivate or OnEnter.
// A window already visible raises EInvalidOperation "Cannot make a visible window modal".
std::int32_t RunModal(Form& window);
void HideWindow(Form& window);
// Destroys the window and its controls.
void DisposeWindow(Form* window);

}  // namespace tk
