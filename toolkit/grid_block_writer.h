#pragma once
// A block of cell texts written straight into a string grid as it is read (a paste), so that a
// large block goes over its cells once. The texts a block replaces are kept; the writes are
// announced together when the block is kept, and taken back when it is not (a refusal, or the
// writer's end without Keep).

#include <cstdint>
#include <string_view>

#include "data/cell_block.h"
#include "data/pasted_block.h"
#include "toolkit/grid_model.h"

namespace tk {

class StringGrid;

class GridBlockWriter : public tol::CellSink {
 public:
  explicit GridBlockWriter(StringGrid& grid);
  ~GridBlockWriter() override;
  GridBlockWriter(const GridBlockWriter&) = delete;
  GridBlockWriter& operator=(const GridBlockWriter&) = delete;

  void Reserve(std::size_t count) override;
  // A cell outside the counts, or one that holds text already, is left as it is.
  void Put(std::int32_t col, std::int32_t row, std::string_view text) override;
  // Takes back every text written so far.
  void Clear() override;

  // How many texts were put, changed or not.
  [[nodiscard]] std::size_t Count() const { return count_; }
  // Keeps the block: the changed cells are announced, and their replaced texts returned (in the
  // order written) for the undo history.
  [[nodiscard]] CellRuns Keep();

 private:
  StringGrid& grid_;
  GridModel& model_;
  CellRuns replaced_;
  tol::CellRect around_;
  std::size_t count_ = 0;
};

}  // namespace tk
