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
          [this](const QModelIndex& top_left, const QModelIndex& bottom_right) {
            const std::size_t cells_before = upper_below_lower_.size();
            const std::vector<std::int32_t> bounds = bounds_out_of_order_;
            const std::int32_t col0 = cells_.ColOf(top_left);
            const std::int32_t row0 = cells_.RowOf(top_left);
            const std::int32_t row1 = cells_.RowOf(bottom_right);
            if (load_announcement_due_) {
              TakeLoadedCells(col0, row0, cells_.ColOf(bottom_right), row1);
            } else {
              CheckCells(col0, row0, cells_.ColOf(bottom_right), row1);
            }
            if (col0 == 0) CheckBounds(row0, row1);
            Changed(cells_before, bounds);
          });
  connect(&cells_, &QAbstractItemModel::headerDataChanged, this,
          [this](Qt::Orientation orientation, int first, int last) {
            if (orientation != Qt::Vertical) return;
            const std::vector<std::int32_t> bounds = bounds_out_of_order_;
            CheckBounds(first + cells_.FixedRows(), last + cells_.FixedRows());
            Changed(upper_below_lower_.size(), bounds);
          });
  // Lines come and go at the end only, and new lines are empty: an inserted line holds no
  // failing cell and no bound, and a removed one leaves the lines before it as they were.
  for (auto signal : {&QAbstractItemModel::rowsRemoved, &QAbstractItemModel::columnsRemoved}) {
    connect(&cells_, signal, this, [this] {
      const std::size_t cells_before = upper_below_lower_.size();
      const std::vector<std::int32_t> bounds = bounds_out_of_order_;
      DropOutside();
      Changed(cells_before, bounds);
    });
  }
  connect(&cells_, &QAbstractItemModel::modelReset, this, [this] { CheckAll(); });
  CheckAll();
}

bool CheckCounter::CellFails(std::int32_t col, std::int32_t row) const {
  return upper_below_lower_.contains(Key(col, row));
}

bool CheckCounter::BoundOutOfOrder(std::int32_t row) const {
  return std::binary_search(bounds_out_of_order_.begin(), bounds_out_of_order_.end(), row);
}

void CheckCounter::LoadBegins() {
  load_announcement_due_ = true;
  load_candidates_.clear();
}

void CheckCounter::CellUpperBelowLower(std::int32_t col, std::int32_t row) {
  load_candidates_.push_back(Key(col, row));
}

// A load that wrote no value cell announces none.
void CheckCounter::LoadStops() {
  load_announcement_due_ = false;
  load_candidates_ = {};
}

// The load's cells in the rectangle: a cell whose file values do not fail has a text that does
// not either; one whose values do is checked by its text, as rounding may have made them equal.
void CheckCounter::TakeLoadedCells(std::int32_t col0, std::int32_t row0, std::int32_t col1,
                                   std::int32_t row1) {
  load_announcement_due_ = false;
  std::erase_if(upper_below_lower_, [&](std::uint64_t key) {
    const auto col = static_cast<std::int32_t>(key >> 32);
    const auto row = static_cast<std::int32_t>(key & 0xFFFFFFFF);
    return col >= col0 && col <= col1 && row >= row0 && row <= row1;
  });
  for (const std::uint64_t key : load_candidates_) {
    const auto col = static_cast<std::int32_t>(key >> 32);
    const auto row = static_cast<std::int32_t>(key & 0xFFFFFFFF);
    const bool inside = col >= col0 && col <= col1 && row >= row0 && row <= row1;
    if (inside && tol::UpperBelowLower(cells_.Cell(col, row))) upper_below_lower_.insert(key);
  }
  load_candidates_ = {};
}

void CheckCounter::CheckCells(std::int32_t col0, std::int32_t row0, std::int32_t col1,
                              std::int32_t row1) {
  for (std::int32_t row = std::max(row0, 1); row <= row1; ++row) {
    for (std::int32_t col = std::max(col0, 1); col <= col1; ++col) {
      if (tol::UpperBelowLower(cells_.Cell(col, row))) {
        upper_below_lower_.insert(Key(col, row));
      } else if (!upper_below_lower_.empty()) {
        upper_below_lower_.erase(Key(col, row));
      }
    }
  }
}

// A bound is compared with the one before it only, so a change of the labels of rows first to
// last can move rows first to last + 1 in or out of order; the other rows keep their state.
void CheckCounter::CheckBounds(std::int32_t first, std::int32_t last) {
  first = std::max(first, 1);
  last = std::min(last + 1, cells_.RowCount() - 1);
  if (first > last) return;
  std::vector<std::int32_t> found;
  std::optional<double> previous = first == 1 ? 0.0 : tol::IntervalBound(cells_.Cell(0, first - 1));
  for (std::int32_t row = first; row <= last; ++row) {
    const std::optional<double> bound = tol::IntervalBound(cells_.Cell(0, row));
    if (tol::BoundOutOfOrder(previous, bound)) found.push_back(row);
    previous = bound;
  }
  auto& rows = bounds_out_of_order_;
  const auto begin = std::lower_bound(rows.begin(), rows.end(), first);
  const auto end = std::upper_bound(begin, rows.end(), last);
  rows.insert(rows.erase(begin, end), found.begin(), found.end());
}

// Cells and bounds beyond lowered counts are gone; those that moved in were announced as
// written.
void CheckCounter::DropOutside() {
  std::erase_if(upper_below_lower_, [this](std::uint64_t key) {
    return !cells_.Contains(static_cast<std::int32_t>(key >> 32),
                            static_cast<std::int32_t>(key & 0xFFFFFFFF));
  });
  auto& rows = bounds_out_of_order_;
  rows.erase(std::lower_bound(rows.begin(), rows.end(), cells_.RowCount()), rows.end());
}

void CheckCounter::CheckAll() {
  upper_below_lower_.clear();
  bounds_out_of_order_.clear();
  CheckCells(1, 1, cells_.ColCount() - 1, cells_.RowCount() - 1);
  CheckBounds(1, cells_.RowCount() - 1);
  emit CountsChanged();
}

void CheckCounter::Changed(std::size_t cells_before,
                           const std::vector<std::int32_t>& bounds_before) {
  if (cells_before != upper_below_lower_.size() || bounds_before != bounds_out_of_order_) {
    emit CountsChanged();
  }
}
