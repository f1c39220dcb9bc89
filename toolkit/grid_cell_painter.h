#pragma once
// Draws the string grid's cells. A plain cell (not selected, focused, hovered or being edited)
// whose text fits is drawn here with one text layout, straight onto the painter, to the pixels
// the style's item drawing gives it: no background (the model serves no background role, so the
// viewport's own shows), the text in the view's font and the palette's text colour, left-aligned
// and vertically centred inside the focus-frame margins. Every other cell goes to
// QStyledItemDelegate::paint, which elides, highlights and frames it. A full repaint thereby
// skips the style option set-up, the clip and the second text layout the default drawing makes
// per cell.

#include <QStyledItemDelegate>

namespace tk {

class GridModel;

class GridCellPainter : public QStyledItemDelegate {
  Q_OBJECT

 public:
  GridCellPainter(const GridModel& model, QObject* parent);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

 private:
  // Whether the cell's look depends on nothing but its text; if so, whether the text fits
  // decides between drawing it here and handing it on.
  [[nodiscard]] bool IsPlainCell(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const;
  // Draws the text and returns true, or draws nothing and returns false when the text would
  // not be drawn whole (elided, clipped) or holds characters whose layout is not plain.
  bool PaintPlainText(QPainter* painter, const QStyleOptionViewItem& option,
                      const QString& text) const;

  const GridModel& model_;
};

}  // namespace tk
