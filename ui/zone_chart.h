#pragma once
// Pictures of tolerance zones: every grade's zone for one interval as bars against the zero
// line, and a fit's hole and shaft side by side. The same painting serves the panel, whose
// bar row scrolls, and the exported picture, which holds every bar.

#include <QColor>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "ui/zone_geometry.h"

class QPainter;
class QScrollBar;
class LoadedValues;
namespace tk {
class GridModel;
}

struct GradeZone {
  std::int32_t col = 0;
  QString name;
  bool hole = false;
  bool known = false;  // the cell reads as two numbers
  double upper = 0.0;  // micrometres
  double lower = 0.0;
};

// The zones of every grade of row, in column order (the file's values where a cell is marked).
[[nodiscard]] std::vector<GradeZone> ZonesOfInterval(const tk::GridModel& cells,
                                                     const LoadedValues& loaded, std::int32_t row);

namespace zone_picture {

inline constexpr int kScaleWidth = 52;  // the tick labels' column at the left
inline constexpr int kTopMargin = 18;   // room for the unit above the top mark
inline constexpr int kNameHeight = 20;  // the names' line under the bars
inline constexpr BarRow kBars{kScaleWidth + 8, 40, 26};
inline const QColor kHoleColor{70, 120, 210};
inline const QColor kShaftColor{225, 140, 40};

// The scale the zones of a picture are drawn on, for an area's height.
[[nodiscard]] ZoneScale ScaleFor(const std::vector<GradeZone>& zones, const QRect& area);
// Bars of zones[first..] from the bar row's place shifted left by offset, within area; the
// scale stays at the left. currentCol's bar is highlighted.
void PaintZones(QPainter& painter, const QRect& area, const std::vector<GradeZone>& zones,
                std::int32_t currentCol, int offset);
// The width that shows every bar of count.
[[nodiscard]] int WidthForBars(int count);
// A hole's and a shaft's zones side by side, on one scale, in area.
void PaintFit(QPainter& painter, const QRect& area, const GradeZone& hole, const GradeZone& shaft);

}  // namespace zone_picture

// The panel's bar row: paints the zones handed to it, scrolls with its scroll bar, and tells
// which grade a click fell on.
class ZoneChart : public QWidget {
  Q_OBJECT

 public:
  explicit ZoneChart(QWidget* parent = nullptr);

  void SetZones(std::vector<GradeZone> zones, std::int32_t currentCol);
  [[nodiscard]] const std::vector<GradeZone>& Zones() const { return zones_; }
  [[nodiscard]] QScrollBar* ScrollBar() const { return scroll_; }
  // The bar of a grade, in this widget's coordinates (empty when the grade has no zone).
  [[nodiscard]] QRect BarOf(std::int32_t col) const;

 signals:
  void gradeClicked(std::int32_t col);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  [[nodiscard]] QRect ChartArea() const;
  void UpdateScrollRange();
  void ScrollToCurrent();

  std::vector<GradeZone> zones_;
  std::int32_t currentCol_ = 0;
  QScrollBar* scroll_;
};
