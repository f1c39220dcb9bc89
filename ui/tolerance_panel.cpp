#include "ui/tolerance_panel.h"

#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "data/exact_decimal.h"
#include "data/number_text.h"
#include "toolkit/grid_model.h"
#include "ui/cell_status.h"
#include "ui/loaded_values.h"
#include "ui/picture_export.h"

namespace {

constexpr int kFitHeight = 170;
constexpr int kLeastWidth = 300;

// Paints the fit's two zones; the panel hands them over before each paint.
class FitView : public QWidget {
 public:
  FitView(const GradeZone& hole, const GradeZone& shaft, QWidget* parent)
      : QWidget(parent), hole_(hole), shaft_(shaft) {
    setMinimumHeight(kFitHeight);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    zone_picture::PaintFit(painter, rect(), hole_, shaft_);
  }

 private:
  const GradeZone& hole_;
  const GradeZone& shaft_;
};

[[nodiscard]] QString Microns(const tol::Decimal& millimetres) {
  return QString::fromStdString(
      tol::DecimalText(tol::ShiftDecimal(millimetres, 3), tol::DecimalSeparator()));
}

[[nodiscard]] QString KindText(tol::FitKind kind) {
  switch (kind) {
    case tol::FitKind::kClearance: return QStringLiteral("с зазором");
    case tol::FitKind::kTransition: return QStringLiteral("переходная");
    case tol::FitKind::kInterference: return QStringLiteral("с натягом");
  }
  return {};
}

}  // namespace

TolerancePanel::TolerancePanel(const tk::GridModel& cells, const LoadedValues& loaded,
                               QWidget* parent)
    : QDockWidget(QStringLiteral("Поля допусков"), parent), cells_(cells), loaded_(loaded) {
  setObjectName(QStringLiteral("TolerancePanel"));
  auto names = [this] {
    names_stale_ = true;
    Invalidate();
  };
  connect(&cells_, &QAbstractItemModel::dataChanged, this, [this] { Invalidate(); });
  connect(&cells_, &QAbstractItemModel::headerDataChanged, this, names);
  connect(&cells_, &QAbstractItemModel::columnsInserted, this, names);
  connect(&cells_, &QAbstractItemModel::columnsRemoved, this, names);
  connect(&cells_, &QAbstractItemModel::rowsInserted, this, [this] { Invalidate(); });
  connect(&cells_, &QAbstractItemModel::rowsRemoved, this, [this] { Invalidate(); });
  connect(&cells_, &QAbstractItemModel::modelReset, this, names);
  // The window's update request comes before any of its widgets paints.
  if (parent != nullptr) parent->window()->installEventFilter(this);
  installEventFilter(this);
}

void TolerancePanel::setVisible(bool visible) {
  if (visible) BuildContent();
  QDockWidget::setVisible(visible);
}

// The panel's widgets are made when it is first shown or asked for its picture: most runs
// never show it, and the window's first frame need not wait for them.
void TolerancePanel::BuildContent() {
  if (Chart != nullptr) return;
  auto* content = new QWidget(this);
  content->setMinimumWidth(kLeastWidth);
  auto* column = new QVBoxLayout(content);
  Chart = new ZoneChart(content);
  column->addWidget(Chart, 1);
  BuildFitLine(content, column);
  ExportButton = new QPushButton(QStringLiteral("Сохранить рисунок..."), content);
  column->addWidget(ExportButton);
  setWidget(content);
  connect(Chart, &ZoneChart::GradeClicked, this, &TolerancePanel::GradeClicked);
  connect(ExportButton, &QPushButton::clicked, this, [this] { ExportClick(); });
  for (QComboBox* box : {HoleBox, ShaftBox}) {
    connect(box, &QComboBox::currentIndexChanged, this, [this] { Invalidate(); });
  }
}

void TolerancePanel::BuildFitLine(QWidget* parent, QVBoxLayout* column) {
  auto* line = new QHBoxLayout;
  line->addWidget(new QLabel(QStringLiteral("Отверстие"), parent));
  HoleBox = new QComboBox(parent);
  line->addWidget(HoleBox, 1);
  line->addWidget(new QLabel(QStringLiteral("Вал"), parent));
  ShaftBox = new QComboBox(parent);
  line->addWidget(ShaftBox, 1);
  column->addLayout(line);
  fit_view_ = new FitView(hole_, shaft_, parent);
  column->addWidget(fit_view_);
  FitLabel = new QLabel(parent);
  FitLabel->setWordWrap(true);
  column->addWidget(FitLabel);
}

