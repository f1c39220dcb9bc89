// The commands that change the table as a whole: save, delete grade, delete interval.

#include <QLabel>

#include "data/errors.h"
#include "data/number_text.h"
#include "data/table_codec.h"
#include "data/tolerance_file.h"
#include "toolkit/message_box.h"
#include "toolkit/string_grid.h"
#include "ui/main_window.h"
#include "ui/table_undo.h"
#include "ui/tolerance_views.h"

namespace {

const char* const kUnreadFileNotSaved = "Файл допусков прочитан не полностью. Таблица не записана.";

}  // namespace

void TForm1::SaveClick(QObject*) {
  // A load that failed part-way left cells empty or bounds it could not read: saving that grid
  // would replace the file's table with a fragment of it.
  if (load_failed_) {
    (void)tk::ShowMessageBox(kUnreadFileNotSaved, "Ошибка", tk::MB_OK_ICONERROR);
    return;
  }
  if (PointAtFirstBadCell()) return;
  tol::StoreTableTo(*StringGrid1, file_name_);
  Views->TableSaved();
  unsaved_ = false;  // only once the file is written and closed
  undo_->MarkSaved();
}

// Row by row, so the cursor lands on the first bad cell in reading order: the interval label,
// whose bound must read as a number (else the save would store 0 for it), then the value cells.
// Converting while checking raises the overflow error before the file is opened.
bool TForm1::PointAtFirstBadCell() {
  const tk::StringGrid& grid = *StringGrid1;
  for (std::int32_t row = 1; row < grid.RowCount(); ++row) {
    if (!tol::LabelBoundAccepted(grid.GetCell(0, row))) {
      PointAtBadCell(0, row);
      return true;
    }
    for (std::int32_t col = 1; col < grid.ColCount(); ++col) {
      if (!tol::CellTextAccepted(grid.GetCell(col, row))) {
        PointAtBadCell(col, row);
        return true;
      }
    }
  }
  return false;
}

// Moving the current cell may close an open cell editor, whose commit hides the label; the
// label is therefore shown last, so the user always sees why the save stopped.
void TForm1::PointAtBadCell(std::int32_t col, std::int32_t row) {
  StringGrid1->SetCurrentCol(col);
  StringGrid1->SetCurrentRow(row);
  SetActiveControl(StringGrid1);
  Label1->show();
}

void TForm1::DelKvClick(QObject*) {
  tk::StringGrid& grid = *StringGrid1;
  const std::int32_t col = grid.CurrentCol();
  grid.SetCurrentRow(grid.FirstVisibleRow());  // collapses a range selection onto column col
  grid.SetEditingMode(false);
  if (!Confirm("Удалить квалитет " + grid.GetCell(col, 0) + "?")) return;

  // One undo step: it shifts the widths and texts of the later columns left and drops the last.
  undo_->DeleteGrade(col);
  MarkUnsaved();
}

void TForm1::DelIntClick(QObject*) {
  tk::StringGrid& grid = *StringGrid1;
  const std::int32_t row = grid.CurrentRow();
  grid.SetEditingMode(false);
  grid.SetCurrentCol(grid.FirstVisibleCol());
  if (!Confirm("Удалить интервал " + grid.GetCell(0, row) + "?")) return;

  undo_->DeleteInterval(row);  // one undo step: the rows below move up
  MarkUnsaved();
}
