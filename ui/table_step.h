#pragma once
// One step of the main window's undo history (see table_undo.h): an optional line inserted into
// or removed from the main grid, then a set of cell texts, and the current cell before and
// after. Each changed text is kept once: the step swaps it with the cell's text both ways.

#include <QUndoCommand>
#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/grid_model.h"
#include "ui/table_undo.h"

namespace tk {
class StringGrid;
}

class TableStep : public QUndoCommand {
 public:
  enum class Line { kNone, kColumn, kRow };

  // The current cell now is the one undo returns to.
  TableStep(tk::StringGrid& grid, const QString& title);

  // The step inserts (inserts = true) a line with texts at index, or removes the line at index.
  // A width below 0 leaves a new column the grid's default width.
  void SetLine(Line kind, std::int32_t index, bool inserts, std::vector<std::string> texts = {},
               std::int32_t width = -1);
  // The texts the step writes; while it is done they hold the texts they replaced.
  void SetCells(std::vector<CellChange> changes) { cells_ = std::move(changes); }
  // The same for cells kept in runs (a paste).
  void SetCells(tk::CellRuns runs) { runs_ = std::move(runs); }
  // The change is in the grid already and the cells hold the old texts: the first redo (the
  // one a push runs) does nothing.
  void MarkDone();

  void redo() override;
  void undo() override;

 private:
  struct Cursor {
    std::int32_t col;
    std::int32_t row;
  };
  [[nodiscard]] Cursor CurrentCell() const;
  void MoveTo(Cursor cell);
  void SwapCells(bool forward);
  void PutLine();
  void TakeLine();
  void ShiftWidths(std::int32_t col, int direction);
  void PutColumn();
  void TakeColumn();
  void PutRow();
  void TakeRow();

  tk::StringGrid& grid_;
  Line line_ = Line::kNone;
  std::int32_t line_index_ = 0;
  bool inserts_ = false;
  bool line_held_ = false;  // the grid had one line only, which a removal cannot take
  std::vector<std::string> line_texts_;
  std::int32_t line_width_ = -1;
  std::vector<CellChange> cells_;
  tk::CellRuns runs_;
  Cursor before_;
  Cursor after_{0, 0};
  bool after_known_ = false;
  bool skip_redo_ = false;
};
