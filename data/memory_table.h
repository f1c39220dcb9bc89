#pragma once
// A cell table held in memory, for tests and tools. Like the editor's grid, counts never go
// below 1 and cell texts live apart from the counts: lowering a count hides cells without
// erasing them, and a cell never written (or outside the stored area) reads as "".

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
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
    return *CellInPlace(col, row);
  }
  [[nodiscard]] const std::string* CellInPlace(std::int32_t col, std::int32_t row) const override {
    static const std::string kEmpty;
    if (col < 0 || row < 0 || col >= stored_cols_ || row >= stored_rows_) return &kEmpty;
    return &cells_[Index(col, row)];
  }

  // Cells outside the counts are stored too, as the grid does.
  void SetCell(std::int32_t col, std::int32_t row, const std::string& text) override {
    if (col < 0 || row < 0) return;
    if (col >= stored_cols_ || row >= stored_rows_) {
      Grow(std::max({col + 1, cols_, stored_cols_}), std::max({row + 1, rows_, stored_rows_}));
    }
    cells_[Index(col, row)] = text;
  }

  void PrepareForCounts() override { ++prepare_calls_; }
  // How often the table was prepared for new counts.
  [[nodiscard]] int PrepareCalls() const { return prepare_calls_; }

  void BeginCellBatch() override {
    ++open_batches_;
    ++batches_;
  }
  void EndCellBatch() override { --open_batches_; }
  // Batches begun and not yet ended, and batches begun in all.
  [[nodiscard]] int OpenBatches() const { return open_batches_; }
  [[nodiscard]] int Batches() const { return batches_; }

 private:
  std::int32_t cols_ = 1;
  std::int32_t rows_ = 1;
  [[nodiscard]] std::size_t Index(std::int32_t col, std::int32_t row) const {
    return static_cast<std::size_t>(col) * static_cast<std::size_t>(stored_rows_) +
           static_cast<std::size_t>(row);
  }

  // One block, column by column, so filling a table in file order touches memory in order and
  // a whole table costs one allocation.
  void Grow(std::int32_t cols, std::int32_t rows) {
    const std::size_t size = static_cast<std::size_t>(cols) * static_cast<std::size_t>(rows);
    if (rows == stored_rows_) {
      cells_.resize(size);
    } else {
      std::vector<std::string> grown(size);
      for (std::int32_t c = 0; c < stored_cols_; ++c) {
        for (std::int32_t r = 0; r < stored_rows_; ++r) {
          grown[static_cast<std::size_t>(c) * static_cast<std::size_t>(rows) +
                static_cast<std::size_t>(r)] = std::move(cells_[Index(c, r)]);
        }
      }
      cells_ = std::move(grown);
    }
    stored_cols_ = cols;
    stored_rows_ = rows;
  }

  std::int32_t stored_cols_ = 0;
  std::int32_t stored_rows_ = 0;
  std::vector<std::string> cells_;  // stored_cols_ x stored_rows_, column-major
  int prepare_calls_ = 0;
  int open_batches_ = 0;
  int batches_ = 0;
};

}  // namespace tol
