#pragma once
// The string grid: a rectangle of cell texts shown in a table view with an in-place cell editor.
// It is also a tol::CellTable, so the tolerance file loads into and stores from it directly.
//
// Cell (col, row) counts from 0. The first FixedRows rows and FixedCols columns are label lines
// (at most one of each): they stay in view while scrolling and can be neither made current nor
// edited. When a count leaves no scrollable line, the grid gives up that fixed line and its
// cells become ordinary cells.

#include <QChar>
#include <QTableView>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "data/cell_block.h"
#include "data/pasted_block.h"
#include "data/tolerance_file.h"

namespace tk {

class GridModel;
class GridLine;
struct CellRuns;
class TStringList;

// Grid options, combined with |.
enum GridOption : std::uint32_t {
  goFixedVertLine = 1u << 0,
  goFixedHorzLine = 1u << 1,
  goVertLine = 1u << 2,
  goHorzLine = 1u << 3,
  goRangeSelect = 1u << 4,        // Shift + arrows select a rectangle (never a mouse press)
  goDrawFocusSelected = 1u << 5,  // the current cell is drawn in the selection colours
  goColSizing = 1u << 6,          // scrollable columns resizable by dragging in the fixed row
  goEditing = 1u << 7,            // cells editable in place
  goAlwaysShowEditor = 1u << 8,   // editing mode permanently on while the grid has the focus
};
using GridOptions = std::uint32_t;

class StringGrid : public QTableView, public tol::CellTable {
  Q_OBJECT

 public:
  static constexpr std::int32_t DefaultColWidth = 64;
  static constexpr std::int32_t DefaultRowHeight = 24;

  // 5 x 5 empty cells, one fixed row and one fixed column.
  explicit StringGrid(QWidget* parent = nullptr);
  ~StringGrid() override;

  // Counts; a value below 1 becomes 1. New columns get DefaultColWidth.
  [[nodiscard]] std::int32_t ColCount() const override;
  [[nodiscard]] std::int32_t RowCount() const override;
  void SetColCount(std::int32_t count) override;
  void SetRowCount(std::int32_t count) override;
  [[nodiscard]] std::int32_t FixedCols() const;
  [[nodiscard]] std::int32_t FixedRows() const;

  // Cell texts (UTF-8); GetCell gives "" outside the counts. SetCell raises no event; on the
  // current cell in editing mode the cell editor reloads its text with the whole text selected.
  // A cell outside the counts raises EInvalidGridOperation.
  [[nodiscard]] std::string GetCell(std::int32_t col, std::int32_t row) const override;
  [[nodiscard]] const std::string* CellInPlace(std::int32_t col, std::int32_t row) const override;
  void SetCell(std::int32_t col, std::int32_t row, const std::string& text) override;
  // Exchanges the text of each of cells in turn with its cell's (from the last one back when
  // backwards), as SetCell writes it but without copying either, in one pass and one
  // announcement: a large set of cells changes back and forth cheaply (a paste and its
  // undo). A cell outside the counts raises EInvalidGridOperation before any text changes.
  void SwapCells(std::span<tol::PlacedText> cells, bool backwards);
  // Writes each of cells whose text differs from its cell's, in turn, keeping the replaced text
  // in its place; the others, and those outside the counts, are dropped from cells. The first
  // run of a step: its cells are checked and written in the same pass.
  void SwapChangedCells(std::vector<tol::PlacedText>& cells);
  // SwapCells for cells kept in runs (see GridModel).
  void SwapRuns(CellRuns& cells, bool backwards);
  // Cells of rect were written in place through the model's CellToWrite: they are announced, and
  // an open cell editor among them reloads its text.
  void CellsWritten(tol::CellRect rect);
  // Runs OnPrepareForCounts: the loader calls it once both counts of the file are read.
  void PrepareForCounts() override;
  // The cells written in between are announced to the view once, at the end (a whole load).
  void BeginCellBatch() override;
  void EndCellBatch() override;

  // The current cell; setting it outside the counts raises EInvalidGridOperation.
  [[nodiscard]] std::int32_t CurrentCol() const;
  [[nodiscard]] std::int32_t CurrentRow() const;
  void SetCurrentCol(std::int32_t col);
  void SetCurrentRow(std::int32_t row);
  [[nodiscard]] std::int32_t FirstVisibleCol() const;
  [[nodiscard]] std::int32_t FirstVisibleRow() const;

