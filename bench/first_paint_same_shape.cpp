// A second reference for the start-up benchmark: a plain Qt Widgets window of the editor's
// shape, with nothing of the editor's own. A maximized main window with four menus, a row of
// seven buttons with pictures, a table of 13 intervals by 25 grades of short texts with both
// headers, and a status bar; it ends at the table's first painted frame as the editor does
// (TOL_FIRST_PAINT_REPORT). What the editor takes beyond this is its own doing.

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include "toolkit/first_paint_probe.h"

namespace {

constexpr int kIntervals = 13;
constexpr int kGrades = 25;

QWidget* ButtonRow() {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  QPixmap picture(24, 24);
  picture.fill(Qt::darkGreen);
  for (int i = 0; i < 7; ++i) {
    auto* button = new QToolButton(row);
    button->setIcon(QIcon(picture));
    button->setAutoRaise(true);
    layout->addWidget(button);
  }
  layout->addStretch();
  return row;
}

QStandardItemModel* Table(QObject* parent) {
  auto* model = new QStandardItemModel(kIntervals, kGrades, parent);
  for (int col = 0; col < kGrades; ++col) {
    model->setHorizontalHeaderItem(col, new QStandardItem(QStringLiteral("h%1").arg(col + 1)));
  }
  for (int row = 0; row < kIntervals; ++row) {
    model->setVerticalHeaderItem(row, new QStandardItem(QStringLiteral("До %1").arg(row * 10)));
    for (int col = 0; col < kGrades; ++col) {
      model->setItem(row, col,
                     new QStandardItem(QStringLiteral("0.0%1 -0.00%2").arg(col).arg(row)));
    }
  }
  return model;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("Редактор файла допусков"));
  for (const QString& name : {QStringLiteral("&Файл"), QStringLiteral("&Редактор"),
                              QStringLiteral("&Вид"), QStringLiteral("&Справка")}) {
    QMenu* menu = window.menuBar()->addMenu(name);
    for (int i = 1; i <= 6; ++i) menu->addAction(QStringLiteral("Пункт %1").arg(i));
  }
  auto* central = new QWidget;
  auto* column = new QVBoxLayout(central);
  column->addWidget(ButtonRow());
  auto* view = new QTableView(central);
  view->setModel(Table(&window));
  column->addWidget(view);
  window.setCentralWidget(central);
  window.statusBar()->addWidget(new QLabel(QStringLiteral("h7, До 30: 0 -0.021")), 1);
  tk::ReportFirstPaintWhenAsked(view->viewport(), [] { return true; });
  window.setWindowState(Qt::WindowMaximized);
  window.show();
  return application.exec();
}
