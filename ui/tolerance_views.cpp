#include "ui/tolerance_views.h"

#include <QAction>
#include <QBrush>
#include <QDate>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QStatusBar>

#include "toolkit/dispatch.h"
#include "toolkit/grid_model.h"
#include "toolkit/string_grid.h"
#include "ui/cell_status.h"
#include "ui/check_counter.h"
#include "ui/loaded_values.h"
#include "ui/main_window.h"
#include "ui/marked_cell_painter.h"
#include "ui/table_printer.h"
#include "ui/tolerance_panel.h"

namespace {

// Hands what a load tells to the record of exact values and to the check counter.
class LoadReports final : public tol::LoadedCellSink {
 public:
  LoadReports(LoadedValues& values, CheckCounter& checks) : values_(values), checks_(checks) {}

  void LoadBegins() override {
    values_.LoadBegins();
    checks_.LoadBegins();
  }
  void CellRounded(std::int32_t col, std::int32_t row, double first, double second) override {
    values_.CellRounded(col, row, first, second);
  }
  void CellUpperBelowLower(std::int32_t col, std::int32_t row) override {
    checks_.CellUpperBelowLower(col, row);
  }
  void LoadEnds() override { values_.LoadEnds(); }
  void LoadStops() override { checks_.LoadStops(); }

 private:
  LoadedValues& values_;
  CheckCounter& checks_;
};

}  // namespace

ToleranceViews::ToleranceViews(TForm1& form)
    : QObject(&form),
      form_(form),
      cells_(*form.StringGrid1->Model()),
      model_(form.StringGrid1->Model()),
      loaded_(new LoadedValues(cells_)),
      checks_(new CheckCounter(cells_, this)),
      load_sink_(std::make_unique<LoadReports>(*loaded_, *checks_)) {
  CellStatus = new QLabel(&form);
  ChecksStatus = new QLabel(&form);
  QPalette red = ChecksStatus->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  ChecksStatus->setPalette(red);
  form.statusBar()->addWidget(CellStatus, 1);
  form.statusBar()->addPermanentWidget(ChecksStatus);
  Panel = new TolerancePanel(cells_, *loaded_, &form);
  form.addDockWidget(Qt::RightDockWidgetArea, Panel);
  Panel->hide();
  form.StringGrid1->setItemDelegate(
      new MarkedCellPainter(cells_, *loaded_, *checks_, form.StringGrid1));
  BuildMenus();
  ConnectGrid();
  UpdateStatus();
  UpdateChecks();
}

ToleranceViews::~ToleranceViews() {
  if (model_) model_->CellRole = nullptr;
  delete loaded_;
}

// "Печать..." goes below the file menu's own two items, which keep their places (and so the
// keys that reach them).
void ToleranceViews::BuildMenus() {
  MenuPrint = new QAction(QStringLiteral("&Печать..."), &form_);
  MenuPrint->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
  if (auto* file_menu = qobject_cast<QMenu*>(form_.MenuExit->parent())) {
    file_menu->addSeparator();
    file_menu->addAction(MenuPrint);
  }
  MenuPanel = Panel->toggleViewAction();
  MenuPanel->setText(QStringLiteral("Поля допусков"));
  MenuPanel->setShortcut(QKeySequence(Qt::Key_F3));
  QMenu* view_menu = form_.menuBar()->addMenu(QStringLiteral("&Вид"));
  view_menu->addAction(MenuPanel);
  tk::Connect(MenuPrint, &QAction::triggered, this,
              [this](QObject* sender) { PrintClick(sender); });
}

void ToleranceViews::ConnectGrid() {
  tk::StringGrid& grid = *form_.StringGrid1;
  connect(grid.selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
    Panel->SetCurrent(form_.StringGrid1->CurrentCol(), form_.StringGrid1->CurrentRow());
    UpdateStatus();
  });
  for (auto signal : {&QAbstractItemModel::rowsRemoved, &QAbstractItemModel::columnsRemoved,
                      &QAbstractItemModel::rowsInserted, &QAbstractItemModel::columnsInserted}) {
    connect(&cells_, signal, this, [this] { UpdateStatus(); });
  }
  connect(&cells_, &QAbstractItemModel::modelReset, this, [this] { UpdateStatus(); });
  connect(&cells_, &QAbstractItemModel::dataChanged, this, [this] { UpdateStatus(); });
  connect(&cells_, &QAbstractItemModel::headerDataChanged, this, [this] { UpdateStatus(); });
  connect(checks_, &CheckCounter::CountsChanged, this, [this] { UpdateChecks(); });
  connect(Panel, &TolerancePanel::GradeClicked, this,
          [this](std::int32_t col) { PanelGradeClick(col); });
  form_.StringGrid1->Model()->CellRole = [this](std::int32_t col, std::int32_t row, int role) {
    return CellRole(col, row, role);
  };
}

void ToleranceViews::UpdateStatus() {
  const tk::StringGrid& grid = *form_.StringGrid1;
  Panel->SetCurrent(grid.CurrentCol(), grid.CurrentRow());
  CellStatus->setText(CellStatusText(cells_, *loaded_, grid.CurrentCol(), grid.CurrentRow()));
}

void ToleranceViews::UpdateChecks() {
  ChecksStatus->setText(ChecksText(*checks_));
  form_.StringGrid1->verticalHeader()->viewport()->update();
}

void ToleranceViews::TableSaved() {
  loaded_->Clear();
  form_.StringGrid1->viewport()->update();
  UpdateStatus();
  Panel->Invalidate();
}

QVariant ToleranceViews::CellRole(std::int32_t col, std::int32_t row, int role) const {
  const bool bound_out_of_order = col == 0 && row > 0 && checks_->BoundOutOfOrder(row);
  if (role == Qt::ForegroundRole && bound_out_of_order) return QBrush(Qt::red);
  if (role != Qt::ToolTipRole) return {};
  if (col == 0 || row == 0) {
    QString tip = CellStatusText(cells_, *loaded_, col, row);
    if (bound_out_of_order) tip += QStringLiteral("\nграница не больше предыдущей");
    return tip;
  }
  if (const std::optional<LoadedValues::Pair> exact = loaded_->Marked(col, row)) {
    return RoundingText(*exact);
  }
  if (checks_->CellFails(col, row)) return QStringLiteral("верхнее отклонение ниже нижнего");
  return {};
}

void ToleranceViews::PanelGradeClick(std::int32_t col) {
  tk::StringGrid& grid = *form_.StringGrid1;
  if (col >= grid.FixedCols() && col < grid.ColCount()) grid.SetCurrentCol(col);
}

void ToleranceViews::PrintClick(QObject*) {
  QPrinter printer(QPrinter::HighResolution);
  const QString file_name = QString::fromStdString(form_.ToleranceFile());
  printer.setDocName(file_name);
  QPrintDialog dialog(&printer, &form_);
  dialog.setWindowTitle(QStringLiteral("Печать"));
  if (dialog.exec() != QDialog::Accepted) return;
  (void)PrintTable(printer, cells_, file_name,
                   QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
}
