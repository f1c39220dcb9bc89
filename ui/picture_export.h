#pragma once
// The zone panel's picture as a file: every bar of the interval with its scale, and the chosen
// fit below, as PNG (QImage) or SVG (Qt SVG).

#include <QSize>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "ui/zone_chart.h"

class QPainter;

struct PanelPicture {
  const std::vector<GradeZone>& zones;
  std::int32_t currentCol;
  QString title;  // the interval
  const GradeZone& hole;
  const GradeZone& shaft;
  QString fitText;
};

[[nodiscard]] QSize PanelPictureSize(int grades);
void PaintPanelPicture(QPainter& painter, const PanelPicture& picture);

// Paints into an SVG file when path ends in ".svg" (any case), else into a PNG image; false
// when the file cannot be written.
[[nodiscard]] bool WritePicture(const QString& path, QSize size,
                                const std::function<void(QPainter&)>& paint);
