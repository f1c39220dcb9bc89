#pragma once
// A rectangle of cells as spreadsheets take it from the clipboard: tab-separated text (cells
// joined by tabs, each row ended by "\n"; a text holding a tab, a line end or a leading quote is
// quoted, '"' doubled) and an HTML table. Reading such a block back is pasted_block.h.

#include <cstdint>
#include <string>

#include "data/tolerance_file.h"

namespace tol {

struct CellRect {
  std::int32_t left;
  std::int32_t top;
  std::int32_t right;  // inclusive
  std::int32_t bottom;
};

[[nodiscard]] std::string BlockAsTabSeparated(const CellTable& table, CellRect rect);
[[nodiscard]] std::string BlockAsHtmlTable(const CellTable& table, CellRect rect);

}  // namespace tol
