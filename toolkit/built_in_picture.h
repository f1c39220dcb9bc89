// Pictures compiled into the program (PNG, XPM), read by Qt's own decoders. Left to choose the
// decoder itself, Qt first loads every image format plugin (and the SVG and JPEG libraries
// behind them) to ask each whether it reads the format; these pictures never need one.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <functional>

namespace tk {

// The picture at the resource path; its format is named by the path's suffix. A null pixmap
// when it cannot be read.
QPixmap ReadBuiltInPicture(const QString& path);

QIcon BuiltInIcon(const QString& path);

// The icon that make() returns, made when the icon is first drawn or asked for its sizes.
QIcon DeferredIcon(std::function<QIcon()> make);

}  // namespace tk
