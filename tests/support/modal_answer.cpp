#include "tests/support/modal_answer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

namespace tktest {

ModalAnswerer::ModalAnswerer() : timer_(new QTimer) {
  timer_->setInterval(10);
  QObject::connect(timer_, &QTimer::timeout, [this] { Poll(); });
  timer_->start();
}

ModalAnswerer::~ModalAnswerer() { delete timer_; }

void ModalAnswerer::QueueBoxAnswer(int standard_button) { answers_.append(standard_button); }

void ModalAnswerer::QueueDialogAction(std::function<void(QWidget*)> act) {
  actions_.append(std::move(act));
}

int ModalAnswerer::Pending() const { return answers_.size() + actions_.size(); }

void ModalAnswerer::Poll() {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal == nullptr || modal == last_handled_ || !modal->isVisible()) return;
  if (auto* box = qobject_cast<QMessageBox*>(modal)) {
    if (answers_.isEmpty()) return;
    last_handled_ = modal;
    seen_.append({box->windowTitle(), box->text(), static_cast<int>(box->icon()),
                  static_cast<int>(box->textFormat())});
    QAbstractButton* button =
        box->button(static_cast<QMessageBox::StandardButton>(answers_.takeFirst()));
    if (button != nullptr) QTest::mouseClick(button, Qt::LeftButton);
    return;
  }
  if (actions_.isEmpty()) return;
  last_handled_ = modal;
  auto act = actions_.takeFirst();
  QPointer<QWidget> guard(modal);
  // Run the action from a fresh timer so that this poll returns before the action may open
  // further nested modal loops.
  QTimer::singleShot(0, [act, guard] {
    if (guard) act(guard);
  });
}

}  // namespace tktest
