#include "data/tolerance_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "data/errors.h"
#include "data/memory_table.h"
#include "tests/data/file_test_support.h"
#include "tests/support/privileges.h"

namespace tol {
namespace {

using testing::Attempt;
using testing::Cells;
using testing::FileImage;
using testing::ReadFile;
using testing::RunInChild;
using testing::TableFile;
using testing::TempDirTest;
using testing::WriteFile;

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
const std::string kCorner = "     мм  ";
const std::string kKvalit = "\xCA\xE2\xE0\xEB\xE8\xF2";  // "Квалит" in Windows-1251

// A 2 x 2 table: bounds 3 and 10, grades "h7" and "Квалит".
std::string SampleFile() {
  return TableFile({3, 10}, {"h7    ", kKvalit}, {0, -0.01, 0, -0.015, 0.018, 0, 0.0125, -0.0125});
}

MemoryTable Loaded(const std::string& bytes) {
  WriteFile(kToleranceFileName, bytes);
  MemoryTable table;
  LoadTable(table);
  return table;
}

// A table whose every cell reads "x", to see what a failed load changed.
MemoryTable Untouched() {
  MemoryTable table(3, 3);
  for (int c = 0; c < 3; ++c)
    for (int r = 0; r < 3; ++r) table.SetCell(c, r, "x");
  return table;
}

class LoadTableTest : public TempDirTest {};
class StoreTableTest : public TempDirTest {};
class FileRefusedTest : public TempDirTest {};

// --- Loading ---

TEST_F(LoadTableTest, MapsEveryFieldToItsCellText) {
  const MemoryTable table = Loaded(SampleFile());
  const std::vector<std::vector<std::string>> expected = {
      {kCorner, "h7    ", "Квалит"},
      {"До 3", "0 -0.01", "0.018 0"},
      {"До 10", "0 -0.015", "0.013 -0.013"},
  };
  EXPECT_EQ(Cells(table), expected);
  EXPECT_EQ(table.PrepareCalls(), 1);
  EXPECT_EQ(table.Batches(), 1);
  EXPECT_EQ(table.OpenBatches(), 0);
}

TEST_F(LoadTableTest, EmptyDimensionsGiveOnlyTheLabelsThereAre) {
  struct Row {
    std::string bytes;
    std::vector<std::vector<std::string>> cells;
    const char* probes;
  } rows[] = {
      {TableFile({}, {}, {}), {{kCorner}}, "N = 0 and M = 0: the corner only"},
      {TableFile({}, {"ab    ", "cd    "}, {}),
       {{kCorner, "ab    ", "cd    "}},
       "N = 0: names only"},
      {TableFile({3, 6}, {}, {}), {{kCorner}, {"До 3"}, {"До 6"}}, "M = 0: bounds only"},
  };
  for (const Row& row : rows) EXPECT_EQ(Cells(Loaded(row.bytes)), row.cells) << row.probes;
}

TEST_F(LoadTableTest, NamesAreCutAtTheFirstNulAndBlankPadded) {
  struct Row {
    std::string field;
    std::string text;
  } rows[] = {
      {std::string("ab\0cde", 6), "ab    "},
      {std::string("\0bcdef", 6), "      "},
      {"h7    ", "h7    "},
      {kKvalit, "Квалит"},
      {std::string("\xC6\0\0\0\0\0", 6), "Ж     "},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Loaded(TableFile({}, {row.field}, {})).GetCell(1, 0), row.text);
  }
}

TEST_F(LoadTableTest, BytesAfterTheTableAreIgnored) {
  const MemoryTable table = Loaded(SampleFile() + "trailing old bytes");
  EXPECT_EQ(Cells(table), Cells(Loaded(SampleFile())));
}

TEST_F(LoadTableTest, ADamagedHeaderOrAShortFileLeavesTheTableUntouched) {
  const std::string sample = SampleFile();
  struct Row {
    std::string bytes;
    const char* message;
    int prepare_calls;
    const char* probes;
  } rows[] = {
      {"", "Read beyond end of file", 0, "empty file"},
      {"\1\0\0", "Read beyond end of file", 0, "first count cut off"},
      {std::string("\0\0\0\0\1\0", 6), "Read beyond end of file", 0, "second count cut off"},
      {sample.substr(0, 8 + 12), "Read beyond end of file", 0, "a bound cut off"},
      {sample.substr(0, 8 + 16 + 8), "Read beyond end of file", 0, "a name cut off"},
      {sample.substr(0, sample.size() - 1), "Read beyond end of file", 0, "the last value cut off"},
      {FileImage().Counts(0, 2).Bytes(), "Read beyond end of file", 0,
       "names missing, no intervals"},
      {FileImage().Counts(-1, 0).Bytes(), "Read beyond end of file", 0, "negative interval count"},
      {FileImage().Counts(0, -5).Bytes(), "Read beyond end of file", 0, "negative grade count"},
      {FileImage().Counts(1 << 30, 1 << 30).Real(1).Bytes(), "Read beyond end of file", 0,
       "a layout of 2^64 bytes and more"},
      {FileImage().Counts(65536, 65536).Bytes(), "Read beyond end of file", 0, "billions of cells"},
      {FileImage().Counts(kMax, 0).Bytes(), "Integer overflow", 1, "interval count + 1 overflows"},
      {FileImage().Counts(0, kMax).Bytes(), "Integer overflow", 1, "grade count + 1 overflows"},
  };
  for (const Row& row : rows) {
    WriteFile(kToleranceFileName, row.bytes);
    MemoryTable table = Untouched();
    EXPECT_EQ(Attempt([&] { LoadTable(table); }).message, row.message) << row.probes;
    EXPECT_EQ(Cells(table), Cells(Untouched())) << row.probes;
    EXPECT_EQ(table.PrepareCalls(), row.prepare_calls) << row.probes;
  }
}

TEST_F(LoadTableTest, ASignallingNaNStopsTheLoadAfterTheCellsBeforeIt) {
  constexpr std::uint64_t kSignalling = 0x7FF0000000000001;
  constexpr std::uint64_t kQuiet = 0x7FF8000000000000;
  // In a bound: the first label is set, the second is not.
  WriteFile(kToleranceFileName, FileImage().Counts(2, 0).Real(3).Bits(kSignalling).Bytes());
  MemoryTable table;
  EXPECT_EQ(Attempt([&] { LoadTable(table); }).message, "Invalid floating point operation");
  EXPECT_EQ(table.GetCell(0, 1), "До 3");
  EXPECT_EQ(table.GetCell(0, 2), "");
  // In the second number of a value pair; a quiet NaN is shown, not refused.
  WriteFile(kToleranceFileName, FileImage()
                                    .Counts(2, 1)
                                    .Real(3)
                                    .Real(6)
                                    .Raw("h7    ")
                                    .Bits(kQuiet)
                                    .Real(0)
                                    .Real(1)
                                    .Bits(kSignalling)
                                    .Bytes());
  EXPECT_EQ(Attempt([&] { LoadTable(table); }).message, "Invalid floating point operation");
  EXPECT_EQ(table.GetCell(1, 0), "h7    ");
  EXPECT_EQ(table.GetCell(1, 1), "NAN 0");
  EXPECT_EQ(table.GetCell(1, 2), "");
  // The cell writes of each load formed one batch, closed although the load failed.
  EXPECT_EQ(table.Batches(), 2);
  EXPECT_EQ(table.OpenBatches(), 0);
  // The file was closed: the next load works.
  EXPECT_NO_THROW(Loaded(SampleFile()));
}

// The export reads the file itself and loads its bytes: every outcome must be the file's.
TEST_F(LoadTableTest, BytesLoadAsTheFileHoldingThemDoes) {
  const std::string sample = SampleFile();
  const std::string inputs[] = {
      sample,
      sample + "trailing old bytes",
      "",
      "\1\0\0",
      sample.substr(0, sample.size() - 1),
      FileImage().Counts(-1, 0).Bytes(),
      FileImage().Counts(kMax, 0).Bytes(),
      FileImage().Counts(2, 0).Real(3).Bits(0x7FF0000000000001).Bytes(),
  };
  for (const std::string& bytes : inputs) {
    WriteFile(kToleranceFileName, bytes);
    MemoryTable from_file = Untouched();
    MemoryTable from_bytes = Untouched();
    const std::string file_error = Attempt([&] { LoadTable(from_file); }).message;
    EXPECT_EQ(Attempt([&] { LoadTableFromBytes(from_bytes, bytes); }).message, file_error)
        << bytes.size() << " bytes";
    EXPECT_EQ(Cells(from_bytes), Cells(from_file)) << file_error;
    EXPECT_EQ(from_bytes.PrepareCalls(), from_file.PrepareCalls()) << file_error;
    EXPECT_EQ(from_bytes.OpenBatches(), 0) << file_error;
  }
}

// --- Storing ---

TEST_F(StoreTableTest, ALoadedTableSavesByteIdenticalWhenItHoldsThreeDecimals) {
  const std::string original = TableFile({3, 10, 2.5}, {"h7    ", kKvalit},
                                         {0, -0.01, 0, -0.015, 1, 2, 0.018, 0, -0.5, 0.125, 3, -3});
  struct Row {
    std::string bytes;
    const char* probes;
  } rows[] = {
      {original, "blank-padded and Cyrillic names, bounds and values"},
      {TableFile({}, {}, {}), "the 8-byte empty table"},
      {TableFile({}, {"ab    "}, {}), "no intervals"},
      {TableFile({7}, {}, {}), "no grades"},
  };
  for (const Row& row : rows) {
    const MemoryTable table = Loaded(row.bytes);
    StoreTable(table);
    EXPECT_EQ(ReadFile(kToleranceFileName), row.bytes) << row.probes;
  }
}

TEST_F(StoreTableTest, ValuesAreSavedWithThePrecisionOfTheirText) {
  MemoryTable table = Loaded(TableFile({10}, {"h7    "}, {0.0125, -0.0125}));
  ASSERT_EQ(table.GetCell(1, 1), "0.013 -0.013");
  StoreTable(table);
  EXPECT_EQ(ReadFile(kToleranceFileName), TableFile({10}, {"h7    "}, {0.013, -0.013}));
}

TEST_F(StoreTableTest, ReadsBoundsAndValuesFromTheirWords) {
  struct Row {
    std::string label;
    std::string cell;
    double bound;
    double first;
    double second;
    const char* probes;
  } rows[] = {
      {"До 10", "1 2", 10.0, 1, 2, "a whole bound comes back as exactly 10.0"},
      {"До 2,5", "0,018 -0,002", 2.5, 0.018, -0.002, "a comma as decimal point"},
      {"До  1e3", "1  2 3", 1000, 1, 2, "runs of blanks; words after the second ignored"},
      {"До 0.0001", "-0 0", 0.0001, -0.0, 0, "a small bound; minus zero kept"},
  };
  WriteFile(kToleranceFileName, "");
  for (const Row& row : rows) {
    MemoryTable table(2, 2);
    table.SetCell(0, 1, row.label);
    table.SetCell(1, 0, "h7    ");
    table.SetCell(1, 1, row.cell);
    StoreTable(table);
    EXPECT_EQ(ReadFile(kToleranceFileName),
              TableFile({row.bound}, {"h7    "}, {row.first, row.second}))
        << row.probes;
  }
}

TEST_F(StoreTableTest, NamesAreCutOrBlankPaddedToSixBytes) {
  struct Row {
    std::string text;
    std::string field;
  } rows[] = {
      {"h7    ", "h7    "},
      {"Квалит", kKvalit},
      {"abcdefgh", "abcdef"},
      {"", "      "},
      {"Ж", "\xC6     "},
      {"日本", "??    "},
      {"Квалитет", kKvalit},
      {std::string("\xFF"
                   "a",
                   2),
       "?a    "},
  };
  WriteFile(kToleranceFileName, "");
  for (const Row& row : rows) {
    MemoryTable table(2, 1);
    table.SetCell(1, 0, row.text);
    StoreTable(table);
    EXPECT_EQ(ReadFile(kToleranceFileName), TableFile({}, {row.field}, {})) << row.text;
  }
}

TEST_F(StoreTableTest, AShorterTableLeavesTheOldBytesAfterIt) {
  const std::string original = SampleFile();
  MemoryTable table = Loaded(original);
  table.SetColCount(2);  // one grade fewer
  StoreTable(table);
  const std::string expected_head = TableFile({3, 10}, {"h7    "}, {0, -0.01, 0, -0.015});
  const std::string saved = *ReadFile(kToleranceFileName);
  ASSERT_EQ(saved.size(), original.size()) << "the file never shrinks";
  EXPECT_EQ(saved.substr(0, expected_head.size()), expected_head);
  EXPECT_EQ(saved.substr(expected_head.size()), original.substr(expected_head.size()));
  EXPECT_EQ(Cells(Loaded(saved)), Cells(table));
}

TEST_F(StoreTableTest, KeepsPermissionsOwnerSymbolicLinkAndHardLinks) {
  TOL_SKIP_UNLESS_ROOT("give the file another owner");
  std::filesystem::create_directory("real");
  WriteFile("real/table.win", SampleFile());
  ASSERT_EQ(::chmod("real/table.win", 0640), 0);
  ASSERT_EQ(::chown("real/table.win", 1234, 5678), 0);
  std::filesystem::create_symlink("real/table.win", kToleranceFileName);
  MemoryTable table = Loaded(SampleFile());
  table.SetCell(1, 1, "5 6");
  StoreTable(table);
  EXPECT_TRUE(std::filesystem::is_symlink(kToleranceFileName));
  struct stat st {};
  ASSERT_EQ(::stat("real/table.win", &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(st.st_uid, 1234u);
  EXPECT_EQ(st.st_gid, 5678u);
  EXPECT_EQ(Cells(Loaded(*ReadFile("real/table.win"))), Cells(table));
  EXPECT_EQ(testing::DirectoryNames("real"), std::vector<std::string>{"table.win"})
      << "no temporary left";

  std::filesystem::remove(kToleranceFileName);
  WriteFile(kToleranceFileName, SampleFile());
  std::filesystem::create_hard_link(kToleranceFileName, "second.win");
  StoreTable(table);
  EXPECT_EQ(ReadFile("second.win"), ReadFile(kToleranceFileName)) << "both names see the save";
}

TEST_F(StoreTableTest, WritesInPlaceWhereNoNewFileCanBeMadeBesideIt) {
  TOL_SKIP_UNLESS_ROOT("give the file to user 65534");
  // An ordinary user may write the file but not the directory it is in.
  WriteFile(kToleranceFileName, SampleFile() + "tail");
  ASSERT_EQ(::chown(kToleranceFileName, 65534, 65534), 0);
  ASSERT_EQ(::chmod(".", 0755), 0);
  const std::string report = RunInChild([] {
    if (!testing::BecomeOrdinaryUser()) return std::string("cannot drop privileges");
    MemoryTable table = Loaded(*ReadFile(kToleranceFileName));
    table.SetCell(1, 1, "7 8");
    StoreTable(table);
    return Cells(Loaded(*ReadFile(kToleranceFileName)))[1][1];
  });
  EXPECT_EQ(report, "7 8");
  EXPECT_EQ(ReadFile(kToleranceFileName)->substr(SampleFile().size()), "tail");
}

// --- Files that cannot be used ---

TEST_F(FileRefusedTest, FilePresentAnswersForRegularFilesOnly) {
  WriteFile("file", "");
  WriteFile("old", "");
  const timespec dates[2] = {{-400000000, 0}, {-400000000, 0}};  // 1957
  ASSERT_EQ(::utimensat(AT_FDCWD, "old", dates, 0), 0);
  std::filesystem::create_directory("dir");
  std::filesystem::create_symlink("file", "link");
  std::filesystem::create_symlink("missing", "dangling");
  EXPECT_TRUE(FilePresent("file"));
  EXPECT_TRUE(FilePresent("old")) << "a file dated before 1980 is present";
  EXPECT_TRUE(FilePresent("link"));
  EXPECT_FALSE(FilePresent("dir"));
  EXPECT_FALSE(FilePresent("dangling"));
  EXPECT_FALSE(FilePresent("missing"));
}

TEST_F(FileRefusedTest, MissingFileOrDirectoryIsReportedAndNothingIsCreated) {
  MemoryTable table = Untouched();
  EXPECT_EQ(Attempt([&] { LoadTable(table); }).message, "File not found");
  EXPECT_EQ(Attempt([&] { StoreTable(table); }).message, "File not found");
  EXPECT_FALSE(std::filesystem::exists(kToleranceFileName));
  std::filesystem::create_directory(kToleranceFileName);
  EXPECT_EQ(Attempt([&] { LoadTable(table); }).message, "File access denied");
  EXPECT_EQ(Attempt([&] { StoreTable(table); }).message, "File access denied");
  EXPECT_EQ(Cells(table), Cells(Untouched()));
  EXPECT_TRUE(testing::DirectoryNames(kToleranceFileName).empty());
}

TEST_F(FileRefusedTest, AReadOnlyFileCanBeNeitherLoadedNorSaved) {
  WriteFile(kToleranceFileName, SampleFile());
  ASSERT_EQ(::chmod(kToleranceFileName, 0444), 0);
  const std::string report = RunInChild([] {
    if (!testing::BecomeOrdinaryUser()) return std::string("cannot drop privileges");
    MemoryTable table = Untouched();
    const std::string load = Attempt([&] { LoadTable(table); }).message;
    const std::string store = Attempt([&] { StoreTable(table); }).message;
    return load + " / " + store + (Cells(table) == Cells(Untouched()) ? "" : " / table changed");
  });
  EXPECT_EQ(report, "File access denied / File access denied");
  EXPECT_EQ(ReadFile(kToleranceFileName), SampleFile());
}

TEST_F(FileRefusedTest, AFileLockedByAnotherWriterIsRefusedWithTheSystemsNumber) {
  WriteFile(kToleranceFileName, SampleFile());
  int to_child[2];
  int from_child[2];
  ASSERT_EQ(::pipe(to_child), 0);
  ASSERT_EQ(::pipe(from_child), 0);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int fd = ::open(kToleranceFileName, O_RDWR);
    const char ready = (fd >= 0 && ::flock(fd, LOCK_EX) == 0) ? 'y' : 'n';
    (void)!::write(from_child[1], &ready, 1);
    char done = 0;
    (void)!::read(to_child[0], &done, 1);
    ::_exit(0);
  }
  char ready = 0;
  ASSERT_EQ(::read(from_child[0], &ready, 1), 1);
  ASSERT_EQ(ready, 'y');
  MemoryTable table = Untouched();
  const std::string expected = "I/O error " + std::to_string(EWOULDBLOCK);
  EXPECT_EQ(Attempt([&] { LoadTable(table); }).message, expected);
  EXPECT_EQ(Attempt([&] { StoreTable(table); }).message, expected);
  EXPECT_EQ(Cells(table), Cells(Untouched()));
  EXPECT_EQ(ReadFile(kToleranceFileName), SampleFile());
  (void)!::write(to_child[1], "x", 1);
  ::waitpid(pid, nullptr, 0);
  for (int fd : {to_child[0], to_child[1], from_child[0], from_child[1]}) ::close(fd);
  EXPECT_NO_THROW(LoadTable(table)) << "the lock ends with the other writer";
}

}  // namespace
}  // namespace tol
