// Loads arbitrary bytes as the tolerance file (in memory, not on the disk) and checks that the
// load either fills the table the header describes or raises one of the system's errors, never
// leaving the file open; and that a loaded table whose numbers all read back saves and loads
// again to the very same texts, keeping the old bytes beyond the new end.

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "data/errors.h"
#include "data/memory_table.h"
#include "data/number_text.h"
#include "data/table_codec.h"
#include "data/tolerance_file.h"
#include "fuzz/fuzz_check.h"
#include "tests/support/memory_file_system.h"

namespace tol::fuzz {
namespace {

using Grid = std::vector<std::vector<std::string>>;

Grid Cells(const CellTable& table) {
  Grid cells(static_cast<std::size_t>(table.RowCount()));
  for (std::int32_t r = 0; r < table.RowCount(); ++r) {
    for (std::int32_t c = 0; c < table.ColCount(); ++c) cells[r].push_back(table.GetCell(c, r));
  }
  return cells;
}

std::int32_t Int32At(const std::string& bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i)
    value |= std::uint32_t{static_cast<unsigned char>(bytes[offset + i])} << (8 * i);
  return static_cast<std::int32_t>(value);
}

// How the numbers of a loaded table read back: all as binary64 values; some not at all (an
// "INF" or "NAN" text); or some beyond the binary64 range, which the general form's 15 digits
// give for the very largest values (1.79769313486232E308 exceeds the largest binary64).
enum class ReadBack { kAll, kSomeUnreadable, kSomeBeyondBinary64 };

ReadBack ReadBackOf(const CellTable& table) {
  ReadBack outcome = ReadBack::kAll;
  const auto note = [&](const std::string& text, std::int32_t word) {
    const NumberResult read = NumberFromText(ExtractWord(text, word));
    if (read.error != 0) {
      if (outcome == ReadBack::kAll) outcome = ReadBack::kSomeUnreadable;
    } else if (std::isfinite(read.value) && std::fabs(read.value) > DBL_MAX) {
      outcome = ReadBack::kSomeBeyondBinary64;
    }
  };
  for (std::int32_t r = 1; r < table.RowCount(); ++r) {
    note(table.GetCell(0, r), 2);
    for (std::int32_t c = 1; c < table.ColCount(); ++c) {
      note(table.GetCell(c, r), 1);
      note(table.GetCell(c, r), 2);
    }
  }
  return outcome;
}

// The six bytes a loaded name is saved as: cut at the first NUL and blank-padded, the one byte
// without a character (0x98) turned into "?".
std::string SavedName(const char* field) {
  std::string name(field, strnlen(field, kNameSize));
  std::replace(name.begin(), name.end(), '\x98', '?');
  name.resize(kNameSize, ' ');
  return name;
}

void CheckSaveRoundTrip(MemoryFileSystem& fs, const CellTable& table, const std::string& input) {
  const std::int32_t n = table.RowCount() - 1;
  const std::int32_t m = table.ColCount() - 1;
  StoreTable(table);
  Require(fs.OpenDescriptorCount() == 0, "the save leaves a file open", input);
  const std::string saved = fs.FileBytes(kToleranceFileName).value_or("");
  const std::uint64_t size = LayoutSize(n, m).value();
  Require(saved.size() == std::max<std::uint64_t>(size, input.size()), "the saved file's length",
          input);
  Require(
      saved.compare(size, std::string::npos, input, std::min<std::size_t>(size, input.size())) == 0,
      "the bytes beyond the saved table are the old ones", input);
  const std::size_t names = kCountsSize + 8 * static_cast<std::size_t>(n);
  for (std::int32_t c = 0; c < m; ++c) {
    const std::size_t at = names + kNameSize * static_cast<std::size_t>(c);
    Require(saved.compare(at, kNameSize, SavedName(input.data() + at)) == 0, "a name's saved bytes",
            input);
  }
  MemoryTable again;
  LoadTable(again);
  Require(Cells(again) == Cells(table), "a saved table loads back to the same texts", input);
}

// A number beyond binary64 stops the save before the file is touched.
void CheckSaveOverflows(MemoryFileSystem& fs, const CellTable& table, const std::string& input) {
  bool overflowed = false;
  try {
    StoreTable(table);
  } catch (const EOverflow&) {
    overflowed = true;
  }
  Require(overflowed, "a number beyond binary64 is saved", input);
  Require(fs.FileBytes(kToleranceFileName) == input, "an overflowing save changes the file", input);
  Require(fs.OpenDescriptorCount() == 0, "an overflowing save leaves a file open", input);
}

void CheckLoad(const std::string& input) {
  MemoryFileSystem fs;
  fs.SetFile(kToleranceFileName, input);
  ScopedFileSystem installed(fs);
  MemoryTable table;
  const Grid untouched = Cells(table);
  try {
    LoadTable(table);
  } catch (const EInOutError& e) {
    Require(e.Code() == 100, "a load fails only by reading beyond the end", input);
    Require(Cells(table) == untouched, "a refused file leaves the table untouched", input);
    Require(fs.OpenDescriptorCount() == 0, "a failed load leaves the file open", input);
    return;
  } catch (const EIntOverflow&) {
    Require(Int32At(input, 0) == INT32_MAX || Int32At(input, 4) == INT32_MAX,
            "overflow without a maximal count", input);
    Require(fs.OpenDescriptorCount() == 0, "a failed load leaves the file open", input);
    return;
  } catch (const EInvalidOp&) {
    Require(fs.OpenDescriptorCount() == 0, "a failed load leaves the file open", input);
    return;
  }
  Require(fs.OpenDescriptorCount() == 0, "the load leaves the file open", input);
  const std::int32_t n = Int32At(input, 0);
  const std::int32_t m = Int32At(input, 4);
  Require(table.RowCount() == n + 1 && table.ColCount() == m + 1, "the counts are the header's",
          input);
  Require(LayoutSize(n, m).value_or(UINT64_MAX) <= input.size(),
          "the file holds what its counts promise", input);
  Require(table.GetCell(0, 0) == kCornerText, "the corner text", input);
  switch (ReadBackOf(table)) {
    case ReadBack::kAll: CheckSaveRoundTrip(fs, table, input); break;
    case ReadBack::kSomeUnreadable:
      StoreTable(table);  // an unreadable word is saved as the number read so far
      LoadTable(table);
      break;
    case ReadBack::kSomeBeyondBinary64: CheckSaveOverflows(fs, table, input); break;
  }
}

}  // namespace
}  // namespace tol::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tol::fuzz::CheckLoad(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
