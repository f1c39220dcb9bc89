#pragma once
// Whether this process has mapped any of Qt's image format plugins: the pictures compiled into
// the program are read without them, so start-up need not load them.

#include <QFile>

namespace tktest {

inline bool ImageFormatPluginLoaded() {
  QFile maps(QStringLiteral("/proc/self/maps"));
  if (!maps.open(QIODevice::ReadOnly)) return false;
  return maps.readAll().contains("plugins/imageformats/");
}

}  // namespace tktest
