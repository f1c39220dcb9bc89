#pragma once
// Answers modal windows in UI tests. A message box or dialog runs a nested event loop, so a test
// arranges the answer before the action that opens it: a timer polls for the next modal window
// and acts on it from inside that loop.

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

namespace tktest {

// What the answered message boxes showed, in order.
struct SeenBox {
  QString title;
  QString text;
  int icon;    // QMessageBox::Icon
  int format;  // Qt::TextFormat
};

class ModalAnswerer {
 public:
  // Every message box that appears from now on is recorded and answered by pressing the button
  // whose standard role is given (QMessageBox::Yes, No or Ok), in the order queued.
  void QueueBoxAnswer(int standard_button);
  // The next modal window that is not a message box (a dialog) is handed to act, which may
  // drive it with key and mouse events (it runs inside the dialog's modal loop).
  void QueueDialogAction(std::function<void(QWidget*)> act);

  [[nodiscard]] const QList<SeenBox>& Seen() const { return seen_; }
  [[nodiscard]] int Pending() const;

  ModalAnswerer();
  ~ModalAnswerer();

 private:
  void Poll();
  QList<int> answers_;
  QList<std::function<void(QWidget*)>> actions_;
  QList<SeenBox> seen_;
  QPointer<QWidget> last_handled_;
  class QTimer* timer_;
};

}  // namespace tktest
