#pragma once
// What the main window shows of its table besides the grid: the status bar with the current
// cell's exact values and the count of check failures, the rounding and check marks in the
// grid, the "Вид" menu with the zone panel (F3), and the print command (Ctrl+P). None of it
// changes a cell text or the file.

#include <QObject>
#include <QPointer>
#include <QVariant>
#include <cstdint>
#include <memory>

class QAction;
class QLabel;
class TForm1;
class CheckCounter;
class LoadedValues;
class TolerancePanel;
namespace tk {
class GridModel;
}
namespace tol {
class LoadedCellSink;
}

class ToleranceViews : public QObject {
  Q_OBJECT

 public:
  explicit ToleranceViews(TForm1& form);
  ~ToleranceViews() override;

  // The record the load fills with the values a save would round.
  [[nodiscard]] LoadedValues& Loaded() { return *loaded_; }
  // What a load tells, for the record above and the check counter.
  [[nodiscard]] tol::LoadedCellSink& LoadSink() { return *load_sink_; }
  [[nodiscard]] const CheckCounter& Checks() const { return *checks_; }
  // After a save the file holds what the texts say: no cell is marked any more.
  void TableSaved();

  QLabel* CellStatus = nullptr;    // the current cell
  QLabel* ChecksStatus = nullptr;  // the check failures, empty when there are none
  TolerancePanel* Panel = nullptr;
  QAction* MenuPanel = nullptr;  // "Вид" › "Поля допусков", F3, checkable
  QAction* MenuPrint = nullptr;  // "Файл" › "Печать...", Ctrl+P

  // Handlers.
  void PrintClick(QObject* sender);
  void PanelGradeClick(std::int32_t col);

 private:
  void BuildMenus();
  void ConnectGrid();
  void UpdateStatus();
  void UpdateChecks();
  [[nodiscard]] QVariant CellRole(std::int32_t col, std::int32_t row, int role) const;

  TForm1& form_;
  const tk::GridModel& cells_;
  QPointer<tk::GridModel> model_;  // the grid goes before this object when the window closes
  LoadedValues* loaded_;
  CheckCounter* checks_;
  std::unique_ptr<tol::LoadedCellSink> load_sink_;
};
