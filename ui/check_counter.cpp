#include "ui/check_counter.h"

#include <algorithm>
#include <optional>

#include "data/table_checks.h"
#include "toolkit/grid_model.h"

namespace {

[[nodiscard]] std::uint64_t Key(std::int32_t col, std::int32_t row) {
  return static_cast<std::uint64_t>(static_cast<std::uint32_t>(col)) << 32 |
         static_cast<std::uint32_t>(row);
}

}  // namespace

CheckCounter::CheckCounter(const tk::GridModel& cells, QObject* parent)
    : QObject(parent), cells_(cells) {
  connect(&cells_, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
            const std::size_t cells_before = upperBelowLower_.size();
            const std::vector<std::int32_t> bounds = boundsOutOfOrder_;
            const std::int32_t col0 = cells_.ColOf(topLeft);
            const std::int32_t row0 = cells_.RowOf(topLeft);
            CheckCells(col0, row0, cells_.ColOf(bottomRight), cells_.RowOf(bottomRight));
            if (col0 == 0) CheckBounds();
            Changed(cells_before, bounds);
          });
  connect(&cells_, &QAbstractItemModel::headerDataChanged, this, [this](Qt::Orientation o) {
    if (o != Qt::Vertical) return;
    const std::vector<std::int32_t> bounds = boundsOutOfOrder_;
    CheckBounds();
    Changed(upperBelowLower_.size(), bounds);
  });
  for (auto signal : {&QAbstractItemModel::rowsRemoved, &QAbstractItemModel::columnsRemoved,
                      &QAbstractItemModel::rowsInserted, &QAbstractItemModel::columnsInserted}) {
    connect(&cells_, signal, this, [this] {
      const std::size_t cells_before = upperBelowLower_.size();
      const std::vector<std::int32_t> bounds = boundsOutOfOrder_;
      DropOutside();
      CheckBounds();
      Changed(cells_before, bounds);
    });
  }
  connect(&cells_, &QAbstractItemModel::modelReset, this, [this] { CheckAll(); });
  CheckAll();
}

bool CheckCounter::CellFails(std::int32_t col, std::int32_t row) const {
  return upperBelowLower_.contains(Key(col, row));
}

bool CheckCounter::BoundOutOfOrder(std::int32_t row) const {
  return std::binary_search(boundsOutOfOrder_.begin(), boundsOutOfOrder_.end(), row);
}

void CheckCounter::CheckCells(std::int32_t col0, std::int32_t row0, std::int32_t col1,
                              std::int32_t row1) {
  for (std::int32_t row = std::max(row0, 1); row <= row1; ++row) {
    for (std::int32_t col = std::max(col0, 1); col <= col1; ++col) {
      if (tol::UpperBelowLower(cells_.Cell(col, row))) {
        upperBelowLower_.insert(Key(col, row));
      } else if (!upperBelowLower_.empty()) {
        upperBelowLower_.erase(Key(col, row));
      }
    }
  }
}

void CheckCounter::CheckBounds() {
  boundsOutOfOrder_.clear();
  std::optional<double> previous = 0.0;
  for (std::int32_t row = 1; row < cells_.RowCount(); ++row) {
    const std::optional<double> bound = tol::IntervalBound(cells_.Cell(0, row));
    if (tol::BoundOutOfOrder(previous, bound)) boundsOutOfOrder_.push_back(row);
    previous = bound;
  }
}

// Cells beyond lowered counts are gone; those that moved in were announced as written.
void CheckCounter::DropOutside() {
  std::erase_if(upperBelowLower_, [this](std::uint64_t key) {
    return !cells_.Contains(static_cast<std::int32_t>(key >> 32),
                            static_cast<std::int32_t>(key & 0xFFFFFFFF));
  });
}

void CheckCounter::CheckAll() {
  upperBelowLower_.clear();
  CheckCells(1, 1, cells_.ColCount() - 1, cells_.RowCount() - 1);
  CheckBounds();
  emit countsChanged();
}

void CheckCounter::Changed(std::size_t cellsBefore, const std::vector<std::int32_t>& boundsBefore) {
  if (cellsBefore != upperBelowLower_.size() || boundsBefore != boundsOutOfOrder_) {
    emit countsChanged();
  }
}
