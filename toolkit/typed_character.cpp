#include "toolkit/typed_character.h"

#include <QKeyEvent>

namespace tk {

namespace {

constexpr char16_t kDelete = 127;

}  // namespace

QChar TypedCharacter(const QKeyEvent& event, TypingRules rules) {
  switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return QChar(kEnter);
    case Qt::Key_Backspace: return QChar(kBackspace);
    case Qt::Key_Escape: return QChar(kEscape);
    case Qt::Key_Delete: return QChar(0);
    default: break;
  }
  if (event.text().isEmpty()) return QChar(0);
  const QChar first = event.text().front();
  if (first.unicode() == kDelete) return QChar(0);
  if (rules.control_characters) return first;
  // Ctrl+Alt is AltGr on many layouts and types the character shown.
  const Qt::KeyboardModifiers mods = event.modifiers();
  if ((mods & Qt::ControlModifier) != 0 && (mods & Qt::AltModifier) == 0) return QChar(0);
  return first.unicode() < kFirstPrintable ? QChar(0) : first;
}

int KeyOf(QChar c) {
  if (c == QChar(kEnter)) return Qt::Key_Return;
  if (c == QChar(kBackspace)) return Qt::Key_Backspace;
  return Qt::Key_unknown;  // the line edit inserts the event's text
}

}  // namespace tk
