#include "data/table_codec.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "data/errors.h"
#include "data/file_system.h"
#include "data/memory_table.h"
#include "tests/data/file_test_support.h"
#include "tests/support/memory_file_system.h"

namespace tol {
namespace {

using testing::Attempt;
using testing::Cells;
using testing::FileImage;
using testing::TableFile;

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

TEST(LayoutSizeTest, CountsEveryFieldWithoutOverflow) {
  struct Row {
    std::int32_t n;
    std::int32_t m;
    std::optional<std::uint64_t> size;
    const char* probes;
  } rows[] = {
      {0, 0, 8, "the counts alone"},
      {1, 0, 16, "one bound"},
      {0, 1, 14, "one name"},
      {2, 3, 8 + 16 + 18 + 96, "every block"},
      {1000, 1000, 8 + 8000 + 6000 + 16000000, "a large table"},
      {-1, 0, std::nullopt, "negative interval count"},
      {0, std::numeric_limits<std::int32_t>::min(), std::nullopt, "most negative grade count"},
      {kMax, 0, 8 + 8ull * kMax, "largest count alone"},
      {kMax, kMax, std::nullopt, "16NM beyond 64 bits"},
  };
  for (const Row& row : rows) EXPECT_EQ(LayoutSize(row.n, row.m), row.size) << row.probes;
}

TEST(EncodeTableTest, WritesTheLayoutFromTheCellTexts) {
  MemoryTable table(3, 2);
  table.SetCell(0, 1, "До 6");
  table.SetCell(1, 0, "H7");
  table.SetCell(2, 0, "h7    x");
  table.SetCell(1, 1, "0.012 0");
  table.SetCell(2, 1, "0 -0,012");
  table.SetCell(5, 5, "outside the counts");
  EXPECT_EQ(EncodeTable(table), TableFile({6}, {"H7    ", "h7    "}, {0.012, 0, 0, -0.012}));
}

// A table that only hands out copies of its texts, as any table may.
class CopyingTable final : public CellTable {
 public:
  explicit CopyingTable(const MemoryTable& inner) : inner_(inner) {}
  [[nodiscard]] std::int32_t ColCount() const override { return inner_.ColCount(); }
  [[nodiscard]] std::int32_t RowCount() const override { return inner_.RowCount(); }
  void SetColCount(std::int32_t) override {}
  void SetRowCount(std::int32_t) override {}
  [[nodiscard]] std::string GetCell(std::int32_t col, std::int32_t row) const override {
    return inner_.GetCell(col, row);
  }
  void SetCell(std::int32_t, std::int32_t, const std::string&) override {}

 private:
  const MemoryTable& inner_;
};

TEST(EncodeTableTest, TextsReadInPlaceOrCopiedGiveTheSameBytes) {
  MemoryTable table(3, 3);
  table.SetCell(0, 1, "До 6");
  table.SetCell(0, 2, "До 1e3");
  table.SetCell(1, 1, "0.012 0");
  table.SetCell(2, 1, "0 -0,012");
  table.SetCell(1, 2, "-123456789.125 3E-2");
  const CopyingTable copies(table);
  EXPECT_EQ(copies.CellInPlace(1, 1), nullptr);
  EXPECT_EQ(*table.CellInPlace(1, 2), "-123456789.125 3E-2");
  EXPECT_EQ(*table.CellInPlace(7, 1), "") << "outside the stored cells";
  EXPECT_EQ(*table.CellInPlace(-1, 0), "");
  EXPECT_EQ(EncodeTable(table), EncodeTable(copies));
  EXPECT_EQ(EncodeTable(table), TableFile({6, 1000}, {"      ", "      "},
                                          {0.012, 0, -123456789.125, 0.03, 0, -0.012, 0, 0}));
}

TEST(EncodeTableTest, ABoundBeyondBinary64RaisesOverflow) {
  MemoryTable table(1, 2);
  table.SetCell(0, 1, "До 1e400");
  EXPECT_EQ(Attempt([&] { (void)EncodeTable(table); }).message, "Floating point overflow");
}

TEST(MemoryTableTest, BehavesLikeTheGrid) {
  MemoryTable table;
  EXPECT_EQ(table.ColCount(), 1);
  EXPECT_EQ(table.RowCount(), 1);
  table.SetColCount(0);
  table.SetRowCount(-3);
  EXPECT_EQ(table.ColCount(), 1) << "a count below 1 becomes 1";
  EXPECT_EQ(table.RowCount(), 1);
  table.SetColCount(3);
  table.SetRowCount(3);
  table.SetCell(2, 2, "x");
  EXPECT_EQ(table.GetCell(1, 1), "") << "never written";
  table.SetColCount(2);
  EXPECT_EQ(table.GetCell(2, 2), "x") << "lowering a count hides, not erases";
  EXPECT_EQ(table.GetCell(-1, 0), "");
  EXPECT_EQ(table.GetCell(100, 100), "");
}

// The loader on the in-memory file system, as a fuzzer drives it: whatever the bytes, the load
// ends normally or with one of the system's errors, and never leaves the file open.
TEST(LoadFromMemoryTest, ArbitraryContentsNeverEscapeTheErrorTypes) {
  std::mt19937 random(20240601);
  const std::string valid =
      TableFile({3, 10}, {"h7    ", "H7    "}, {0, -0.01, 0, -0.015, 0.01, 0, 0.015, 0});
  int loaded = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string bytes = valid;
    if (round % 3 == 0) bytes.resize(random() % (valid.size() + 8));
    const int flips = static_cast<int>(random() % 4);
    for (int i = 0; i < flips && !bytes.empty(); ++i)
      bytes[random() % bytes.size()] = static_cast<char>(random());
    if (round % 5 == 0 && bytes.size() >= 8) {
      // Small counts, so that many damaged files pass the size check and reach the fields.
      bytes[0] = static_cast<char>(random() % 4), bytes[1] = bytes[2] = bytes[3] = 0;
      bytes[4] = static_cast<char>(random() % 4), bytes[5] = bytes[6] = bytes[7] = 0;
    }
    MemoryFileSystem memory;
    memory.SetFile(kToleranceFileName, bytes);
    ScopedFileSystem guard(memory);
    MemoryTable table;
    const auto outcome = Attempt([&] { LoadTable(table); });
    if (!outcome.raised) ++loaded;
    EXPECT_EQ(memory.OpenDescriptorCount(), 0u) << "round " << round;
    EXPECT_EQ(memory.FileBytes(kToleranceFileName), bytes) << "a load never writes";
  }
  EXPECT_GT(loaded, 100) << "too few damaged files were loadable to exercise the fields";
}

TEST(StoreToMemoryTest, ASaveGoesThroughATemporaryFileOnTheInMemorySystemToo) {
  MemoryFileSystem memory;
  memory.SetFile(kToleranceFileName, TableFile({3}, {"ab    "}, {1, 2}) + "tail", 0640);
  ScopedFileSystem guard(memory);
  MemoryTable table;
  LoadTable(table);
  table.SetCell(1, 1, "5 6");
  StoreTable(table);
  EXPECT_EQ(memory.FileBytes(kToleranceFileName), TableFile({3}, {"ab    "}, {5, 6}) + "tail");
  FileStatus status;
  ASSERT_TRUE(memory.Stat(kToleranceFileName, status).Ok());
  EXPECT_EQ(status.mode, 0640u);
  EXPECT_EQ(memory.OpenDescriptorCount(), 0u);
}

}  // namespace
}  // namespace tol
