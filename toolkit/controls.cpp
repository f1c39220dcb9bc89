#include "toolkit/controls.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include "toolkit/dispatch.h"
#include "toolkit/form.h"
#include "toolkit/typed_character.h"

namespace tk {

namespace {

constexpr int kFlatButtonSide = 25;
constexpr int kFlatButtonPicture = 20;

}  // namespace

Button::Button(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
  connect(this, &QPushButton::clicked, this, [this] {
    Guarded([this] {
      if (ModalResult != mrNone) {
        if (auto* form = qobject_cast<Form*>(window())) form->SetModalResult(ModalResult);
      }
      if (OnClick) OnClick(this);
    });
  });
}

FlatButton::FlatButton(const QIcon& picture, const QString& hint, QWidget* parent)
    : QToolButton(parent) {
  setIcon(picture);
  setToolTip(hint);
  setAutoRaise(true);
  // A tool button never takes the focus from the control being worked in.
  setFocusPolicy(Qt::NoFocus);
  setIconSize(QSize(kFlatButtonPicture, kFlatButtonPicture));
  resize(kFlatButtonSide, kFlatButtonSide);
  connect(this, &QToolButton::clicked, this, [this] {
    if (OnClick) Guarded([this] { OnClick(this); });
  });
}

Edit::Edit(QWidget* parent) : QLineEdit(parent) {
  connect(this, &QLineEdit::textChanged, this, [this] {
    if (OnChange) Guarded([this] { OnChange(this); });
  });
}

void Edit::keyPressEvent(QKeyEvent* event) {
  const QChar typed = TypedCharacter(*event, kEntryTyping);
  if (typed.isNull() || !OnKeyPress) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  QChar key = typed;
  Guarded([this, &key] { OnKeyPress(this, key); });
  if (key.isNull()) {
    event->accept();  // discarded
    return;
  }
  if (key == typed) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  QKeyEvent replaced(QEvent::KeyPress, KeyOf(key), event->modifiers() & Qt::ShiftModifier,
                     QString(key));
  QLineEdit::keyPressEvent(&replaced);
  event->setAccepted(replaced.isAccepted());
}

void Edit::focusInEvent(QFocusEvent* event) {
  const Qt::FocusReason reason = event->reason();
  QLineEdit::focusInEvent(event);
  // A mouse click places the caret itself; coming back with its window keeps the selection.
  if (reason != Qt::MouseFocusReason && IsFocusEntry(reason)) selectAll();
  NoteFocusEntered(this);
  if (IsFocusEntry(reason) && OnEnter) Guarded([this] { OnEnter(this); });
}

}  // namespace tk