void TolerancePanel::SetCurrent(std::int32_t col, std::int32_t row) {
  if (col == current_col_ && row == current_row_) return;
  current_col_ = col;
  current_row_ = row;
  Invalidate();
}

void TolerancePanel::Invalidate() {
  stale_ = true;
  if (!isVisible()) return;
  Chart->update();
  fit_view_->update();
}

bool TolerancePanel::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::UpdateRequest && stale_ && isVisible()) RefreshIfStale();
  return QDockWidget::eventFilter(watched, event);
}

void TolerancePanel::RefreshIfStale() {
  BuildContent();
  if (!stale_) return;
  stale_ = false;
  if (names_stale_) RefillGradeBoxes();
  Chart->SetZones(ZonesOfInterval(cells_, loaded_, current_row_), current_col_);
  RefreshFit();
}

// The choices keep their grade by name; a new table starts with its first hole and first shaft.
void TolerancePanel::RefillGradeBoxes() {
  names_stale_ = false;
  QStringList names;
  for (std::int32_t col = 1; col < cells_.ColCount(); ++col) names << GradeName(cells_, col);
  for (QComboBox* box : {HoleBox, ShaftBox}) {
    const QString chosen = box->currentText();
    const QSignalBlocker quiet(box);
    box->clear();
    box->addItems(names);
    int index = box->findText(chosen);
    if (index < 0) {
      const bool hole = box == HoleBox;
      for (int i = 0; i < names.size() && index < 0; ++i) {
        if (IsHoleGrade(names[i]) == hole) index = i;
      }
    }
    box->setCurrentIndex(std::max(index, names.isEmpty() ? -1 : 0));
  }
}

const GradeZone* TolerancePanel::ZoneNamed(const QString& name) const {
  for (const GradeZone& zone : Chart->Zones()) {
    if (zone.name == name) return &zone;
  }
  return nullptr;
}

void TolerancePanel::RefreshFit() {
  const GradeZone* hole = ZoneNamed(HoleBox->currentText());
  const GradeZone* shaft = ZoneNamed(ShaftBox->currentText());
  hole_ = hole != nullptr ? *hole : GradeZone{};
  shaft_ = shaft != nullptr ? *shaft : GradeZone{};
  fit_.reset();
  if (hole == nullptr || shaft == nullptr || !hole->known || !shaft->known) {
    FitLabel->setText(QStringLiteral("Посадка: нет значений для этого интервала"));
    return;
  }
  const std::optional<LoadedValues::Pair> h = loaded_.Values(hole->col, current_row_);
  const std::optional<LoadedValues::Pair> s = loaded_.Values(shaft->col, current_row_);
  if (!h || !s) return;
  fit_ = tol::ComputeFit({h->first, h->second}, {s->first, s->second});
  FitLabel->setText(
      QStringLiteral("%1/%2, %3: наибольший зазор %4 мкм, наименьший зазор %5 мкм; посадка %6")
          .arg(hole->name, shaft->name, IntervalText(cells_, current_row_), Microns(fit_->largest),
               Microns(fit_->smallest), KindText(fit_->kind)));
}

QSize TolerancePanel::PictureSize() {
  RefreshIfStale();
  return PanelPictureSize(static_cast<int>(Chart->Zones().size()));
}

void TolerancePanel::PaintPicture(QPainter& painter) {
  RefreshIfStale();
  const QString title = current_row_ >= 1 && current_row_ < cells_.RowCount()
                            ? IntervalText(cells_, current_row_)
                            : QString();
  PaintPanelPicture(painter,
                    {Chart->Zones(), current_col_, title, hole_, shaft_, FitLabel->text()});
}

bool TolerancePanel::ExportPicture(const QString& path) {
  return WritePicture(path, PictureSize(), [this](QPainter& painter) { PaintPicture(painter); });
}

void TolerancePanel::ExportClick() {
  RefreshIfStale();
  QString filter;
  QString path = QFileDialog::getSaveFileName(
      this, QStringLiteral("Сохранить рисунок"), QStringLiteral("поля_допусков.png"),
      QStringLiteral("Рисунок PNG (*.png);;Рисунок SVG (*.svg)"), &filter);
  if (path.isEmpty()) return;
  const QString extension = filter.contains(QStringLiteral("svg")) ? ".svg" : ".png";
  if (!path.endsWith(".png", Qt::CaseInsensitive) && !path.endsWith(".svg", Qt::CaseInsensitive)) {
    path += extension;
  }
  if (!ExportPicture(path)) {
    FitLabel->setText(QStringLiteral("Рисунок не записан: ") + path);
  }
}
