#include "toolkit/built_in_picture.h"

#include <QFileInfo>
#include <QIconEngine>
#include <QImageReader>
#include <optional>

namespace tk {

namespace {

// Hands every question to the icon make() returns, made at the first question.
class DeferredIconEngine : public QIconEngine {
 public:
  explicit DeferredIconEngine(std::function<QIcon()> make) : make_(std::move(make)) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    Loaded().paint(painter, rect, Qt::AlignCenter, mode, state);
  }
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Loaded().actualSize(size, mode, state);
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Loaded().pixmap(size, mode, state);
  }
  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                       qreal scale) override {
    return Loaded().pixmap(size, scale, mode, state);
  }
  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
    return Loaded().availableSizes(mode, state);
  }
  // Asked before the first drawing (as a window asks of its icon), it does not make the icon.
  bool isNull() override { return loaded_ && loaded_->isNull(); }
  QString key() const override { return QStringLiteral("DeferredIconEngine"); }
  QIconEngine* clone() const override { return new DeferredIconEngine(*this); }

 private:
  const QIcon& Loaded() {
    if (!loaded_) loaded_ = make_();
    return *loaded_;
  }

  std::function<QIcon()> make_;
  std::optional<QIcon> loaded_;
};

}  // namespace

QPixmap ReadBuiltInPicture(const QString& path) {
  QImageReader reader(path, QFileInfo(path).suffix().toLatin1());
  reader.setAutoDetectImageFormat(false);
  return QPixmap::fromImage(reader.read());
}

QIcon BuiltInIcon(const QString& path) { return QIcon(ReadBuiltInPicture(path)); }

QIcon DeferredIcon(std::function<QIcon()> make) {
  return QIcon(new DeferredIconEngine(std::move(make)));
}

}  // namespace tk
