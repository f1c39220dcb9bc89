#pragma once
// Reading a block pasted from a spreadsheet into value cell texts.
//
// Rows end at "\n" or "\r\n" (a last line end is optional); fields are split at tabs; a field
// that starts with '"' runs to the matching quote, '""' standing for one quote, so it may hold
// tabs and line ends. When every field is a single number and every row has an even field
// count, neighbouring fields pair up into one cell (upper, lower deviation), since spreadsheets
// keep the two deviations in two columns; otherwise each field is one cell and must read as a
// value cell does in the save (two blank-separated numbers, words after the second ignored).
// Numbers take "." or ","; each cell becomes the cell form of its two numbers.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/errors.h"

namespace tol {

// One field of a block as text lines and tab-separated fields, both counted from 1.
struct BlockField {
  std::int32_t row;
  std::int32_t col;
  std::string text;
};

// Raised by ReadCellBlock for a field that is no value cell, holds a number beyond the binary64
// range or would land outside the table; Message() names the field, Field() locates it.
class EBlockField : public Exception {
 public:
  EBlockField(BlockField field, const std::string& message);
  [[nodiscard]] const BlockField& Field() const { return field_; }

 private:
  BlockField field_;
};

// Where a block goes: the table cell of its first cell, and how many columns and rows the table
// has from there on.
struct BlockTarget {
  std::int32_t left;
  std::int32_t top;
  std::int32_t cols;
  std::int32_t rows;
};

// A cell text and the table cell it goes to.
struct PlacedText {
  std::int32_t col;
  std::int32_t row;
  std::string text;
};

struct CellBlock {
  std::vector<PlacedText> cells;  // row by row, left to right
  bool paired = false;            // two fields made each cell
};

// Where a block's cell texts go as they are read, row by row and left to right.
class CellSink {
 public:
  virtual ~CellSink() = default;
  // About count texts are to come (an upper bound).
  virtual void Reserve(std::size_t count) = 0;
  virtual void Put(std::int32_t col, std::int32_t row, std::string_view text) = 0;
  // Forgets the texts put so far: the block is read again another way.
  virtual void Clear() = 0;
};

// The fields of text, row by row; an empty text gives no rows.
[[nodiscard]] std::vector<std::vector<std::string>> SplitTabSeparated(std::string_view text);

// The cell texts of a block placed at target. Raises EBlockField at the first fault in reading
// order: a row below the table at its first field, a cell right of it at its first field, a bad
// field where it stands.
[[nodiscard]] CellBlock ReadCellBlock(std::string_view text, BlockTarget target);
// The same cells put into sink as they are read; true when two fields made each cell. After a
// refusal the sink holds the cells put before it, which the caller then drops.
bool ReadCellBlockInto(std::string_view text, BlockTarget target, CellSink& sink);

}  // namespace tol
