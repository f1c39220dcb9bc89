// Failures of the disk: every system call of a load or a save is made to fail in turn (and,
// separately, every transfer to move fewer bytes). Each run must report the fault, leave the
// file exactly as it was (or, once the rename happened, exactly the new file) and leave
// nothing open, so the next load or save works.

#include <sys/resource.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <string>
#include <vector>

#include "data/file_system.h"
#include "data/tolerance_file.h"
#include "tests/data/faulty_file_system.h"
#include "tests/data/file_test_support.h"

namespace tol {
namespace {

using testing::Attempt;
using testing::Cells;
using testing::DirectoryNames;
using testing::FaultyFileSystem;
using testing::OpenDescriptorCount;
using testing::Outcome;
using testing::ReadFile;
using testing::RunInChild;
using testing::TableFile;
using testing::TempDirTest;
using testing::WriteFile;

enum class Fault { kFailCall, kShortTransfer };

const std::string kOld =
    TableFile({3, 10}, {"h7    ", "H7    "}, {0, -0.01, 0, -0.015, 0.01, 0, 0.015, 0});

MemoryTable TableOf(const std::string& bytes) {
  WriteFile(kToleranceFileName, bytes);
  MemoryTable table;
  LoadTable(table);
  return table;
}

class DiskFaultTest : public TempDirTest {
 public:
  // Runs operation with fault number k; gives the outcome and whether the fault was reached.
  Outcome RunWithFault(Fault fault, std::size_t k, const std::function<void()>& operation,
                       FaultyFileSystem& faulty) {
    ScopedFileSystem guard(faulty);
    if (fault == Fault::kFailCall)
      faulty.FailCall(k, ENOSPC);
    else
      faulty.ShortenTransfer(k);
    return Attempt(operation);
  }

  static bool Reached(Fault fault, std::size_t k, const FaultyFileSystem& faulty) {
    return (fault == Fault::kFailCall ? faulty.Calls().size() : faulty.TransferCount()) >= k;
  }

