#include "toolkit/deferred_icon_style.h"

#include <QPointer>
#include <QWidget>

#include "toolkit/built_in_picture.h"

namespace tk {

DeferredIconStyle::DeferredIconStyle(const QString& base_key) : QProxyStyle(base_key) {}

QIcon DeferredIconStyle::standardIcon(StandardPixmap which, const QStyleOption* option,
                                      const QWidget* widget) const {
  const bool extension =
      which == SP_ToolBarHorizontalExtensionButton || which == SP_ToolBarVerticalExtensionButton;
  if (!extension || option != nullptr) return QProxyStyle::standardIcon(which, option, widget);
  // The widget only tells the direction; one gone by the time of drawing is asked about no more.
  QPointer<QWidget> asking(const_cast<QWidget*>(widget));
  QPointer<QStyle> base(baseStyle());
  return DeferredIcon([base, which, asking] {
    return base.isNull() ? QIcon() : base->standardIcon(which, nullptr, asking.data());
  });
}

}  // namespace tk