  // The selected rectangle (the current cell alone when no range is selected), both corners
  // inclusive.
  struct CellRange {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
  };
  [[nodiscard]] CellRange Selection() const;
  // Selects from the anchor cell to the cell made current; both are brought inside the
  // scrollable cells. Moving the current cell commits an open cell editor.
  void SelectRange(std::int32_t anchor_col, std::int32_t anchor_row, std::int32_t col,
                   std::int32_t row);

  // Column widths in pixels; setting column >= ColCount raises EInvalidGridOperation.
  [[nodiscard]] std::int32_t ColWidth(std::int32_t col) const;
  void SetColWidth(std::int32_t col, std::int32_t width);
  // Sets the widths of columns 0 .. widths.size() - 1 at once, in time linear in their number,
  // where setting them one by one makes the view go over every column for each. More widths
  // than columns raises EInvalidGridOperation and changes nothing.
  void SetColWidths(const std::vector<std::int32_t>& widths);

  [[nodiscard]] GridOptions Options() const;
  void SetOptions(GridOptions options);

  // true opens the cell editor on the current cell (caret at the end, nothing selected);
  // false closes it, raising OnSetEditText once for its cell.
  [[nodiscard]] bool EditingMode() const;
  void SetEditingMode(bool on);
  // The cell editor is open on a cell (it is still open while OnSetEditText reports a typed
  // change, and already closed when it reports the closing).
  [[nodiscard]] bool EditorOpen() const;

  // Live views of one row (item i = cell (i, row)) or one column (item i = cell (col, i)).
  [[nodiscard]] GridLine RowTexts(std::int32_t row);
  [[nodiscard]] GridLine ColTexts(std::int32_t col);
  // Copies list item i into cell i of the line, by position, for i below both counts. A line
  // outside the counts raises EInvalidGridOperation.
  void AssignRow(std::int32_t row, const TStringList& list);
  void AssignCol(std::int32_t col, const TStringList& list);

  // Docks the grid to fill its window's client area left free by the tool bar (alClient).
  void SetAlignClient();

  // Events. Each handler runs inside Guarded (an error it raises is reported, then ignored).
  // Raised for every change the user makes in the cell editor (the text already in the cell),
  // and once more when the editor leaves its cell.
  std::function<void(QObject* sender, std::int32_t col, std::int32_t row, const std::string& value)>
      OnSetEditText;
  // Every character typed while the grid or its editor has the focus, Enter (13) and
  // backspace (8) included, before it takes effect; set key to QChar(0) to discard it.
  std::function<void(QObject* sender, QChar& key)> OnKeyPress;
  // The cell editor opens on a cell whose text is value (before any key typed into it).
  std::function<void(QObject* sender, std::int32_t col, std::int32_t row, const std::string& value)>
      OnGetEditText;
  // The grid received the keyboard focus.
  std::function<void(QObject* sender)> OnEnter;
  // See PrepareForCounts.
  std::function<void()> OnPrepareForCounts;

  [[nodiscard]] GridModel* Model() const;

 private:
  // The grid handles keys, mouse presses and focus itself (string_grid_input.cpp).
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void updateGeometries() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

  class Private;
  Private* d_;  // owned; see string_grid_private.h
};

// A live list view over one row or one column of a grid.
class GridLine {
 public:
  [[nodiscard]] std::int32_t Count() const;
  [[nodiscard]] std::string Item(std::int32_t index) const;
  // The first item equal to text by the user locale's comparison with case ignored (Latin and
  // Cyrillic), over the whole length of both texts; -1 when none is. Item 0 (the label) counts.
  [[nodiscard]] std::int32_t FindIndex(const std::string& text) const;

 private:
  friend class StringGrid;
  GridLine(const StringGrid& grid, bool is_row, std::int32_t index)
      : grid_(&grid), is_row_(is_row), index_(index) {}
  const StringGrid* grid_;
  bool is_row_;
  std::int32_t index_;
};

// An ordered, unsorted list of texts accepting duplicates and empty texts.
class TStringList {
 public:
  void AppendTexts(const GridLine& line);
  // Removes item index and moves the later items up; EListError outside 0..Count()-1.
  void RemoveAt(std::int32_t index);
  void RemoveAll();
  [[nodiscard]] std::int32_t Count() const;
  [[nodiscard]] const std::string& Item(std::int32_t index) const;
  [[nodiscard]] const std::vector<std::string>& Texts() const { return items_; }

 private:
  std::vector<std::string> items_;
};

}  // namespace tk
