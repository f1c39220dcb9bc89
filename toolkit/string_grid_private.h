#pragma once
// The string grid's state and inner workings, shared by its source files: the cell store
// (string_grid.cpp), the view's set-up (string_grid_view.cpp), the current cell and the cell
// editor (string_grid_editing.cpp), and keys, mouse and focus (string_grid_input.cpp).

#include <QPointer>
#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/string_grid.h"

class QFocusEvent;
class QKeyEvent;
class QLabel;
class QMouseEvent;

namespace tk {

class CellEditor;

class StringGrid::Private {
 public:
  explicit Private(StringGrid& grid);

  StringGrid& q;
  GridModel* model = nullptr;
  CellEditor* editor = nullptr;
  QLabel* corner = nullptr;  // the corner cell (0, 0), drawn over the view's corner button
  std::vector<std::int32_t> widths;
  GridOptions options = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;

  std::int32_t cur_col = 1;
  std::int32_t cur_row = 1;
  std::int32_t anchor_col = 1;  // the other corner of a range selection
  std::int32_t anchor_row = 1;

  bool editing_mode = false;
  bool editor_open = false;
  std::int32_t edit_col = 0;  // the cell the open editor belongs to
  std::int32_t edit_row = 0;

  bool focus_inside = false;    // the grid or its editor holds the keyboard focus
  bool window_focus = false;    // the grid is the control its window gives the focus back to
  bool syncing_widths = false;  // header sections being resized by the grid itself
  bool align_client = false;

  // View set-up (string_grid_view.cpp).
  void SetUpView();
  void ApplyFixedLook();
  void ApplyWidth(std::int32_t col);
  void ApplyWidths(std::int32_t count);  // columns 0 .. count - 1
  void ApplyAllWidths();
  void HeaderSectionResized(int section, int new_size);
  void PlaceCorner();
  void PlaceEditor();
  void FillParent();
  void ChangeCount(bool cols, std::int32_t count);

  // Current cell and editor (string_grid_editing.cpp).
  [[nodiscard]] bool CanEdit() const { return (options & goEditing) != 0; }
  [[nodiscard]] bool AlwaysShowEditor() const { return (options & goAlwaysShowEditor) != 0; }
  [[nodiscard]] bool EditorHasFocusOrGrid() const;
  [[nodiscard]] bool IsActiveControl() const;
  void SyncSelection();
  void ScrollToCurrent();
  void MoveCurrent(std::int32_t col, std::int32_t row, bool extend_range);
  void LeaveCurrentCell();
  void EnterCurrentCell(bool editor_was_open);
  void OpenEditor(bool select_whole);
  void CloseEditor();
  void SwitchEditingOn();
  void SwitchEditingOff();
  void ReloadEditorIfOn(std::int32_t col0, std::int32_t row0, std::int32_t col1, std::int32_t row1);
  void UserEdited(const QString& text);
  void RaiseSetEditText(std::int32_t col, std::int32_t row, const std::string& value);
  [[nodiscard]] bool RaiseKeyPress(QChar& key);

  // Keys, mouse and focus (string_grid_input.cpp).
  [[nodiscard]] bool GridKey(QKeyEvent* event);
  [[nodiscard]] bool EditorKey(QKeyEvent* event);
  [[nodiscard]] bool NavigationKey(const QKeyEvent* event, bool rows_by_ctrl);
  [[nodiscard]] bool MovesOutOfEditor(const QKeyEvent* event, bool towards_start) const;
  void ToggleEditorSelection();
  void TypeIntoEditor(QKeyEvent* event, QChar typed, QChar key);
  void MousePressOnCells(const QMouseEvent* event);
  void MousePressOnFixed();
  void CommitForMouse();
  void FocusArrived();
  void FocusLeft(const QFocusEvent* event);
};

}  // namespace tk
