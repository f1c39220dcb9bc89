#include "ui/zone_chart.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <optional>

#include "data/exact_decimal.h"
#include "data/number_text.h"
#include "toolkit/grid_model.h"
#include "ui/cell_status.h"
#include "ui/loaded_values.h"

namespace zone_picture {
namespace {

constexpr int kTickSpacing = 28;

[[nodiscard]] QString TickText(double microns) {
  return QString::fromStdString(
      tol::DecimalText(tol::ShortestDecimal(microns), tol::DecimalSeparator()));
}

void PaintScale(QPainter& painter, const QRect& area, const ZoneScale& scale) {
  painter.setPen(QColor(225, 225, 225));
  const std::vector<double> ticks = scale.Ticks(kTickSpacing);
  for (const double tick : ticks) {
    painter.drawLine(area.left() + kScaleWidth, scale.Y(tick), area.right(), scale.Y(tick));
  }
  painter.fillRect(QRect(area.left(), area.top(), kScaleWidth, area.height()), Qt::white);
  painter.setPen(Qt::black);
  for (const double tick : ticks) {
    painter.drawText(QRect(area.left(), scale.Y(tick) - 8, kScaleWidth - 6, 16),
                     Qt::AlignRight | Qt::AlignVCenter, TickText(tick));
  }
  painter.drawText(QRect(area.left(), area.top(), kScaleWidth - 6, 14), Qt::AlignRight,
                   QStringLiteral("мкм"));
  painter.drawLine(area.left() + kScaleWidth - 2, area.top(), area.left() + kScaleWidth - 2,
                   area.bottom() - kNameHeight);
}

void PaintBar(QPainter& painter, const QRect& bar, const GradeZone& zone, bool current) {
  QColor color = zone.hole ? kHoleColor : kShaftColor;
  if (!current) color = color.lighter(125);
  painter.fillRect(bar, color);
  painter.setPen(current ? QPen(Qt::black, 2) : QPen(color.darker(140)));
  painter.drawRect(bar.adjusted(0, 0, -1, -1));
}

void PaintName(QPainter& painter, const QRect& rect, const GradeZone& zone, bool current) {
  QFont font = painter.font();
  font.setBold(current);
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(rect, Qt::AlignCenter, zone.known ? zone.name : zone.name + QStringLiteral("?"));
  font.setBold(false);
  painter.setFont(font);
}

}  // namespace

ZoneScale ScaleFor(const std::vector<GradeZone>& zones, const QRect& area) {
  double low = 0.0;
  double high = 0.0;
  for (const GradeZone& zone : zones) {
    if (!zone.known) continue;
    low = std::min({low, zone.lower, zone.upper});
    high = std::max({high, zone.lower, zone.upper});
  }
  return ZoneScale(low, high, area.top() + kTopMargin, area.bottom() - kNameHeight);
}

int WidthForBars(int count) { return kBars.BarLeft(count) + kBars.pitch; }

void PaintZones(QPainter& painter, const QRect& area, const std::vector<GradeZone>& zones,
                std::int32_t currentCol, int offset) {
  painter.fillRect(area, Qt::white);
  const ZoneScale scale = ScaleFor(zones, area);
  const auto count = static_cast<int>(zones.size());
  const int first = std::max(0, (offset - kBars.pitch) / kBars.pitch);
  const int last = std::min(count - 1, (offset + area.width()) / kBars.pitch + 1);
  painter.save();
  painter.setClipRect(area);
  PaintScale(painter, area, scale);
  painter.setClipRect(area.adjusted(kScaleWidth, 0, 0, 0));
  painter.setPen(QPen(Qt::black, 1));
  painter.drawLine(area.left() + kScaleWidth, scale.Y(0), area.right(), scale.Y(0));
  for (int i = first; i <= last; ++i) {
    const GradeZone& zone = zones[static_cast<std::size_t>(i)];
    const int left = area.left() + kBars.BarLeft(i) - offset;
    const bool current = zone.col == currentCol;
    if (zone.known)
      PaintBar(painter, scale.Bar(left, kBars.width, zone.upper, zone.lower), zone, current);
    const int spare = (kBars.pitch - kBars.width) / 2;
    PaintName(painter, QRect(left - spare, area.bottom() - kNameHeight, kBars.pitch, kNameHeight),
              zone, current);
  }
  painter.restore();
}

void PaintFit(QPainter& painter, const QRect& area, const GradeZone& hole, const GradeZone& shaft) {
  const std::vector<GradeZone> pair{hole, shaft};
  const QRect chart(area.left(), area.top(), std::min(area.width(), WidthForBars(2)),
                    area.height());
  painter.fillRect(area, Qt::white);
  PaintZones(painter, chart, pair, -1, 0);
}

}  // namespace zone_picture