  // The messages a fault may give: the injected errno, or the shortfall of a read or write.
  static std::vector<std::string> Expected(Fault fault) {
    if (fault == Fault::kFailCall) return {"I/O error 28"};
    return {"Read beyond end of file", "Disk full"};
  }
};

class LoadFaultTest : public DiskFaultTest, public ::testing::WithParamInterface<Fault> {};
class StoreFaultTest : public DiskFaultTest, public ::testing::WithParamInterface<Fault> {};

TEST_P(LoadFaultTest, EveryFaultIsReportedAndTheNextLoadWorks) {
  const Fault fault = GetParam();
  const auto complete = Cells(TableOf(kOld));
  const std::size_t descriptors = OpenDescriptorCount();
  for (std::size_t k = 1;; ++k) {
    WriteFile(kToleranceFileName, kOld);
    FaultyFileSystem faulty(CurrentFileSystem());
    MemoryTable table;
    const Outcome outcome = RunWithFault(
        fault, k, [&] { LoadTable(table); }, faulty);
    if (!Reached(fault, k, faulty)) {
      EXPECT_FALSE(outcome.raised) << Describe(outcome);
      EXPECT_EQ(Cells(table), complete);
      if (fault == Fault::kFailCall) {
        EXPECT_GE(k, 7u) << faulty.Log();
      }
      break;
    }
    SCOPED_TRACE("fault " + std::to_string(k) + " at " + faulty.FaultedCall() +
                 " of: " + faulty.Log());
    if (faulty.Triggered()) {
      EXPECT_TRUE(outcome.raised);
      EXPECT_THAT(Expected(fault), ::testing::Contains(outcome.message));
    }
    EXPECT_EQ(OpenDescriptorCount(), descriptors) << "the file was left open";
    EXPECT_EQ(ReadFile(kToleranceFileName), kOld);
    EXPECT_EQ(Cells(TableOf(kOld)), complete);
  }
}

// Saves new_table over kOld with every fault in turn.
void SweepStore(DiskFaultTest& test, Fault fault, const MemoryTable& new_table,
                const std::string& new_bytes) {
  const std::size_t descriptors = OpenDescriptorCount();
  for (std::size_t k = 1;; ++k) {
    WriteFile(kToleranceFileName, kOld);
    FaultyFileSystem faulty(CurrentFileSystem());
    const Outcome outcome = test.RunWithFault(
        fault, k, [&] { StoreTable(new_table); }, faulty);
    const std::string saved = *ReadFile(kToleranceFileName);
    if (!DiskFaultTest::Reached(fault, k, faulty)) {
      EXPECT_FALSE(outcome.raised) << Describe(outcome);
      EXPECT_EQ(saved, new_bytes);
      // Open, lock, status, path, temporary, status, mode, tail, write, sync, close, rename,
      // directory open, sync and close, close: every one of them was faulted once.
      if (fault == Fault::kFailCall) {
        EXPECT_GE(k, 16u) << faulty.Log();
      }
      break;
    }
    SCOPED_TRACE("fault " + std::to_string(k) + " at " + faulty.FaultedCall() +
                 " of: " + faulty.Log());
    if (outcome.raised) {
      EXPECT_THAT(DiskFaultTest::Expected(fault), ::testing::Contains(outcome.message));
      const bool renamed = faulty.CalledBefore("Rename", k) && faulty.FaultedCall() != "Rename";
      EXPECT_EQ(saved, renamed ? new_bytes : kOld);
    } else {
      EXPECT_EQ(saved, new_bytes) << "a fault the save worked around";
    }
    EXPECT_EQ(OpenDescriptorCount(), descriptors) << "a file was left open";
    if (faulty.FaultedCall() != "Unlink") {
      EXPECT_EQ(DirectoryNames("."), std::vector<std::string>{kToleranceFileName})
          << "a temporary was left";
    }
    EXPECT_NO_THROW(StoreTable(new_table)) << "the next save works";
    EXPECT_EQ(ReadFile(kToleranceFileName), new_bytes);
  }
}

TEST_P(StoreFaultTest, AShorterTableIsSavedWholeOrNotAtAll) {
  MemoryTable table = TableOf(kOld);
  table.SetColCount(2);
  table.SetCell(1, 1, "1 2");
  const std::string head = TableFile({3, 10}, {"h7    "}, {1, 2, 0, -0.015});
  SweepStore(*this, GetParam(), table, head + kOld.substr(head.size()));
}

TEST_P(StoreFaultTest, ALongerTableIsSavedWholeOrNotAtAll) {
  MemoryTable table = TableOf(kOld);
  table.SetRowCount(4);
  table.SetCell(0, 3, "До 18");
  for (int c = 1; c <= 2; ++c) table.SetCell(c, 3, "0.5 -0.5");
  SweepStore(*this, GetParam(), table,
             TableFile({3, 10, 18}, {"h7    ", "H7    "},
                       {0, -0.01, 0, -0.015, 0.5, -0.5, 0.01, 0, 0.015, 0, 0.5, -0.5}));
}

INSTANTIATE_TEST_SUITE_P(Faults, LoadFaultTest,
                         ::testing::Values(Fault::kFailCall, Fault::kShortTransfer));
INSTANTIATE_TEST_SUITE_P(Faults, StoreFaultTest,
                         ::testing::Values(Fault::kFailCall, Fault::kShortTransfer));

// A real limit instead of the seam: the file size limit makes the write of the new file fail
// (nothing fits) or fall short (part fits), with SIGXFSZ ignored so the process lives on.
TEST_F(DiskFaultTest, AFileSizeLimitLeavesTheOldFile) {
  struct Row {
    rlim_t limit;
    std::string message;
    const char* probes;
  } rows[] = {
      {0, "I/O error " + std::to_string(EFBIG), "no byte may be written"},
      {20, "Disk full", "the write stops after 20 bytes"},
  };
  for (const Row& row : rows) {
    WriteFile(kToleranceFileName, kOld);
    const std::string report = RunInChild([&] {
      MemoryTable table = TableOf(kOld);
      table.SetCell(1, 1, "1 2");
      std::signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{row.limit, row.limit};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return std::string("setrlimit failed");
      return Attempt([&] { StoreTable(table); }).message;
    });
    EXPECT_EQ(report, row.message) << row.probes;
    EXPECT_EQ(ReadFile(kToleranceFileName), kOld) << row.probes;
    EXPECT_EQ(DirectoryNames("."), std::vector<std::string>{kToleranceFileName}) << row.probes;
  }
}

}  // namespace
}  // namespace tol
