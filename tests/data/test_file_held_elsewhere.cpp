// Another process holding the tolerance file: one that holds a write lock (or a read lock) of
// any kind (flock, POSIX record lock, open-file-description record lock) makes the load and
// the save fail with the system's "would block" number, leaving the table
// and the file as they were, and both work again once it lets go; one that merely reads the
// file keeps nobody out. The other way round, a file the editor has open keeps out a second
// editor in another process.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <ostream>
#include <string>

#include "data/checked_file.h"
#include "data/memory_table.h"
#include "data/tolerance_file.h"
#include "tests/data/file_test_support.h"

namespace tol {
namespace {

using testing::Attempt;
using testing::Cells;
using testing::ReadFile;
using testing::WriteFile;

std::string SampleFile() {
  return testing::TableFile({3, 6}, {"h7    ", "js12  "},
                            {0.012, 0, 0.015, -0.005, 0.1, 0.2, -0.25, 1.5});
}

// How the other process locks the file.
enum class LockKind { kNone, kFlock, kRecord, kOpenFileRecord };

bool TakeLock(int fd, LockKind kind, int lock) {
  if (kind == LockKind::kNone) return true;
  if (kind == LockKind::kFlock) return ::flock(fd, lock | LOCK_NB) == 0;
  struct flock whole {};
  whole.l_type = static_cast<short>(lock);
  whole.l_whence = SEEK_SET;
  return ::fcntl(fd, kind == LockKind::kRecord ? F_SETLK : F_OFD_SETLK, &whole) == 0;
}

// A child process that opens the file with open_flags and takes lock (LOCK_EX or LOCK_SH for a
// flock, F_WRLCK or F_RDLCK for a record lock) on it until the holder is released or destroyed.
class OtherProcess {
 public:
  OtherProcess(const char* path, int open_flags, LockKind kind, int lock) {
    int ready[2];
    if (::pipe(ready) != 0 || ::pipe(release_) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      const int fd = ::open(path, open_flags);
      const bool holding = fd >= 0 && TakeLock(fd, kind, lock);
      const char answer = holding ? 'y' : 'n';
      (void)!::write(ready[1], &answer, 1);
      char go = 0;
      (void)!::read(release_[0], &go, 1);
      ::_exit(0);
    }
    char answer = 0;
    holding_ = ::read(ready[0], &answer, 1) == 1 && answer == 'y';
    ::close(ready[0]);
    ::close(ready[1]);
  }
  ~OtherProcess() { Release(); }
  OtherProcess(const OtherProcess&) = delete;
  OtherProcess& operator=(const OtherProcess&) = delete;

  [[nodiscard]] bool Holding() const { return holding_; }
  void Release() {
    if (pid_ <= 0) return;
    (void)!::write(release_[1], "x", 1);
    ::waitpid(pid_, nullptr, 0);
    ::close(release_[0]);
    ::close(release_[1]);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  int release_[2] = {-1, -1};
  bool holding_ = false;
};

struct Holding {
  const char* what;
  int open_flags;
  LockKind kind;
  int lock;
  bool keeps_editor_out;
};

void PrintTo(const Holding& holding, std::ostream* out) { *out << holding.what; }

class FileHeldElsewhereTest : public testing::TempDirTest,
                              public ::testing::WithParamInterface<Holding> {};

TEST_P(FileHeldElsewhereTest, LoadAndSaveFailWhileLockedAndWorkOnceReleased) {
  const Holding& holding = GetParam();
  WriteFile(kToleranceFileName, SampleFile());
  MemoryTable sample;
  LoadTable(sample);
  MemoryTable changed = sample;
  changed.SetCell(1, 1, "0.5 -1");

  OtherProcess other(kToleranceFileName, holding.open_flags, holding.kind, holding.lock);
  ASSERT_TRUE(other.Holding());
  MemoryTable table;
  const auto load = Attempt([&] { LoadTable(table); });
  const auto save = Attempt([&] { StoreTable(changed); });
  if (holding.keeps_editor_out) {
    const std::string would_block = "I/O error " + std::to_string(EWOULDBLOCK);
    EXPECT_EQ(load.code, EWOULDBLOCK) << testing::Describe(load);
    EXPECT_EQ(load.message, would_block);
    EXPECT_EQ(save.code, EWOULDBLOCK) << testing::Describe(save);
    EXPECT_EQ(Cells(table), Cells(MemoryTable())) << "a refused load leaves the table untouched";
    EXPECT_EQ(ReadFile(kToleranceFileName), SampleFile())
        << "a refused save leaves the file untouched";
    EXPECT_EQ(testing::DirectoryNames("."), std::vector<std::string>{kToleranceFileName})
        << "a refused save leaves nothing beside the file";
    other.Release();
    table = MemoryTable();
    EXPECT_FALSE(Attempt([&] { LoadTable(table); }).raised)
        << "the load works once the lock is gone";
    EXPECT_EQ(Cells(table), Cells(sample));
    EXPECT_FALSE(Attempt([&] { StoreTable(changed); }).raised)
        << "the save works once the lock is gone";
  } else {
    EXPECT_FALSE(load.raised) << testing::Describe(load);
    EXPECT_FALSE(save.raised) << testing::Describe(save);
  }
  MemoryTable reloaded;
  LoadTable(reloaded);
  EXPECT_EQ(Cells(reloaded), Cells(changed));
}

INSTANTIATE_TEST_SUITE_P(
    Holders, FileHeldElsewhereTest,
    ::testing::Values(
        Holding{"WriteLock", O_RDWR, LockKind::kFlock, LOCK_EX, true},
        Holding{"ReadLock", O_RDONLY, LockKind::kFlock, LOCK_SH, true},
        Holding{"RecordWriteLock", O_RDWR, LockKind::kRecord, F_WRLCK, true},
        Holding{"RecordReadLock", O_RDONLY, LockKind::kRecord, F_RDLCK, true},
        Holding{"OpenFileWriteLock", O_RDWR, LockKind::kOpenFileRecord, F_WRLCK, true},
        Holding{"OpenFileReadLock", O_RDONLY, LockKind::kOpenFileRecord, F_RDLCK, true},
        Holding{"ReaderWithoutLock", O_RDONLY, LockKind::kNone, 0, false}),
    [](const ::testing::TestParamInfo<Holding>& param_info) {
      return std::string(param_info.param.what);
    });

class EditorHoldsFileTest : public testing::TempDirTest {};

TEST_F(EditorHoldsFileTest, ASecondEditorInAnotherProcessIsKeptOutWhileTheFileIsOpen) {
  WriteFile(kToleranceFileName, SampleFile());
  const auto other_editor_loads = [] {
    return testing::RunInChild([] {
      MemoryTable table;
      return testing::Describe(Attempt([&] { LoadTable(table); }));
    });
  };
  // A program taking a POSIX record lock is kept out as well.
  const auto other_program_locks = [] {
    return testing::RunInChild([] {
      const int fd = ::open(kToleranceFileName, O_RDWR);
      return std::string(fd >= 0 && TakeLock(fd, LockKind::kRecord, F_WRLCK) ? "locked"
                                                                             : "kept out");
    });
  };
  {
    CheckedFile open = CheckedFile::OpenForUpdate(kToleranceFileName);
    EXPECT_EQ(other_editor_loads(), "I/O error " + std::to_string(EWOULDBLOCK));
    EXPECT_EQ(other_program_locks(), "kept out");
  }
  EXPECT_EQ(other_editor_loads(), "no error");
  EXPECT_EQ(other_program_locks(), "locked");
}

}  // namespace
}  // namespace tol
