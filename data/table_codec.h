#pragma once
// The byte layout of a tolerance table and its mapping to cell texts, apart from any file:
// int32 N, int32 M (little-endian), N binary64 bounds, M six-byte Windows-1251 names, then for
// each grade and within it each interval two binary64 values.

#include <cstdint>
#include <optional>
#include <string>

#include "data/rounded_cells.h"
#include "data/tolerance_file.h"

namespace tol {

inline constexpr const char* kCornerText = "     мм  ";
inline constexpr std::uint64_t kCountsSize = 8;
inline constexpr std::size_t kNameSize = 6;

// 8 + 8N + 6M + 16NM, the bytes an N x M table takes; nothing when a count is negative or the
// size does not fit in 64 bits.
[[nodiscard]] std::optional<std::uint64_t> LayoutSize(std::int32_t n, std::int32_t m);

// Sets the interval labels, grade names and value cells of an N x M table from body, the
// LayoutSize - 8 bytes after the counts, in the order of the file. A signalling NaN raises
// EInvalidOp when its cell is reached; the cells before it are set. A sink is told of each value
// cell that wants a second look (see LoadedCellSink); without one none is tested.
void DecodeTableBody(CellTable& table, std::int32_t n, std::int32_t m, const char* body,
                     LoadedCellSink* sink = nullptr);

// The bytes of the table: N = row count - 1, M = column count - 1; each bound is word 2 of its
// label, each value word 1 or 2 of its cell, with the first "," read as "."; each name is the
// first 6 characters of its cell, blank-padded. Raises EOverflow for a number beyond binary64.
[[nodiscard]] std::string EncodeTable(const CellTable& table);

// Whether the bound of an interval label reads as a number the way EncodeTable reads it (word 2,
// its first "," read as "."), so that the save stores the bound the label shows and not 0.
// Raises EOverflow for a bound beyond binary64, as the save would.
[[nodiscard]] bool LabelBoundAccepted(const std::string& label);

// The 6-character cell text of a 6-byte name field: cut at the first NUL, blank-padded.
[[nodiscard]] std::string NameText(const char* field);

}  // namespace tol
