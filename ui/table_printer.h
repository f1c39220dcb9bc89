#pragma once
// Prints the whole tolerance table, or writes it as PDF, page by page: each page carries the
// file's name and the date at the top and its number at the bottom, repeats the grade names
// and the interval column, and a table wider than a page continues on further pages.

#include <QString>
#include <cstdint>
#include <vector>

class QPrinter;
namespace tk {
class GridModel;
}

// Value columns first..last on one page, beside the interval column.
struct ColumnRange {
  std::int32_t first;
  std::int32_t last;
  bool operator==(const ColumnRange&) const = default;
};

// Splits value columns 1..widths.size()-1 into pages of at most pageWidth, the interval
// column (widths[0]) being on every page; a column wider than a page gets a page of its own.
[[nodiscard]] std::vector<ColumnRange> SplitColumns(const std::vector<int>& widths, int pageWidth);

// Prints every cell of the table on printer (set up by the caller: device, PDF file). Returns
// the number of pages, 0 when the printer could not be started.
int PrintTable(QPrinter& printer, const tk::GridModel& cells, const QString& fileName,
               const QString& date);
