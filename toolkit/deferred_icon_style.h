// The application's style with the icons of the tool bar and menu bar extension buttons made
// when first drawn. A menu bar makes its extension button (shown only when the menus do not
// fit) as it is built, and the style reads that button's pictures with Qt's image reader, which
// first loads every image format plugin to ask whether it reads them; start-up need not wait for
// a button it does not show.
#pragma once

#include <QProxyStyle>

namespace tk {

class DeferredIconStyle : public QProxyStyle {
  Q_OBJECT

 public:
  explicit DeferredIconStyle(const QString& base_key);

  [[nodiscard]] QIcon standardIcon(StandardPixmap which, const QStyleOption* option,
                                   const QWidget* widget) const override;
};

}  // namespace tk
