#include "ui/table_undo.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QUndoStack>
#include <memory>
#include <utility>

#include "toolkit/dispatch.h"
#include "toolkit/grid_model.h"
#include "toolkit/string_grid.h"
#include "ui/table_step.h"

namespace {

const char* const kUndo = "Отменить";
const char* const kRedo = "Повторить";

// A grade name without the blanks that pad it to six characters.
QString Trimmed(const std::string& label) { return QString::fromStdString(label).trimmed(); }

// The menu item reads "Отменить" alone when there is nothing to undo.
void Name(QAction* action, const char* verb, const QString& step) {
  QString text = QString::fromUtf8(verb);
  if (!step.isEmpty()) text += u' ' + step;
  action->setText(text);
}

}  // namespace

TableUndo::TableUndo(tk::StringGrid& grid, QObject* parent)
    : QObject(parent),
      grid_(grid),
      stack_(new QUndoStack(this)),
      undo_action_(new QAction(QString::fromUtf8(kUndo), this)),
      redo_action_(new QAction(QString::fromUtf8(kRedo), this)) {
  undo_action_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  redo_action_->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  undo_action_->setEnabled(false);
  redo_action_->setEnabled(false);
  connect(stack_, &QUndoStack::canUndoChanged, undo_action_, &QAction::setEnabled);
  connect(stack_, &QUndoStack::canRedoChanged, redo_action_, &QAction::setEnabled);
  connect(stack_, &QUndoStack::undoTextChanged, this,
          [this](const QString& step) { Name(undo_action_, kUndo, step); });
  connect(stack_, &QUndoStack::redoTextChanged, this,
          [this](const QString& step) { Name(redo_action_, kRedo, step); });
  tk::Connect(undo_action_, &QAction::triggered, this, [this](QObject*) { Undo(); });
  tk::Connect(redo_action_, &QAction::triggered, this, [this](QObject*) { Redo(); });
}

TableUndo::~TableUndo() = default;

void TableUndo::AddMenuItems(QMenu& menu) {
  menu.addSeparator();
  menu.addAction(undo_action_);
  menu.addAction(redo_action_);
}

void TableUndo::Undo() { Replay(true); }
void TableUndo::Redo() { Replay(false); }

void TableUndo::Replay(bool undo) {
  grid_.SetEditingMode(false);  // an open edit becomes the latest step first
  if (undo ? !stack_->canUndo() : !stack_->canRedo()) return;
  replaying_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{replaying_};
  if (undo) {
    stack_->undo();
  } else {
    stack_->redo();
  }
  emit Replayed(stack_->isClean());
}

void TableUndo::PushCellChanges(const QString& title, std::vector<CellChange> changes) {
  auto step = std::make_unique<TableStep>(grid_, title);
  grid_.SwapChangedCells(changes);  // checked and written in one pass over a large paste
  if (changes.empty()) return;
  step->SetCells(std::move(changes));
  step->MarkDone();
  Push(std::move(step));
}

void TableUndo::PushWritten(const QString& title, tk::CellRuns replaced) {
  if (replaced.texts.empty()) return;
  auto step = std::make_unique<TableStep>(grid_, title);
  step->SetCells(std::move(replaced));
  step->MarkDone();
  Push(std::move(step));
}

void TableUndo::InsertColumn(const QString& title, std::int32_t col, std::vector<std::string> texts,
                             std::int32_t width) {
  auto step = std::make_unique<TableStep>(grid_, title);
  step->SetLine(TableStep::Line::kColumn, col, true, std::move(texts), width);
  Push(std::move(step));
}

void TableUndo::InsertRow(const QString& title, std::int32_t row, std::vector<std::string> texts) {
  auto step = std::make_unique<TableStep>(grid_, title);
  step->SetLine(TableStep::Line::kRow, row, true, std::move(texts));
  Push(std::move(step));
}

void TableUndo::DeleteGrade(std::int32_t col) {
  auto step = std::make_unique<TableStep>(
      grid_, QStringLiteral("удаление квалитета ") + Trimmed(grid_.GetCell(col, 0)));
  step->SetLine(TableStep::Line::kColumn, col, false);
  Push(std::move(step));
}

void TableUndo::DeleteInterval(std::int32_t row) {
  auto step = std::make_unique<TableStep>(
      grid_, QStringLiteral("удаление интервала ") + Trimmed(grid_.GetCell(0, row)));
  step->SetLine(TableStep::Line::kRow, row, false);
  Push(std::move(step));
}

void TableUndo::AppendGrade(std::vector<std::string> texts) {
  const QString name = texts.empty() ? QString() : Trimmed(texts.front());
  InsertColumn(QStringLiteral("добавление квалитета ") + name, grid_.ColCount(), std::move(texts));
}

void TableUndo::AppendInterval(std::vector<std::string> texts) {
  const QString label = texts.empty() ? QString() : Trimmed(texts.front());
  InsertRow(QStringLiteral("добавление интервала ") + label, grid_.RowCount(), std::move(texts));
}

void TableUndo::EditorOpened(std::int32_t col, std::int32_t row, const std::string& text) {
  edit_pending_ = true;
  edit_col_ = col;
  edit_row_ = row;
  edit_before_ = text;
}

void TableUndo::EditorClosed(std::int32_t col, std::int32_t row, const std::string& text) {
  if (!edit_pending_ || col != edit_col_ || row != edit_row_) return;
  edit_pending_ = false;
  std::string before = std::move(edit_before_);
  if (replaying_ || before == text) return;
  auto step = std::make_unique<TableStep>(grid_, QStringLiteral("правку допуска"));
  step->SetCells({CellChange{col, row, std::move(before)}});
  step->MarkDone();
  Push(std::move(step));
}

void TableUndo::Push(std::unique_ptr<TableStep> step) {
  stack_->push(step.release());
  emit Pushed();
}

void TableUndo::MarkSaved() { stack_->setClean(); }

void TableUndo::Reset() {
  edit_pending_ = false;
  stack_->clear();
  stack_->setClean();
}
