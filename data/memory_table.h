#pragma once
// A cell table held in memory, for tests and tools. Like the editor's grid, counts never go
// below 1 and cell texts live apart from the counts: lowering a count hides cells without
// erasing them, and a cell never written (or outside the stored area) reads as "".

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "data/tolerance_file.h"

namespace tol {

class MemoryTable final : public CellTable {
 public:
  MemoryTable() = default;
  MemoryTable(std::int32_t cols, std::int32_t rows) {
    SetColCount(cols);
    SetRowCount(rows);
  }

  [[nodiscard]] std::int32_t ColCount() const override { return cols_; }
  [[nodiscard]] std::int32_t RowCount() const override { return rows_; }
  void SetColCount(std::int32_t count) override { cols_ = std::max(count, std::int32_t{1}); }
  void SetRowCount(std::int32_t count) override { rows_ = std::max(count, std::int32_t{1}); }

  [[nodiscard]] std::string GetCell(std::int32_t col, std::int32_t row) const override {
    if (col < 0 || row < 0 || static_cast<std::size_t>(col) >= columns_.size()) return {};
    const std::vector<std::string>& column = columns_[static_cast<std::size_t>(col)];
    if (static_cast<std::size_t>(row) >= column.size()) return {};
    return column[static_cast<std::size_t>(row)];
  }

  // Cells outside the counts are stored too, as the grid does.
  void SetCell(std::int32_t col, std::int32_t row, const std::string& text) override {
    if (col < 0 || row < 0) return;
    const auto c = static_cast<std::size_t>(col);
    const auto r = static_cast<std::size_t>(row);
    if (c >= columns_.size()) columns_.resize(std::max(c + 1, static_cast<std::size_t>(cols_)));
    std::vector<std::string>& column = columns_[c];
    if (r >= column.size()) column.resize(std::max(r + 1, static_cast<std::size_t>(rows_)));
    column[r] = text;
  }

  void PrepareForCounts() override { ++prepare_calls_; }
  // How often the table was prepared for new counts.
  [[nodiscard]] int PrepareCalls() const { return prepare_calls_; }

 private:
  std::int32_t cols_ = 1;
  std::int32_t rows_ = 1;
  std::vector<std::vector<std::string>> columns_;  // columns_[col][row]
  int prepare_calls_ = 0;
};

}  // namespace tol
