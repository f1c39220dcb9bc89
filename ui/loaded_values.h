#pragma once
// The values the tolerance file held for the value cells whose text rounds them (the cell form
// keeps three decimals): the one record beside the grid's texts that the rounding marks, the
// status bar and the zone panel read. A table whose values all fit three decimals keeps
// nothing here.
//
// A cell is known by its grade's name and its interval's label, as loaded (with the rank among
// equal names where a name was repeated), not by its position: the record follows its cells
// through deletes and additions of lines, and a line restored by undo is found again. A cell
// is marked while its text reads as the rounded values; an edit or a paste that changes the
// numbers takes the mark away, and restoring the text brings it back.
//
// Per marked cell: its interval's row at load (4 bytes) and the two binary64 values; per
// marked grade or interval, its name and a few words.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "data/rounded_cells.h"

namespace tk {
class GridModel;
}

class LoadedValues final : public tol::LoadedCellSink {
 public:
  explicit LoadedValues(const tk::GridModel& cells) : cells_(cells) {}

  struct Pair {
    double first;
    double second;
  };

  void LoadBegins() override { Clear(); }
  void CellRounded(std::int32_t col, std::int32_t row, double first, double second) override;
  void LoadEnds() override;
  // The file now holds what the texts say (after a save).
  void Clear();

  [[nodiscard]] bool Empty() const { return grades_.empty(); }
  // The file's values of a value cell that carries a mark; nothing for any other cell.
  [[nodiscard]] std::optional<Pair> Marked(std::int32_t col, std::int32_t row) const;
  // The values a cell stands for: the file's where it is marked, else its text's; nothing
  // where the text does not read as two numbers.
  [[nodiscard]] std::optional<Pair> Values(std::int32_t col, std::int32_t row) const;

  [[nodiscard]] std::size_t RecordedCells() const;
  // Heap bytes the record holds, for the memory figures.
  [[nodiscard]] std::size_t HeapBytes() const;

 private:
  // The lines of one name or label as loaded, by rank among the lines of equal text.
  struct Line {
    bool repeated = false;  // the text named more than one line at load
    std::vector<std::int32_t> load_index_by_rank;
  };
  struct Grade {
    std::int32_t load_col;
    std::vector<std::int32_t> load_rows;  // ascending
    std::vector<double> values;           // two per row
  };

  void NoteLoadLines();
  [[nodiscard]] std::optional<std::int32_t> LoadIndex(
      const std::unordered_map<std::string, Line>& lines, bool is_col, std::int32_t index) const;
  [[nodiscard]] std::int32_t Rank(bool is_col, std::int32_t index) const;
  static void Remember(std::unordered_map<std::string, Line>& lines, const std::string& text,
                       bool repeated, std::int32_t rank, std::int32_t load_index);

  const tk::GridModel& cells_;
  std::vector<Grade> grades_;  // ascending by load_col
  std::unordered_map<std::string, Line> grade_lines_;
  std::unordered_map<std::string, Line> interval_lines_;
  // Only during a load: how many lines bear each name or label, and the interval ranks.
  std::unordered_map<std::string, std::int32_t> load_name_counts_;
  std::unordered_map<std::string, std::int32_t> load_label_counts_;
  std::vector<std::int32_t> load_row_ranks_;
  bool load_lines_noted_ = false;
};
