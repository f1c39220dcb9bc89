#include "toolkit/key_listing_menu.h"

#include <QActionEvent>
#include <QStyleOptionMenuItem>

namespace tk {

namespace {

QString KeysOf(const QAction& action) {
  QStringList names;
  for (const QKeySequence& keys : action.shortcuts()) {
    names << keys.toString(QKeySequence::NativeText);
  }
  return names.join(QStringLiteral(", "));
}

}  // namespace

KeyListingMenu::KeyListingMenu(const QString& title, QWidget* parent) : QMenu(title, parent) {}

void KeyListingMenu::initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const {
  QMenu::initStyleOption(option, action);
  if (action->shortcuts().size() < 2 || action->text().contains(QLatin1Char('\t'))) return;
  const QString keys = KeysOf(*action);
  option->text = action->text() + QLatin1Char('\t') + keys;
  option->reservedShortcutWidth =
      std::max(option->reservedShortcutWidth, fontMetrics().horizontalAdvance(keys));
}

// Every item added or changed would otherwise lay the whole menu out again; the width is
// settled once, when the menu is first measured (before it opens, or when asked).
void KeyListingMenu::actionEvent(QActionEvent* event) {
  QMenu::actionEvent(event);
  width_settled_ = false;
}

QSize KeyListingMenu::sizeHint() const {
  if (!width_settled_) const_cast<KeyListingMenu*>(this)->WidenForKeys();
  return QMenu::sizeHint();
}

// The menu sizes its short-cut column by each item's first key; where a list of keys is wider,
// the menu is made wide enough for it (the items stretch to the menu's minimum width).
void KeyListingMenu::WidenForKeys() {
  width_settled_ = true;
  int widest = 0;
  int first_keys = 0;
  for (const QAction* action : actions()) {
    widest = std::max(widest, fontMetrics().horizontalAdvance(KeysOf(*action)));
    first_keys = std::max(first_keys, fontMetrics().horizontalAdvance(
                                          action->shortcut().toString(QKeySequence::NativeText)));
  }
  setMinimumWidth(0);
  if (widest > first_keys) setMinimumWidth(sizeHint().width() + widest - first_keys);
}

}  // namespace tk
