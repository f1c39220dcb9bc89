#pragma once
// The dock panel "Поля допусков": the zones of every grade for the current interval, and a fit
// line where a hole and a shaft are chosen and their clearances shown. It follows the grid
// model: every change marks it stale, and it is brought up to date when its window next
// paints, so a burst of changes (a delete, a paste) costs one refresh.

#include <QDockWidget>
#include <cstdint>
#include <optional>

#include "data/fit.h"
#include "ui/zone_chart.h"

class QComboBox;
class QLabel;
class QPushButton;
class LoadedValues;
namespace tk {
class GridModel;
}

class TolerancePanel : public QDockWidget {
  Q_OBJECT

 public:
  TolerancePanel(const tk::GridModel& cells, const LoadedValues& loaded, QWidget* parent);

  // The current cell of the grid: its row is the interval shown, its column the grade
  // highlighted.
  void SetCurrent(std::int32_t col, std::int32_t row);
  void setVisible(bool visible) override;
  void Invalidate();
  // Brings the panel up to date now, if anything changed since it last was.
  void RefreshIfStale();

  // Made when the panel is first shown or refreshed (RefreshIfStale).
  ZoneChart* Chart = nullptr;
  QComboBox* HoleBox = nullptr;   // "Отверстие"
  QComboBox* ShaftBox = nullptr;  // "Вал"
  QLabel* FitLabel = nullptr;
  QPushButton* ExportButton = nullptr;

  // The current fit, when both chosen grades have a zone in the current interval.
  [[nodiscard]] std::optional<tol::Fit> CurrentFit() const { return fit_; }
  // The panel's picture, every bar of the interval and the fit below them, brought up to date.
  [[nodiscard]] QSize PictureSize();
  void PaintPicture(QPainter& painter);
  // Writes the picture as SVG when path ends in ".svg", else as PNG; false when it cannot be
  // written.
  [[nodiscard]] bool ExportPicture(const QString& path);

 signals:
  void GradeClicked(std::int32_t col);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildContent();
  void BuildFitLine(QWidget* parent, class QVBoxLayout* column);
  void RefillGradeBoxes();
  void RefreshFit();
  void ExportClick();
  [[nodiscard]] const GradeZone* ZoneNamed(const QString& name) const;

  const tk::GridModel& cells_;
  const LoadedValues& loaded_;
  QWidget* fit_view_ = nullptr;
  std::int32_t current_col_ = 0;
  std::int32_t current_row_ = 0;
  bool stale_ = true;
  bool names_stale_ = true;
  std::optional<tol::Fit> fit_;
  GradeZone hole_;
  GradeZone shaft_;
};
