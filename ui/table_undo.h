#pragma once
// The main window's undo history: one QUndoStack over the main grid, owned by this class and by
// nothing else. Every change of the table made through the window is one step; undo and redo
// replay steps and restore the cell texts, the widths of the columns a step inserted or removed,
// and the current cell.
//
// A step keeps only what it changed: for each changed cell the one text that is not in the grid
// at the moment (the old text while the step is done, the new one once undone), and for an
// inserted or removed line its texts and width while the line is out of the grid. A paste keeps
// its cells in runs along the rows (tk::CellRuns), so that a cell costs its text alone.
//
// Using it from another feature:
//   - PushWritten(title, replaced): cells a block writer has written already, as one step.
//   - PushCellChanges(title, changes): writes the given cell texts as one step (a fill
//     of a row or a column), in the given order: texts equal to what the cell holds when its
//     turn comes are dropped (of a cell named twice the later text stays); nothing left, no step.
//   - InsertColumn / InsertRow(title, index, texts): a new line with its texts as one step.
//   - DeleteGrade / DeleteInterval / AppendGrade / AppendInterval: the editor's own commands.
// Titles name the step for the menu: "Отменить " + title, so they read in the accusative
// ("вставку", "удаление квалитета h7").
//
// The unsaved flag: Pushed() follows every new step and Replayed(atSavedState) each undo and redo;
// MarkSaved marks the present state as the file's (after a save or a load).

#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "data/pasted_block.h"

class QAction;
class QMenu;
class QUndoStack;
class TableStep;

namespace tk {
class StringGrid;
struct CellRuns;
}  // namespace tk

// A cell and the text a step writes into it.
using CellChange = tol::PlacedText;

class TableUndo : public QObject {
  Q_OBJECT

 public:
  TableUndo(tk::StringGrid& grid, QObject* parent);
  ~TableUndo() override;

  // Appends a separator and the items "Отменить" (Ctrl+Z) and "Повторить" (Ctrl+Y,
  // Ctrl+Shift+Z), named after the step they would replay and enabled only when there is one.
  void AddMenuItems(QMenu& menu);
  [[nodiscard]] QAction* UndoAction() const { return undo_action_; }
  [[nodiscard]] QAction* RedoAction() const { return redo_action_; }
  [[nodiscard]] QUndoStack& Stack() const { return *stack_; }

  // Both first close an open cell editor, whose edit becomes a step of its own.
  void Undo();
  void Redo();

  void PushCellChanges(const QString& title, std::vector<CellChange> changes);
  // Cells already written (a paste through tk::GridBlockWriter), each change holding the text it
  // replaced, become one step; none, no step.
  void PushWritten(const QString& title, tk::CellRuns replaced);
  // texts[i] goes to cell i of the new line; a column gets width pixels (negative: the grid's
  // default).
  void InsertColumn(const QString& title, std::int32_t col, std::vector<std::string> texts,
                    std::int32_t width = -1);
  void InsertRow(const QString& title, std::int32_t row, std::vector<std::string> texts);

  void DeleteGrade(std::int32_t col);
  void DeleteInterval(std::int32_t row);
  // A line committed by an add dialog, after the last one.
  void AppendGrade(std::vector<std::string> texts);
  void AppendInterval(std::vector<std::string> texts);

  // The cell editor opened on a cell holding text, and it closed leaving text: an edit that
  // changed the cell becomes one step.
  void EditorOpened(std::int32_t col, std::int32_t row, const std::string& text);
  void EditorClosed(std::int32_t col, std::int32_t row, const std::string& text);

  // The grid now holds what the file holds: a save, or a load (which also forgets every step).
  void MarkSaved();
  void Reset();

 signals:
  // A new step changed the table (the unsaved flag is to be set).
  void Pushed();
  void Replayed(bool at_saved_state);

 private:
  void Replay(bool undo);
  void Push(std::unique_ptr<TableStep> step);

  tk::StringGrid& grid_;
  QUndoStack* stack_;
  QAction* undo_action_;
  QAction* redo_action_;
  bool edit_pending_ = false;
  std::int32_t edit_col_ = 0;
  std::int32_t edit_row_ = 0;
  std::string edit_before_;
  bool replaying_ = false;
};
