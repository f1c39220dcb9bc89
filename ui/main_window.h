#pragma once
// The main editor window: the tolerance table in StringGrid1, a tool bar and a menu with the
// seven commands, and the red label that points at a bad value cell.

#include <QObject>
#include <cstdint>
#include <string>

#include "data/iso286_fill.h"
#include "data/tolerance_file.h"
#include "toolkit/form.h"

class QLabel;
class QAction;
class QMenu;
class TableClipboard;
class TableUndo;
class ToleranceViews;

namespace tk {
class StringGrid;
class FlatButton;
}  // namespace tk

class TForm1 : public tk::Form {
  Q_OBJECT

 public:
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  tk::StringGrid* StringGrid1 = nullptr;
  QLabel* Label1 = nullptr;  // "Ошибка при вводе допусков", hidden until a save finds a bad cell

  // Tool buttons, left to right, and the menu items running the same handlers.
  tk::FlatButton* Save = nullptr;
  tk::FlatButton* Edit = nullptr;
  tk::FlatButton* AddKv = nullptr;
  tk::FlatButton* DelKv = nullptr;
  tk::FlatButton* AddInt = nullptr;
  tk::FlatButton* DelInt = nullptr;
  tk::FlatButton* BExit = nullptr;
  QAction* MenuSave = nullptr;  // "&Сохранить", short-cut F2
  QAction* MenuExit = nullptr;
  QAction* MenuEdit = nullptr;
  QAction* MenuAddKv = nullptr;
  QAction* MenuDelKv = nullptr;
  QAction* MenuAddInt = nullptr;
  QAction* MenuDelInt = nullptr;
  QMenu* MenuEditor = nullptr;  // "&Редактор"
  // The ISO 286 commands, menu only: a column per class, one row filled, and whether JS7..JS11
  // and js7..js11 of an odd IT are rounded to the even value below (off: exact halves).
  QAction* MenuAddIso = nullptr;
  QAction* MenuFillIso = nullptr;
  QAction* MenuIsoRounding = nullptr;
  // The status bar, the marks, the zone panel and printing (ui/tolerance_views.h).
  ToleranceViews* Views = nullptr;

  [[nodiscard]] bool Unsaved() const { return unsaved_; }
  [[nodiscard]] bool FileFound() const { return file_found_; }

  // Edits the tolerance file a FILE argument names (a directory: "Zarava.win" in it) instead
  // of "Zarava.win" in the current directory; the title then starts with the file's name.
  // Called before the window is first shown.
  void OpenNamedFile(const std::string& given);
  [[nodiscard]] const std::string& ToleranceFile() const { return file_name_; }

  // Handlers, named after control and event.
  void FormCreate(QObject* sender);
  void FormActivate(QObject* sender);
  void FormCloseQuery(QObject* sender, bool& can_close);
  void StringGrid1Enter(QObject* sender);
  void StringGrid1SetEditText(QObject* sender, std::int32_t col, std::int32_t row,
                              const std::string& value);
  void SaveClick(QObject* sender);
  void EditClick(QObject* sender);
  void AddKvClick(QObject* sender);
  void DelKvClick(QObject* sender);
  void AddIntClick(QObject* sender);
  void DelIntClick(QObject* sender);
  void BExitClick(QObject* sender);
  void AddIsoClick(QObject* sender);
  void FillIsoClick(QObject* sender);

  // Sets the unsaved flag; the add dialogs call it when they append a grade or an interval.
  void MarkUnsaved() { unsaved_ = true; }

  // The undo history of the table; every change other features make goes through it.
  [[nodiscard]] TableUndo& UndoHistory() const { return *undo_; }
  // Ctrl+C, Ctrl+V and Ctrl+A on the grid.
  [[nodiscard]] TableClipboard& Clipboard() const { return *clipboard_; }

 private:
  void BuildMenu();
  [[nodiscard]] QWidget* BuildToolBar(QWidget* parent);
  [[nodiscard]] QWidget* BuildGridArea(QWidget* parent);
  void ConnectHandlers();
  void BuildUndo();
  void BuildClipboard();
  void PlaceCentredThenMaximize();
  void FitColumnWidths();
  [[nodiscard]] bool PointAtFirstBadCell();
  void PointAtBadCell(std::int32_t col, std::int32_t row);
  [[nodiscard]] bool Confirm(const std::string& question);
  // Every table change of the ISO 286 commands goes through here, as one undo step titled
  // title: the columns it appends, or the cells it writes.
  void PushIsoEdit(const tol::iso286::TableEdit& edit, const std::string& title);
  [[nodiscard]] tol::iso286::JsRounding IsoRounding() const;

  bool unsaved_ = false;
  bool file_found_ = false;
  std::string file_name_ = tol::kToleranceFileName;
  bool activated_ = false;    // the file is read at the first activation only, whatever follows
  bool load_failed_ = false;  // the grid holds what a failed load left: it must not be saved
  TableUndo* undo_ = nullptr;
  TableClipboard* clipboard_ = nullptr;
};

// The one main window of the program.
extern TForm1* Form1;
