// The string grid's view: headers as frozen label lines, the cell painter, column widths, the
// corner cell, the editor's place over its cell, and count changes.

#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <algorithm>

#include "toolkit/cell_editor.h"
#include "toolkit/grid_cell_painter.h"
#include "toolkit/grid_model.h"
#include "toolkit/string_grid_private.h"

namespace tk {

namespace {

void SetUpHeader(QHeaderView& header, int section_size) {
  header.setMinimumSectionSize(0);
  header.setDefaultSectionSize(section_size);
  header.setSectionResizeMode(QHeaderView::Fixed);
  header.setSectionsClickable(false);
  header.setHighlightSections(false);
  header.setStretchLastSection(false);
  header.setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

}  // namespace

void StringGrid::Private::SetUpView() {
  model = new GridModel(&q);
  q.setModel(model);
  q.setItemDelegate(new GridCellPainter(*model, &q));
  widths.assign(static_cast<std::size_t>(model->ColCount()), DefaultColWidth);
  // Selection, editing and cell-to-cell moves are the grid's own, not the view's.
  q.setSelectionMode(QAbstractItemView::NoSelection);
  q.setEditTriggers(QAbstractItemView::NoEditTriggers);
  q.setTabKeyNavigation(false);
  q.setWordWrap(false);
  q.setCornerButtonEnabled(false);
  // Typing must arrive as key presses, so that every character passes OnKeyPress; an input
  // method's commit would also reach the view's own keyboard search.
  q.setAttribute(Qt::WA_InputMethodEnabled, false);

  QHeaderView* top = q.horizontalHeader();
  QHeaderView* left = q.verticalHeader();
  SetUpHeader(*top, DefaultColWidth);
  SetUpHeader(*left, DefaultRowHeight);
  top->setFixedHeight(DefaultRowHeight);
  top->viewport()->installEventFilter(&q);
  left->viewport()->installEventFilter(&q);
  QObject::connect(top, &QHeaderView::sectionResized, &q, [this](int section, int, int new_size) {
    HeaderSectionResized(section, new_size);
  });

  corner = new QLabel(&q);
  corner->setBackgroundRole(QPalette::Button);
  corner->setAutoFillBackground(true);
  corner->setIndent(2);
  corner->installEventFilter(&q);
  QObject::connect(model, &GridModel::CornerTextChanged, &q,
                   [this] { corner->setText(QString::fromStdString(model->Cell(0, 0))); });

  editor = new CellEditor(q.viewport());
  editor->setAttribute(Qt::WA_InputMethodEnabled, false);
  editor->KeyFilter = [this](QKeyEvent* event) { return EditorKey(event); };
  editor->FocusIn = [this](QFocusEvent*) { FocusArrived(); };
  editor->FocusOut = [this](QFocusEvent* event) { FocusLeft(event); };
  QObject::connect(editor, &QLineEdit::textEdited, &q,
                   [this](const QString& text) { UserEdited(text); });

  ApplyFixedLook();
  ApplyAllWidths();
  SyncSelection();
}

// The fixed row is the horizontal header, the fixed column the vertical one; a grid without
// one of them hides that header.
void StringGrid::Private::ApplyFixedLook() {
  const bool fixed_row = model->FixedRows() > 0;
  const bool fixed_col = model->FixedCols() > 0;
  q.horizontalHeader()->setVisible(fixed_row);
  q.verticalHeader()->setVisible(fixed_col);
  corner->setVisible(fixed_row && fixed_col);
  corner->setText(QString::fromStdString(model->Cell(0, 0)));
  PlaceCorner();
}

void StringGrid::Private::ApplyWidth(std::int32_t col) {
  const int width = std::max(widths[static_cast<std::size_t>(col)], 0);
  syncing_widths = true;
  if (col < model->FixedCols()) {
    q.verticalHeader()->setFixedWidth(width);
  } else {
    QHeaderView* top = q.horizontalHeader();
    top->resizeSection(col - model->FixedCols(), width);  // nothing when the size is the same
  }
  syncing_widths = false;
}

// A header whose updates are off resizes a section without working out where it stands on
// screen, which takes a pass over all sections before it; with updates on, setting every width
// would take time quadratic in the column count. Its signals are held back as well, since the
// view would note each resized column for a later repaint of its own: the view's geometry and
// picture are brought up to date once, at the end.
void StringGrid::Private::ApplyWidths(std::int32_t count) {
  QHeaderView* top = q.horizontalHeader();
  const bool updating = top->updatesEnabled();
  const bool signalling = top->blockSignals(true);
  top->setUpdatesEnabled(false);
  for (std::int32_t col = 0; col < count; ++col) ApplyWidth(col);
  top->setUpdatesEnabled(updating);
  top->blockSignals(signalling);
  q.updateGeometries();
  q.viewport()->update();
  PlaceEditor();
}

void StringGrid::Private::ApplyAllWidths() { ApplyWidths(model->ColCount()); }

// A width dragged by the user becomes the column's stored width.
void StringGrid::Private::HeaderSectionResized(int section, int new_size) {
  PlaceEditor();
  if (syncing_widths) return;
  const std::int32_t col = section + model->FixedCols();
  if (col < model->ColCount()) widths[static_cast<std::size_t>(col)] = new_size;
}

void StringGrid::Private::PlaceCorner() {
  if (corner == nullptr || !corner->isVisibleTo(&q)) return;  // also while being built
  const QRect left = q.verticalHeader()->geometry();
  const QRect top = q.horizontalHeader()->geometry();
  corner->setGeometry(left.x(), top.y(), left.width(), top.height());
  corner->raise();
}

void StringGrid::Private::PlaceEditor() {
  if (editor == nullptr || !editor_open) return;
  editor->setGeometry(q.visualRect(model->IndexOf(edit_col, edit_row)));
}

void StringGrid::Private::FillParent() {
  if (QWidget* parent = q.parentWidget()) q.setGeometry(parent->rect());
}

// A count change: a fixed line that would leave no scrollable line is given up, the current
// cell moves back inside the counts, new columns get the default width and removed columns'
// widths are dropped. The view hears of it in one insertion, removal or reset.
void StringGrid::Private::ChangeCount(bool cols, std::int32_t count) {
  count = std::max(count, std::int32_t{1});
  if (count == (cols ? model->ColCount() : model->RowCount())) return;
  const bool lose_fixed = (cols ? model->FixedCols() : model->FixedRows()) >= count;
  const bool current_gone = (cols ? cur_col : cur_row) >= count;
  const bool editor_was_open = editor_open;
  if (lose_fixed || current_gone) LeaveCurrentCell();
  if (cols) widths.reserve(static_cast<std::size_t>(count));

  syncing_widths = true;
  if (lose_fixed) {
    model->SetFixed(cols ? count - 1 : model->FixedCols(), cols ? model->FixedRows() : count - 1);
  }
  if (cols) {
    model->SetColCount(count);
    widths.resize(static_cast<std::size_t>(count), DefaultColWidth);
  } else {
    model->SetRowCount(count);
  }
  syncing_widths = false;

  if (lose_fixed) {
    cur_col = model->FixedCols();
    cur_row = model->FixedRows();
    ApplyFixedLook();
    ApplyAllWidths();
  } else if (current_gone) {
    (cols ? cur_col : cur_row) = count - 1;
  }
  anchor_col = std::min(anchor_col, model->ColCount() - 1);
  anchor_row = std::min(anchor_row, model->RowCount() - 1);
  if (lose_fixed || current_gone) {
    anchor_col = cur_col;
    anchor_row = cur_row;
  }
  SyncSelection();
  if (lose_fixed) {
    q.horizontalScrollBar()->setValue(0);
    q.verticalScrollBar()->setValue(0);
  }
  if (lose_fixed || current_gone) {
    ScrollToCurrent();
    EnterCurrentCell(editor_was_open);
  }
}

}  // namespace tk
