#include "ui/cell_status.h"

#include <QStringList>
#include <cmath>

#include "data/exact_decimal.h"
#include "data/number_text.h"
#include "data/table_checks.h"
#include "toolkit/grid_model.h"
#include "ui/check_counter.h"

namespace {

const QString kSeparator = QStringLiteral(" · ");

[[nodiscard]] QString Text(const tol::Decimal& d) {
  return QString::fromStdString(tol::DecimalText(d, tol::DecimalSeparator()));
}

[[nodiscard]] QString BoundText(const tk::GridModel& cells, std::int32_t row) {
  if (row < 1) return QStringLiteral("0");
  const std::string& label = cells.Cell(0, row);
  if (const std::optional<double> bound = tol::IntervalBound(label)) {
    return Text(tol::ShortestDecimal(*bound));
  }
  return QString::fromStdString(tol::ExtractWord(label, 2));
}

[[nodiscard]] QString ValueCellText(const tk::GridModel& cells, const LoadedValues& loaded,
                                    std::int32_t col, std::int32_t row) {
  QStringList parts{IntervalText(cells, row), QStringLiteral("квалитет ") + GradeName(cells, col)};
  const std::optional<LoadedValues::Pair> marked = loaded.Marked(col, row);
  const std::optional<LoadedValues::Pair> values = marked ? marked : loaded.Values(col, row);
  if (!values) {
    parts << QStringLiteral("текст ячейки не читается как два числа");
    return parts.join(kSeparator);
  }
  parts << QStringLiteral("верхнее ") + DeviationText(values->first)
        << QStringLiteral("нижнее ") + DeviationText(values->second)
        << QStringLiteral("допуск ") + ToleranceText(values->first, values->second);
  if (marked) parts << RoundingText(*marked);
  return parts.join(kSeparator);
}

}  // namespace

QString IntervalText(const tk::GridModel& cells, std::int32_t row) {
  return QStringLiteral("св. %1 до %2 мм").arg(BoundText(cells, row - 1), BoundText(cells, row));
}

QString GradeName(const tk::GridModel& cells, std::int32_t col) {
  QString name = QString::fromStdString(cells.Cell(col, 0));
  while (name.endsWith(QLatin1Char(' '))) name.chop(1);
  return name;
}

bool IsHoleGrade(const QString& name) { return !name.isEmpty() && name.front().isUpper(); }

QString DeviationText(double millimetres) {
  if (!std::isfinite(millimetres)) {
    return QString::fromStdString(tol::GeneralRealText(millimetres)) + QStringLiteral(" мм");
  }
  const tol::Decimal d = tol::ShortestDecimal(millimetres);
  return QStringLiteral("%1 мм = %2 мкм").arg(Text(d), Text(tol::ShiftDecimal(d, 3)));
}

QString ToleranceText(double upper, double lower) {
  if (!std::isfinite(upper) || !std::isfinite(lower)) {
    return QString::fromStdString(tol::GeneralRealText(upper - lower)) + QStringLiteral(" мкм");
  }
  const tol::Decimal d =
      tol::DecimalDifference(tol::ShortestDecimal(upper), tol::ShortestDecimal(lower));
  return Text(tol::ShiftDecimal(d, 3)) + QStringLiteral(" мкм");
}

QString RoundingText(const LoadedValues::Pair& exact) {
  const tol::Decimal first = tol::ShortestDecimal(exact.first);
  const tol::Decimal second = tol::ShortestDecimal(exact.second);
  return QStringLiteral("в файле %1 %2, при записи будет %3")
      .arg(Text(first), Text(second),
           QString::fromStdString(tol::CellText(exact.first, exact.second)));
}

QString CellStatusText(const tk::GridModel& cells, const LoadedValues& loaded, std::int32_t col,
                       std::int32_t row) {
  if (!cells.Contains(col, row)) return {};
  if (col == 0 && row == 0) {
    return QStringLiteral("размеры в мм: строки — интервалы размеров, столбцы — квалитеты");
  }
  if (row == 0) {
    const QString name = GradeName(cells, col);
    return QStringLiteral("квалитет %1: поле допуска %2")
        .arg(name, IsHoleGrade(name) ? QStringLiteral("отверстия") : QStringLiteral("вала"));
  }
  if (col == 0) return QStringLiteral("интервал размеров ") + IntervalText(cells, row);
  return ValueCellText(cells, loaded, col, row);
}

QString ChecksText(const CheckCounter& checks) {
  QStringList parts;
  if (const std::size_t n = checks.UpperBelowLowerCount()) {
    parts << QStringLiteral("верхнее отклонение ниже нижнего: %1").arg(n);
  }
  if (const std::size_t n = checks.BoundsOutOfOrderCount()) {
    parts << QStringLiteral("границы интервалов не по возрастанию: %1").arg(n);
  }
  return parts.join(QStringLiteral("; "));
}
