#include "ui/marked_cell_painter.h"

#include <QPainter>
#include <QPolygon>

#include "toolkit/grid_model.h"
#include "ui/check_counter.h"
#include "ui/loaded_values.h"

MarkedCellPainter::MarkedCellPainter(const tk::GridModel& cells, const LoadedValues& loaded,
                                     const CheckCounter& checks, QObject* parent)
    : tk::GridCellPainter(cells, parent), cells_(cells), loaded_(loaded), checks_(checks) {}

void MarkedCellPainter::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
  const std::int32_t col = cells_.ColOf(index);
  const std::int32_t row = cells_.RowOf(index);
  if (checks_.UpperBelowLowerCount() > 0 && checks_.CellFails(col, row)) {
    painter->fillRect(option.rect, QColor(255, 205, 205));
  }
  tk::GridCellPainter::paint(painter, option, index);
  if (loaded_.Empty() || !loaded_.Marked(col, row)) return;
  const QRect& r = option.rect;
  const QPolygon corner({QPoint(r.right() - kMarkSize + 1, r.top()), QPoint(r.right(), r.top()),
                         QPoint(r.right(), r.top() + kMarkSize - 1)});
  painter->save();
  painter->setPen(Qt::NoPen);
  painter->setBrush(QColor(210, 30, 30));
  painter->drawPolygon(corner);
  painter->restore();
}
