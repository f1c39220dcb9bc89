#include "ui/table_printer.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

#include "toolkit/grid_model.h"

namespace {

constexpr int kPadding = 4;      // points either side of a cell's text
constexpr int kHeaderLines = 2;  // the file's name and date, then a blank line
constexpr double kPointsPerInch = 72.0;
constexpr int kFontPoints = 9;

// Page geometry in points, the unit the painter is scaled to.
struct Page {
  int width;
  int height;
  int lineHeight;
  int rowsPerPage;  // value rows under the names' row
};

// The width, in points, of each column: its longest text and the padding.
std::vector<int> ColumnWidths(const tk::GridModel& cells, const QFontMetrics& metrics) {
  std::vector<int> widths;
  widths.reserve(static_cast<std::size_t>(cells.ColCount()));
  for (std::int32_t col = 0; col < cells.ColCount(); ++col) {
    const std::string* longest = &cells.Cell(col, 0);
    for (std::int32_t row = 1; row < cells.RowCount(); ++row) {
      const std::string& text = cells.Cell(col, row);
      if (text.size() > longest->size()) longest = &text;
    }
    widths.push_back(metrics.horizontalAdvance(QString::fromStdString(*longest)) + 2 * kPadding);
  }
  return widths;
}

void PaintCell(QPainter& painter, const QRect& rect, const std::string& text, bool label) {
  if (label) painter.fillRect(rect, QColor(235, 235, 235));
  painter.drawRect(rect);
  painter.drawText(rect.adjusted(kPadding, 0, -kPadding, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromStdString(text));
}

// One page: rows firstRow.. of the columns in range, under the names' row, beside column 0.
void PaintPage(QPainter& painter, const tk::GridModel& cells, const std::vector<int>& widths,
               const Page& page, ColumnRange columns, std::int32_t firstRow) {
  const std::int32_t lastRow = std::min(firstRow + page.rowsPerPage - 1, cells.RowCount() - 1);
  int y = kHeaderLines * page.lineHeight;
  auto paintRow = [&](std::int32_t row) {
    int x = 0;
    PaintCell(painter, QRect(x, y, widths[0], page.lineHeight), cells.Cell(0, row), true);
    x += widths[0];
    for (std::int32_t col = columns.first; col <= columns.last; ++col) {
      const int width = widths[static_cast<std::size_t>(col)];
      PaintCell(painter, QRect(x, y, width, page.lineHeight), cells.Cell(col, row), row == 0);
      x += width;
    }
    y += page.lineHeight;
  };
  paintRow(0);
  for (std::int32_t row = firstRow; row <= lastRow; ++row) paintRow(row);
}

}  // namespace

std::vector<ColumnRange> SplitColumns(const std::vector<int>& widths, int pageWidth) {
  std::vector<ColumnRange> pages;
  if (widths.size() < 2) return pages;
  const int room = pageWidth - widths[0];
  ColumnRange current{1, 0};
  int used = 0;
  for (std::int32_t col = 1; col < static_cast<std::int32_t>(widths.size()); ++col) {
    const int width = widths[static_cast<std::size_t>(col)];
    if (current.last >= current.first && used + width > room) {
      pages.push_back(current);
      current = {col, col - 1};
      used = 0;
    }
    current.last = col;
    used += width;
  }
  pages.push_back(current);
  return pages;
}

int PrintTable(QPrinter& printer, const tk::GridModel& cells, const QString& fileName,
               const QString& date) {
  QPainter painter;
  if (!painter.begin(&printer)) return 0;
  const double scale = printer.resolution() / kPointsPerInch;
  painter.scale(scale, scale);
  // A size in pixels is one in the painter's units, points here, whatever the printer's
  // resolution; a size in points would be scaled twice.
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(kFontPoints);
  painter.setFont(font);
  const QFontMetrics metrics(font);
  const QRectF paper = printer.pageLayout().paintRect(QPageLayout::Point);
  Page page{static_cast<int>(paper.width()), static_cast<int>(paper.height()), 0, 0};
  page.lineHeight = metrics.height() + 4;
  const std::vector<int> widths = ColumnWidths(cells, metrics);
  // The header lines, the names' row and the page number's line are on every page.
  page.rowsPerPage = std::max(page.height / page.lineHeight - kHeaderLines - 2, 1);
  const std::vector<ColumnRange> columnPages =
      cells.ColCount() > 1 ? SplitColumns(widths, page.width) : std::vector<ColumnRange>{{1, 0}};
  const std::int32_t valueRows = std::max(cells.RowCount() - 1, 1);
  const int rowPages = (valueRows + page.rowsPerPage - 1) / page.rowsPerPage;
  const int total = static_cast<int>(columnPages.size()) * rowPages;
  int number = 0;
  for (const ColumnRange& columns : columnPages) {
    for (int rowPage = 0; rowPage < rowPages; ++rowPage) {
      if (number > 0) printer.newPage();
      ++number;
      painter.setPen(Qt::black);
      painter.drawText(QRect(0, 0, page.width, page.lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                       fileName);
      painter.drawText(QRect(0, 0, page.width, page.lineHeight), Qt::AlignRight | Qt::AlignVCenter,
                       date);
      PaintPage(painter, cells, widths, page, columns, 1 + rowPage * page.rowsPerPage);
      painter.drawText(QRect(0, page.height - page.lineHeight, page.width, page.lineHeight),
                       Qt::AlignCenter, QStringLiteral("Страница %1 из %2").arg(number).arg(total));
    }
  }
  painter.end();
  return total;
}
