#include "toolkit/controls.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include "toolkit/dispatch.h"
#include "toolkit/form.h"

namespace tk {

namespace {

constexpr char16_t kEnter = 13;
constexpr char16_t kBackspace = 8;
constexpr int kFlatButtonSide = 25;
constexpr int kFlatButtonPicture = 20;

// The character a key press types, or QChar(0) for keys that type none (arrows, F-keys).
[[nodiscard]] QChar TypedCharacter(const QKeyEvent& event) {
  switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return QChar(kEnter);
    case Qt::Key_Backspace: return QChar(kBackspace);
    default: return event.text().isEmpty() ? QChar(0) : event.text().front();
  }
}

// The key that types character c, for a character a key-press handler put in place of another.
[[nodiscard]] int KeyOf(QChar c) {
  if (c == QChar(kEnter)) return Qt::Key_Return;
  if (c == QChar(kBackspace)) return Qt::Key_Backspace;
  return Qt::Key_unknown;  // the line edit inserts the event's text
}

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
  const QChar typed = TypedCharacter(*event);
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
