#include "toolkit/grid_cell_painter.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>
#include <algorithm>

#include "toolkit/grid_model.h"

namespace tk {

namespace {

// States the style draws something for besides the text: highlight, focus frame, hover, editor.
constexpr QStyle::State kStyledStates = QStyle::State_Selected | QStyle::State_HasFocus |
                                        QStyle::State_MouseOver | QStyle::State_Editing;

constexpr QStyleOptionViewItem::ViewItemFeatures kStyledFeatures =
    QStyleOptionViewItem::WrapText | QStyleOptionViewItem::Alternate |
    QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDecoration;

constexpr Qt::Alignment kCellAlignment = Qt::AlignLeft | Qt::AlignVCenter;

// Characters laid out as one glyph after another, left to right, on one line: printable ASCII,
// Latin-1 letters and signs (the soft hyphen aside, which may vanish or show), and Cyrillic
// letters (its combining marks aside). Numbers and grade names are made of these; a text with
// any other character (a line break, a tab, a right-to-left letter) is left to the style.
[[nodiscard]] bool IsPlainChar(QChar c) {
  const char16_t u = c.unicode();
  return (u >= 0x20 && u < 0x7F) || (u >= 0xA0 && u <= 0xFF && u != 0xAD) ||
         (u >= 0x400 && u <= 0x482) || (u >= 0x48A && u <= 0x4FF);
}

// The colour group the style takes the text colour from.
[[nodiscard]] QPalette::ColorGroup TextColorGroup(const QStyleOptionViewItem& option) {
  if (!(option.state & QStyle::State_Enabled)) return QPalette::Disabled;
  return (option.state & QStyle::State_Active) ? QPalette::Normal : QPalette::Inactive;
}

[[nodiscard]] const QStyle& StyleOf(const QStyleOptionViewItem& option) {
  return option.widget != nullptr ? *option.widget->style() : *QApplication::style();
}

[[nodiscard]] QTextOption UnwrappedLeftToRight() {
  QTextOption text_option(kCellAlignment);
  text_option.setWrapMode(QTextOption::ManualWrap);
  text_option.setTextDirection(Qt::LeftToRight);
  return text_option;
}

}  // namespace

GridCellPainter::GridCellPainter(const GridModel& model, QObject* parent)
    : QStyledItemDelegate(parent), model_(model) {}

void GridCellPainter::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
  if (IsPlainCell(option, index)) {
    const std::string& cell = model_.Cell(model_.ColOf(index), model_.RowOf(index));
    if (cell.empty()) return;  // the style would draw neither a background nor a text
    if (PaintPlainText(painter, option, QString::fromStdString(cell))) return;
  }
  QStyledItemDelegate::paint(painter, option, index);
}

// The view hands over its own options; the model adds no role but the text to them, so these
// are all the cell's look depends on. A style sheet may draw cells its own way.
bool GridCellPainter::IsPlainCell(const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
  return index.model() == &model_ && !(option.state & kStyledStates) &&
         !(option.features & kStyledFeatures) && option.direction == Qt::LeftToRight &&
         option.displayAlignment == kCellAlignment &&
         option.backgroundBrush.style() == Qt::NoBrush &&
         (option.widget == nullptr || !option.widget->testAttribute(Qt::WA_StyleSheet));
}

// The style lays the text out inside the cell less its focus-frame margin on either side, and
// centres the line's whole pixel height in the cell; it elides a line wider than that room. It
// also clips to the cell, which costs more than the text itself; a line that fits needs no clip,
// as its natural width counts the ink a last glyph reaches past its advance, and a line taller
// than the cell is left to the style.
bool GridCellPainter::PaintPlainText(QPainter* painter, const QStyleOptionViewItem& option,
                                     const QString& text) const {
  if (!std::all_of(text.begin(), text.end(), IsPlainChar)) return false;
  const QStyle& style = StyleOf(option);
  const int margin = style.pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option.widget) + 1;
  const QRect text_rect = option.rect.adjusted(margin, 0, -margin, 0);

  QTextLayout layout(text, option.font);
  layout.setTextOption(UnwrappedLeftToRight());
  layout.beginLayout();
  QTextLine line = layout.createLine();
  line.setLineWidth(text_rect.width());
  layout.endLayout();
  if (line.naturalTextWidth() > text_rect.width() || line.height() > text_rect.height()) {
    return false;
  }

  const QSize line_size(text_rect.width(), static_cast<int>(line.height()));
  const QRect line_rect =
      QStyle::alignedRect(Qt::LeftToRight, kCellAlignment, line_size, text_rect);
  const QPen old_pen = painter->pen();
  painter->setPen(option.palette.color(TextColorGroup(option), QPalette::Text));
  layout.draw(painter, QPointF(text_rect.x(), line_rect.top()));
  painter->setPen(old_pen);
  return true;
}

}  // namespace tk
