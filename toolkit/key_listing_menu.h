#pragma once
// A drop-down menu that shows every short-cut of an item (a plain menu shows only the first),
// so that a second, customary key beside the window's own is visible where the user looks.

#include <QMenu>

class QStyleOptionMenuItem;

namespace tk {

class KeyListingMenu : public QMenu {
  Q_OBJECT

 public:
  KeyListingMenu(const QString& title, QWidget* parent);

  [[nodiscard]] QSize sizeHint() const override;

 protected:
  void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override;
  void actionEvent(QActionEvent* event) override;

 private:
  void WidenForKeys();

  bool width_settled_ = true;
};

}  // namespace tk
