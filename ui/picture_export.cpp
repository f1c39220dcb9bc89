#include "ui/picture_export.h"

#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <algorithm>

namespace {

constexpr int kTitleHeight = 24;
constexpr int kZonesHeight = 280;
constexpr int kFitHeight = 200;
constexpr int kFitTextHeight = 40;
constexpr int kLeastWidth = 480;

}  // namespace

QSize PanelPictureSize(int grades) {
  return {std::max(zone_picture::WidthForBars(grades), kLeastWidth),
          kTitleHeight + kZonesHeight + kFitHeight + kFitTextHeight};
}

void PaintPanelPicture(QPainter& painter, const PanelPicture& picture) {
  const QSize size = PanelPictureSize(static_cast<int>(picture.zones.size()));
  painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
  painter.setPen(Qt::black);
  painter.drawText(QRect(8, 0, size.width() - 16, kTitleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("Поля допусков, ") + picture.title);
  zone_picture::PaintZones(painter, QRect(0, kTitleHeight, size.width(), kZonesHeight),
                           picture.zones, picture.currentCol, 0);
  const int fitTop = kTitleHeight + kZonesHeight;
  zone_picture::PaintFit(painter, QRect(0, fitTop, size.width(), kFitHeight), picture.hole,
                         picture.shaft);
  painter.setPen(Qt::black);
  painter.drawText(QRect(8, fitTop + kFitHeight, size.width() - 16, kFitTextHeight),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, picture.fitText);
}

bool WritePicture(const QString& path, QSize size, const std::function<void(QPainter&)>& paint) {
  if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(QStringLiteral("Поля допусков"));
    QPainter painter;
    if (!painter.begin(&svg)) return false;
    paint(painter);
    return painter.end();
  }
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    paint(painter);
  }
  return image.save(path, "PNG");
}
