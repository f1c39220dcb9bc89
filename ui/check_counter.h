#pragma once
// Counts the table's non-blocking check failures while it is edited: value cells whose upper
// deviation lies below the lower one, and interval bounds that do not ascend. It follows the
// grid model's announcements, so a keystroke costs the check of one cell; only the failing
// cells are kept. A load tells it the cells whose file values fail, so that the load's one
// announcement of the whole table costs the check of those cells alone.

#include <QObject>
#include <cstdint>
#include <unordered_set>
#include <vector>

namespace tk {
class GridModel;
}

class CheckCounter : public QObject {
  Q_OBJECT

 public:
  explicit CheckCounter(const tk::GridModel& cells, QObject* parent = nullptr);

  [[nodiscard]] std::size_t UpperBelowLowerCount() const { return upper_below_lower_.size(); }
  [[nodiscard]] std::size_t BoundsOutOfOrderCount() const { return bounds_out_of_order_.size(); }
  [[nodiscard]] bool CellFails(std::int32_t col, std::int32_t row) const;
  // Whether the label of row holds a bound that does not rise above the one before it.
  [[nodiscard]] bool BoundOutOfOrder(std::int32_t row) const;

  // From a load, as a tol::LoadedCellSink hears it: the next announcement of written cells is
  // the load's, and of its cells only those named here can fail.
  void LoadBegins();
  void CellUpperBelowLower(std::int32_t col, std::int32_t row);
  void LoadStops();

 signals:
  void CountsChanged();

 private:
  void CheckCells(std::int32_t col0, std::int32_t row0, std::int32_t col1, std::int32_t row1);
  void TakeLoadedCells(std::int32_t col0, std::int32_t row0, std::int32_t col1, std::int32_t row1);
  void CheckBounds(std::int32_t first, std::int32_t last);
  void DropOutside();
  void CheckAll();
  // Tells of a change in the failing cells' count or in the rows whose bound is out of order.
  void Changed(std::size_t cells_before, const std::vector<std::int32_t>& bounds_before);

  const tk::GridModel& cells_;
  std::unordered_set<std::uint64_t> upper_below_lower_;  // (col << 32) | row
  std::vector<std::int32_t> bounds_out_of_order_;        // rows, ascending
  bool load_announcement_due_ = false;
  std::vector<std::uint64_t> load_candidates_;  // keys as above
};
