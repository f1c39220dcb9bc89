// Failures of the disk: every system call of a load or a save is made to fail in turn (and,
// separately, every transfer to move fewer bytes). Each run must report the fault, leave the
// file exactly as it was (or, once the rename happened, exactly the new file) and leave
// nothing open, so the next load or save works. The failures carry ENOSPC and each errno whose
// number is also a code of the message table (2 to 5, 100, 101, 106): whatever call fails
// with it, the message is "I/O error <errno>", except the open's own conditions.

#include <sys/resource.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
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

struct FaultKind {
  Fault fault;
  int error;  // of a failing call
};

void PrintTo(const FaultKind& kind, std::ostream* out) {
  if (kind.fault == Fault::kShortTransfer) {
    *out << "short transfer";
  } else {
    *out << "errno " << kind.error;
  }
}

// ENOSPC, then the errnos that share their number with a code of the message table: ENOENT 2,
// ESRCH 3, EINTR 4, EIO 5, ENETDOWN 100, ENETUNREACH 101, EISCONN 106.
const FaultKind kFaultKinds[] = {
    {Fault::kShortTransfer, 0},   {Fault::kFailCall, ENOSPC},      {Fault::kFailCall, ENOENT},
    {Fault::kFailCall, ESRCH},    {Fault::kFailCall, EINTR},       {Fault::kFailCall, EIO},
    {Fault::kFailCall, ENETDOWN}, {Fault::kFailCall, ENETUNREACH}, {Fault::kFailCall, EISCONN},
};

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
  Outcome RunWithFault(FaultKind kind, std::size_t k, const std::function<void()>& operation,
                       FaultyFileSystem& faulty) {
    ScopedFileSystem guard(faulty);
    if (kind.fault == Fault::kFailCall)
      faulty.FailCall(k, kind.error);
    else
      faulty.ShortenTransfer(k);
    return Attempt(operation);
  }

  static bool Reached(Fault fault, std::size_t k, const FaultyFileSystem& faulty) {
    return (fault == Fault::kFailCall ? faulty.Calls().size() : faulty.TransferCount()) >= k;
  }

  // The messages a fault may give: the injected errno, or the shortfall of a read or write. Only
  // the open of the file itself (the first call) maps a missing file to its own message.
  static std::vector<std::string> Expected(FaultKind kind, std::size_t k) {
    if (kind.fault == Fault::kShortTransfer) return {"Read beyond end of file", "Disk full"};
    if (k == 1 && kind.error == ENOENT) return {"File not found"};
    return {"I/O error " + std::to_string(kind.error)};
  }
};

class LoadFaultTest : public DiskFaultTest, public ::testing::WithParamInterface<FaultKind> {};
class StoreFaultTest : public DiskFaultTest, public ::testing::WithParamInterface<FaultKind> {};

TEST_P(LoadFaultTest, EveryFaultIsReportedAndTheNextLoadWorks) {
  const FaultKind kind = GetParam();
  const Fault fault = kind.fault;
  const auto complete = Cells(TableOf(kOld));
  const std::size_t descriptors = OpenDescriptorCount();
  for (std::size_t k = 1;; ++k) {
    WriteFile(kToleranceFileName, kOld);
    FaultyFileSystem faulty(CurrentFileSystem());
    MemoryTable table;
    const Outcome outcome = RunWithFault(
        kind, k, [&] { LoadTable(table); }, faulty);
    if (!Reached(fault, k, faulty)) {
      EXPECT_FALSE(outcome.raised) << Describe(outcome);
      EXPECT_EQ(Cells(table), complete);
      if (fault == Fault::kFailCall) {
        EXPECT_GE(k, 8u) << faulty.Log();
      }
      break;
    }
    SCOPED_TRACE("fault " + std::to_string(k) + " at " + faulty.FaultedCall() +
                 " of: " + faulty.Log());
    if (faulty.Triggered()) {
      EXPECT_TRUE(outcome.raised);
      EXPECT_THAT(Expected(kind, k), ::testing::Contains(outcome.message));
    }
    EXPECT_EQ(OpenDescriptorCount(), descriptors) << "the file was left open";
    EXPECT_EQ(ReadFile(kToleranceFileName), kOld);
    EXPECT_EQ(Cells(TableOf(kOld)), complete);
  }
}

// Saves new_table over kOld with every fault in turn.
void SweepStore(DiskFaultTest& test, FaultKind kind, const MemoryTable& new_table,
                const std::string& new_bytes) {
  const Fault fault = kind.fault;
  const std::size_t descriptors = OpenDescriptorCount();
  for (std::size_t k = 1;; ++k) {
    WriteFile(kToleranceFileName, kOld);
    FaultyFileSystem faulty(CurrentFileSystem());
    const Outcome outcome = test.RunWithFault(
        kind, k, [&] { StoreTable(new_table); }, faulty);
    const std::string saved = *ReadFile(kToleranceFileName);
    if (!DiskFaultTest::Reached(fault, k, faulty)) {
      EXPECT_FALSE(outcome.raised) << Describe(outcome);
      EXPECT_EQ(saved, new_bytes);
      // Open, flock, record lock, status, path, temporary, its lock, status, mode, tail, write,
      // sync, close, rename, directory open, sync and close, listing, close: every one of them
      // was faulted once.
      if (fault == Fault::kFailCall) {
        EXPECT_GE(k, 20u) << faulty.Log();
      }
      break;
    }
    SCOPED_TRACE("fault " + std::to_string(k) + " at " + faulty.FaultedCall() +
                 " of: " + faulty.Log());
    if (outcome.raised) {
      EXPECT_THAT(DiskFaultTest::Expected(kind, k), ::testing::Contains(outcome.message));
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

std::string FaultName(const ::testing::TestParamInfo<FaultKind>& info) {
  if (info.param.fault == Fault::kShortTransfer) return "ShortTransfer";
  return "Errno" + std::to_string(info.param.error);
}

INSTANTIATE_TEST_SUITE_P(Faults, LoadFaultTest, ::testing::ValuesIn(kFaultKinds), FaultName);
INSTANTIATE_TEST_SUITE_P(Faults, StoreFaultTest, ::testing::ValuesIn(kFaultKinds), FaultName);

// A real limit instead of the seam: the file size limit makes the write of the new file fail
// (nothing fits) or fall short (part fits), reported as a message: the signal the limit raises
// is ignored as at program start, so the child lives on to report.
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
      IgnoreFileSizeSignal();  // as the programs do at start
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
