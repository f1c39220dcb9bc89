#pragma once
// The tolerance file "Zarava.win" and its mapping to a table of cell texts.
//
// Layout (little-endian): int32 N intervals, int32 M grades, N binary64 bounds, M six-byte
// Windows-1251 names, then for each grade and within it each interval two binary64 values.

#include <cstdint>
#include <string>
#include <string_view>

namespace tol {

inline constexpr const char* kToleranceFileName = "Zarava.win";

// A rectangle of cell texts, addressed (column, row) from 0; row 0 and column 0 are labels.
class CellTable {
 public:
  virtual ~CellTable() = default;
  [[nodiscard]] virtual std::int32_t ColCount() const = 0;
  [[nodiscard]] virtual std::int32_t RowCount() const = 0;
  virtual void SetColCount(std::int32_t count) = 0;  // a value below 1 becomes 1
  virtual void SetRowCount(std::int32_t count) = 0;
  [[nodiscard]] virtual std::string GetCell(std::int32_t col, std::int32_t row) const = 0;
  virtual void SetCell(std::int32_t col, std::int32_t row, const std::string& text) = 0;
  // The text GetCell gives, read in place where the table keeps its texts as strings (valid
  // until the table next changes), so that a reader of every cell copies none; nullptr where
  // it does not, and GetCell then gives the text.
  [[nodiscard]] virtual const std::string* CellInPlace(std::int32_t /*col*/,
                                                       std::int32_t /*row*/) const {
    return nullptr;
  }
  virtual void PrepareForCounts() {}  // once both counts are read, before they are applied
  // A run of SetCell calls lies between these two (the loader writes a whole table in one): a
  // table that tells observers of every change may tell them of the run once, at its end.
  // Every BeginCellBatch is followed by one EndCellBatch, also when an error ends the run.
  virtual void BeginCellBatch() {}
  virtual void EndCellBatch() {}
};

// Whether name is an existing regular file (a directory is not). Never raises.
[[nodiscard]] bool FilePresent(const std::string& name);

// The tolerance file a FILE argument names: a directory means "Zarava.win" in it, anything
// else (a missing name included) is the file itself. Never raises.
[[nodiscard]] std::string ToleranceFileAt(const std::string& given);

class LoadedCellSink;

// Reads "Zarava.win" in the current directory into table. Raises EInOutError, EIntOverflow or
// EInvalidOp; the file is closed before any error leaves. A sink, where given, is told of the
// value cells that want a second look (see LoadedCellSink).
void LoadTable(CellTable& table, LoadedCellSink* sink = nullptr);

// Writes table into the existing "Zarava.win": either the whole new content lands or the old
// file stays as it was. Raises EInOutError.
void StoreTable(const CellTable& table);

// LoadTable and StoreTable on the file at path instead of "Zarava.win" (tools and tests).
void LoadTableFrom(CellTable& table, const std::string& path, LoadedCellSink* sink = nullptr);
void StoreTableTo(const CellTable& table, const std::string& path);

// LoadTableFrom on a file holding bytes, with the same checks, errors and order of cell writes;
// for a program that reads the file itself (one that only exports the table).
void LoadTableFromBytes(CellTable& table, std::string_view bytes);

}  // namespace tol
