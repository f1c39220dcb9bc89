#pragma once
// The main grid's cell painter with the tolerance views' marks: a cell whose upper deviation
// lies below its lower one on a pale red ground, and a small red corner on a cell whose file
// value a save will round. Tables without either cost one test per cell.

#include "toolkit/grid_cell_painter.h"

class CheckCounter;
class LoadedValues;

class MarkedCellPainter : public tk::GridCellPainter {
  Q_OBJECT

 public:
  MarkedCellPainter(const tk::GridModel& cells, const LoadedValues& loaded,
                    const CheckCounter& checks, QObject* parent);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

  static constexpr int kMarkSize = 6;  // the corner's sides, in pixels

 private:
  const tk::GridModel& cells_;
  const LoadedValues& loaded_;
  const CheckCounter& checks_;
};
