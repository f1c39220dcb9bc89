#pragma once
// A rectangle of cells as spreadsheets exchange it through the clipboard: tab-separated text
// (cells joined by tabs, rows ended by a line end) and an HTML table; and the reading of such a
// block back into value cell texts.
//
// Reading: rows end at "\n" or "\r\n" (a last line end is optional); fields are split at tabs; a
// field that starts with '"' runs to the matching quote, '""' standing for one quote, so it may
// hold tabs and line ends. When every field is a single number and every row has an even field
// count, neighbouring fields pair up into one cell (upper, lower deviation); otherwise each
// field is one cell and must read as a value cell (two blank-separated numbers, words after the
// second ignored). Numbers take "." or ","; each cell becomes the cell form of its two numbers.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/errors.h"
#include "data/tolerance_file.h"

namespace tol {

struct CellRect {
  std::int32_t left;
  std::int32_t top;
  std::int32_t right;  // inclusive
  std::int32_t bottom;
};

[[nodiscard]] std::string BlockAsTabSeparated(const CellTable& table, CellRect rect);
[[nodiscard]] std::string BlockAsHtmlTable(const CellTable& table, CellRect rect);

// One field of a block as text lines and tab-separated fields, both counted from 1.
struct BlockField {
  std::int32_t row;
  std::int32_t col;
  std::string text;
};

// A block read into cell texts, row by row: row r holds rowLengths[r] cells, a row possibly
// shorter than the widest one.
struct CellBlock {
  std::vector<std::string> cells;
  std::vector<std::int32_t> rowLengths;
  bool paired = false;  // two fields made each cell
};

// The cells a block may fill: from its target cell to the table's last column and row.
struct BlockRoom {
  std::int32_t cols;
  std::int32_t rows;
};

// Raised by ReadCellBlock for a field that is no value cell, holds a number beyond the binary64
// range or would land outside the room; Message() names the field, Field() locates it.
class EBlockField : public Exception {
 public:
  EBlockField(BlockField field, const std::string& message);
  [[nodiscard]] const BlockField& Field() const { return field_; }

 private:
  BlockField field_;
};

// The fields of text, row by row; an empty text gives no rows.
[[nodiscard]] std::vector<std::vector<std::string>> SplitTabSeparated(std::string_view text);
// The cell texts of a block; raises EBlockField at the first bad field in reading order.
[[nodiscard]] CellBlock ReadCellBlock(std::string_view text, BlockRoom room);

}  // namespace tol
