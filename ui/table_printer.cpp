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
  int line_height;
  int rows_per_page;  // value rows under the names' row
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
               const Page& page, ColumnRange columns, std::int32_t first_row) {
  const std::int32_t last_row = std::min(first_row + page.rows_per_page - 1, cells.RowCount() - 1);
  int y = kHeaderLines * page.line_height;
  auto paint_row = [&](std::int32_t row) {
    int x = 0;
    PaintCell(painter, QRect(x, y, widths[0], page.line_height), cells.Cell(0, row), true);
    x += widths[0];
    for (std::int32_t col = columns.first; col <= columns.last; ++col) {
      const int width = widths[static_cast<std::size_t>(col)];
      PaintCell(painter, QRect(x, y, width, page.line_height), cells.Cell(col, row), row == 0);
      x += width;
    }
    y += page.line_height;
  };
  paint_row(0);
  for (std::int32_t row = first_row; row <= last_row; ++row) paint_row(row);
}

}  // namespace

std::vector<ColumnRange> SplitColumns(const std::vector<int>& widths, int page_width) {
  std::vector<ColumnRange> pages;
  if (widths.size() < 2) return pages;
  const int room = page_width - widths[0];
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

int PrintTable(QPrinter& printer, const tk::GridModel& cells, const QString& file_name,
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
  page.line_height = metrics.height() + 4;
  const std::vector<int> widths = ColumnWidths(cells, metrics);
  // The header lines, the names' row and the page number's line are on every page.
  page.rows_per_page = std::max(page.height / page.line_height - kHeaderLines - 2, 1);
  const std::vector<ColumnRange> column_pages =
      cells.ColCount() > 1 ? SplitColumns(widths, page.width) : std::vector<ColumnRange>{{1, 0}};
  const std::int32_t value_rows = std::max(cells.RowCount() - 1, 1);
  const int row_pages = (value_rows + page.rows_per_page - 1) / page.rows_per_page;
  const int total = static_cast<int>(column_pages.size()) * row_pages;
  int number = 0;
  for (const ColumnRange& columns : column_pages) {
    for (int row_page = 0; row_page < row_pages; ++row_page) {
      if (number > 0) printer.newPage();
      ++number;
      painter.setPen(Qt::black);
      painter.drawText(QRect(0, 0, page.width, page.line_height), Qt::AlignLeft | Qt::AlignVCenter,
                       file_name);
      painter.drawText(QRect(0, 0, page.width, page.line_height), Qt::AlignRight | Qt::AlignVCenter,
                       date);
      PaintPage(painter, cells, widths, page, columns, 1 + row_page * page.rows_per_page);
      painter.drawText(QRect(0, page.height - page.line_height, page.width, page.line_height),
                       Qt::AlignCenter, QStringLiteral("Страница %1 из %2").arg(number).arg(total));
    }
  }
  painter.end();
  return total;
}