std::vector<GradeZone> ZonesOfInterval(const tk::GridModel& cells, const LoadedValues& loaded,
                                       std::int32_t row) {
  std::vector<GradeZone> zones;
  if (row < 1 || row >= cells.RowCount()) return zones;
  zones.reserve(static_cast<std::size_t>(std::max(cells.ColCount() - 1, 0)));
  for (std::int32_t col = 1; col < cells.ColCount(); ++col) {
    GradeZone zone;
    zone.col = col;
    zone.name = GradeName(cells, col);
    zone.hole = IsHoleGrade(zone.name);
    if (const std::optional<LoadedValues::Pair> values = loaded.Values(col, row)) {
      zone.known = std::isfinite(values->first) && std::isfinite(values->second);
      zone.upper = values->first * 1000.0;
      zone.lower = values->second * 1000.0;
    }
    zones.push_back(std::move(zone));
  }
  return zones;
}

ZoneChart::ZoneChart(QWidget* parent)
    : QWidget(parent), scroll_(new QScrollBar(Qt::Horizontal, this)) {
  setMinimumHeight(160);
  connect(scroll_, &QScrollBar::valueChanged, this, [this] { update(); });
}

void ZoneChart::SetZones(std::vector<GradeZone> zones, std::int32_t currentCol) {
  zones_ = std::move(zones);
  const bool moved = currentCol != currentCol_;
  currentCol_ = currentCol;
  UpdateScrollRange();
  if (moved) ScrollToCurrent();
  update();
}

// Brings the current grade's bar into view when it is out of it; a bar in view stays where the
// user scrolled it.
void ZoneChart::ScrollToCurrent() {
  const auto found = std::find_if(zones_.begin(), zones_.end(), [this](const GradeZone& zone) {
    return zone.col == currentCol_;
  });
  if (found == zones_.end()) return;
  const int left = zone_picture::kBars.BarLeft(static_cast<int>(found - zones_.begin()));
  const int shownLeft = left - scroll_->value();
  if (shownLeft < zone_picture::kBars.left) {
    scroll_->setValue(left - zone_picture::kBars.left);
  } else if (shownLeft + zone_picture::kBars.pitch > width()) {
    scroll_->setValue(left + zone_picture::kBars.pitch - width());
  }
}

QRect ZoneChart::ChartArea() const {
  return QRect(0, 0, width(), height() - (scroll_->isVisible() ? scroll_->height() : 0));
}

void ZoneChart::UpdateScrollRange() {
  const int overflow = zone_picture::WidthForBars(static_cast<int>(zones_.size())) - width();
  scroll_->setRange(0, std::max(overflow, 0));
  scroll_->setPageStep(std::max(width() - zone_picture::kScaleWidth, 1));
  scroll_->setSingleStep(zone_picture::kBars.pitch);
  scroll_->setVisible(overflow > 0);
  scroll_->setGeometry(0, height() - scroll_->sizeHint().height(), width(),
                       scroll_->sizeHint().height());
}

QRect ZoneChart::BarOf(std::int32_t col) const {
  for (std::size_t i = 0; i < zones_.size(); ++i) {
    const GradeZone& zone = zones_[i];
    if (zone.col != col || !zone.known) continue;
    const ZoneScale scale = zone_picture::ScaleFor(zones_, ChartArea());
    return scale.Bar(zone_picture::kBars.BarLeft(static_cast<int>(i)) - scroll_->value(),
                     zone_picture::kBars.width, zone.upper, zone.lower);
  }
  return {};
}

void ZoneChart::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  zone_picture::PaintZones(painter, ChartArea(), zones_, currentCol_, scroll_->value());
}

void ZoneChart::mousePressEvent(QMouseEvent* event) {
  const int i = zone_picture::kBars.BarAt(event->position().toPoint().x() + scroll_->value(),
                                          static_cast<int>(zones_.size()));
  if (i >= 0 && event->position().x() >= zone_picture::kScaleWidth) {
    emit gradeClicked(zones_[static_cast<std::size_t>(i)].col);
  }
}

void ZoneChart::resizeEvent(QResizeEvent*) { UpdateScrollRange(); }
