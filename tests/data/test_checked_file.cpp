#include "data/checked_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "data/errors.h"
#include "data/file_system.h"
#include "tests/data/faulty_file_system.h"
#include "tests/data/file_test_support.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/privileges.h"

namespace tol {
namespace {

using testing::Attempt;
using testing::FaultyFileSystem;
using testing::OpenDescriptorCount;
using testing::ReadFile;
using testing::RunInChild;
using testing::TempDirTest;
using testing::WriteFile;

// --- The seam: one contract, run on the real and the in-memory file system. ---

template <typename Fs>
class FileSystemContract : public TempDirTest {
 protected:
  // Creates path with bytes through the file system under test.
  void Create(const std::string& path, const std::string& bytes) {
    const SysResult fd = fs_.Open(path, O_RDWR | O_CREAT | O_EXCL, 0644);
    ASSERT_TRUE(fd.Ok()) << fd.error;
    ASSERT_EQ(fs_.Write(static_cast<int>(fd.value), bytes.data(), bytes.size()).value,
              static_cast<std::int64_t>(bytes.size()));
    ASSERT_TRUE(fs_.Close(static_cast<int>(fd.value)).Ok());
  }
  int OpenRw(const std::string& path) { return static_cast<int>(fs_.Open(path, O_RDWR, 0).value); }

  Fs fs_;
};

using FileSystems = ::testing::Types<PosixFileSystem, MemoryFileSystem>;
TYPED_TEST_SUITE(FileSystemContract, FileSystems);

TYPED_TEST(FileSystemContract, OpenWithoutCreateRefusesAMissingFileAndCreatesNothing) {
  EXPECT_EQ(this->fs_.Open("missing", O_RDWR, 0).error, ENOENT);
  FileStatus status;
  EXPECT_EQ(this->fs_.Stat("missing", status).error, ENOENT);
}

TYPED_TEST(FileSystemContract, ReadsAdvanceThePositionAndPReadLeavesIt) {
  this->Create("f", "abcdef");
  const int fd = this->OpenRw("f");
  char buffer[8] = {};
  EXPECT_EQ(this->fs_.PRead(fd, buffer, 3, 2).value, 3);
  EXPECT_EQ(std::string(buffer, 3), "cde");
  EXPECT_EQ(this->fs_.Read(fd, buffer, 4).value, 4);
  EXPECT_EQ(std::string(buffer, 4), "abcd");
  EXPECT_EQ(this->fs_.Read(fd, buffer, 8).value, 2) << "the read at the end moves what is left";
  EXPECT_EQ(this->fs_.Read(fd, buffer, 8).value, 0);
  EXPECT_EQ(this->fs_.PRead(fd, buffer, 8, 100).value, 0);
  EXPECT_TRUE(this->fs_.Close(fd).Ok());
}

TYPED_TEST(FileSystemContract, WriteOverwritesFromTheStartAndKeepsTheRest) {
  this->Create("f", "abcdef");
  const int fd = this->OpenRw("f");
  EXPECT_EQ(this->fs_.Write(fd, "XY", 2).value, 2);
  FileStatus status;
  ASSERT_TRUE(this->fs_.FStat(fd, status).Ok());
  EXPECT_EQ(status.size, 6u);
  EXPECT_EQ(status.kind, FileStatus::Kind::kRegular);
  char buffer[6];
  EXPECT_EQ(this->fs_.PRead(fd, buffer, 6, 0).value, 6);
  EXPECT_EQ(std::string(buffer, 6), "XYcdef");
  EXPECT_TRUE(this->fs_.FSync(fd).Ok());
  EXPECT_TRUE(this->fs_.Close(fd).Ok());
}

TYPED_TEST(FileSystemContract, ADirectoryCannotBeOpenedForWritingButCanBeSynced) {
  EXPECT_EQ(this->fs_.Open(".", O_RDWR, 0).error, EISDIR);
  const SysResult dir = this->fs_.Open(".", O_RDONLY | O_DIRECTORY, 0);
  ASSERT_TRUE(dir.Ok());
  EXPECT_TRUE(this->fs_.FSync(static_cast<int>(dir.value)).Ok());
  EXPECT_TRUE(this->fs_.Close(static_cast<int>(dir.value)).Ok());
  FileStatus status;
  ASSERT_TRUE(this->fs_.Stat(".", status).Ok());
  EXPECT_EQ(status.kind, FileStatus::Kind::kDirectory);
}

TYPED_TEST(FileSystemContract, AnExclusiveLockKeepsOutASecondOpenerUntilClosed) {
  this->Create("f", "x");
  const int first = this->OpenRw("f");
  const int second = this->OpenRw("f");
  EXPECT_TRUE(this->fs_.Flock(first, LOCK_EX | LOCK_NB).Ok());
  EXPECT_EQ(this->fs_.Flock(second, LOCK_EX | LOCK_NB).error, EWOULDBLOCK);
  EXPECT_TRUE(this->fs_.Close(first).Ok());
  EXPECT_TRUE(this->fs_.Flock(second, LOCK_EX | LOCK_NB).Ok());
  EXPECT_TRUE(this->fs_.Close(second).Ok());
}

TYPED_TEST(FileSystemContract, ARecordLockKeepsOutASecondOpenerUntilClosed) {
  this->Create("f", "x");
  const int first = this->OpenRw("f");
  const int second = this->OpenRw("f");
  EXPECT_TRUE(this->fs_.LockRecords(first).Ok());
  EXPECT_EQ(this->fs_.LockRecords(second).error, EWOULDBLOCK) << "owned by the description";
  EXPECT_TRUE(this->fs_.Close(first).Ok());
  EXPECT_TRUE(this->fs_.LockRecords(second).Ok());
  EXPECT_TRUE(this->fs_.Close(second).Ok());
}

TYPED_TEST(FileSystemContract, ListDirectoryNamesEveryEntryButDotAndDotDot) {
  this->Create("a", "");
  this->Create(".hidden", "");
  std::vector<std::string> names;
  ASSERT_TRUE(this->fs_.ListDirectory(".", names).Ok());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{".hidden", "a"}));
  EXPECT_EQ(this->fs_.ListDirectory("missing", names).error, ENOENT);
  EXPECT_EQ(this->fs_.ListDirectory("a", names).error, ENOTDIR);
}

TYPED_TEST(FileSystemContract, ATemporaryFileIsNewPrivateAndRenamesOverTheOld) {
  this->Create("f", "old");
  std::string temp = "./.f.XXXXXX";
  const SysResult fd = this->fs_.MkTemp(temp);
  ASSERT_TRUE(fd.Ok());
  EXPECT_NE(temp, "./.f.XXXXXX");
  FileStatus status;
  ASSERT_TRUE(this->fs_.FStat(static_cast<int>(fd.value), status).Ok());
  EXPECT_EQ(status.mode, 0600u);
  EXPECT_EQ(status.size, 0u);
  EXPECT_TRUE(this->fs_.FChmod(static_cast<int>(fd.value), 0640).Ok());
  EXPECT_EQ(this->fs_.Write(static_cast<int>(fd.value), "new", 3).value, 3);
  EXPECT_TRUE(this->fs_.Close(static_cast<int>(fd.value)).Ok());
  EXPECT_TRUE(this->fs_.Rename(temp, "f").Ok());
  EXPECT_EQ(this->fs_.Stat(temp, status).error, ENOENT);
  ASSERT_TRUE(this->fs_.Stat("f", status).Ok());
  EXPECT_EQ(status.mode, 0640u);
  EXPECT_EQ(status.size, 3u);
  EXPECT_TRUE(this->fs_.Unlink("f").Ok());
  EXPECT_EQ(this->fs_.Unlink("f").error, ENOENT);
}

TYPED_TEST(FileSystemContract, RealPathFindsAnExistingFileOnly) {
  this->Create("f", "");
  std::string resolved;
  ASSERT_TRUE(this->fs_.RealPath("f", resolved).Ok());
  EXPECT_EQ(resolved.substr(resolved.size() - 1), "f");
  EXPECT_EQ(this->fs_.RealPath("missing", resolved).error, ENOENT);
}

TEST(ScopedFileSystemTest, InstallsAndRestores) {
  FileSystem& real = CurrentFileSystem();
  MemoryFileSystem memory;
  {
    ScopedFileSystem guard(memory);
    EXPECT_EQ(&CurrentFileSystem(), &memory);
  }
  EXPECT_EQ(&CurrentFileSystem(), &real);
}

// --- Errors of the open. ---

TEST(OpenErrorCodeTest, MapsTheSystemsNumbersToConditions) {
  struct Row {
    int error;
    std::int32_t code;
  } rows[] = {
      {ENOENT, 2},
      {ENOTDIR, 3},
      {ENAMETOOLONG, 3},
      {EINVAL, 3},
      {EMFILE, 4},
      {ENFILE, 4},
      {EACCES, 5},
      {EPERM, 5},
      {EISDIR, 5},
      {EROFS, 5},
      {EWOULDBLOCK, EWOULDBLOCK},
      {ENOSPC, ENOSPC},
      {ETXTBSY, ETXTBSY},
  };
  for (const Row& row : rows)
    EXPECT_EQ(OpenErrorCode(row.error), row.code) << "errno " << row.error;
}

class CheckedFileTest : public TempDirTest {};

TEST_F(CheckedFileTest, OpenReportsEachConditionWithItsMessage) {
  WriteFile("file", "x");
  std::filesystem::create_directory("dir");
  ASSERT_EQ(::mkfifo("fifo", 0644), 0);
  struct Row {
    std::string name;
    const char* message;
    const char* probes;
  } rows[] = {
      {"missing", "File not found", "no such entry"},
      {"", "File not found", "the empty name"},
      {"nodir/file", "File not found", "a missing directory on the way"},
      {"file/x", "Invalid filename", "a file used as a directory"},
      {std::string(300, 'n'), "Invalid filename", "a name longer than the system allows"},
      {"dir", "File access denied", "a directory"},
      {"fifo", "File access denied", "not a regular file (must not block)"},
  };
  for (const Row& row : rows) {
    const auto outcome = Attempt([&] { (void)CheckedFile::OpenForUpdate(row.name); });
    EXPECT_EQ(outcome.message, row.message) << row.probes;
  }
  EXPECT_FALSE(std::filesystem::exists("missing"));
}

TEST_F(CheckedFileTest, OpenNeverTruncatesAndStartsAtTheFirstByte) {
  WriteFile("f", "0123456789");
  CheckedFile file = CheckedFile::OpenForUpdate("f");
  EXPECT_EQ(file.Status().size, 10u);
  char buffer[3];
  file.ReadExact(buffer, 3);
  EXPECT_EQ(std::string(buffer, 3), "012");
  file.WriteExact("ab", 2);
  file.Close();
  EXPECT_EQ(ReadFile("f"), "012ab56789");
}

TEST_F(CheckedFileTest, ASecondWriterIsKeptOutWhileTheFileIsOpen) {
  WriteFile("f", "x");
  {
    CheckedFile first = CheckedFile::OpenForUpdate("f");
    const auto outcome = Attempt([] { (void)CheckedFile::OpenForUpdate("f"); });
    EXPECT_EQ(outcome.code, EWOULDBLOCK);
    EXPECT_EQ(outcome.message, "I/O error " + std::to_string(EWOULDBLOCK));
  }
  EXPECT_NO_THROW((void)CheckedFile::OpenForUpdate("f")) << "the lock ends with the file";
}

TEST_F(CheckedFileTest, TooManyOpenFilesIsReportedAsSuch) {
  WriteFile("f", "x");
  const std::string report = RunInChild([] {
    // A failed open first while descriptors are left: the undefined-behaviour checker then
    // knows the types the failing open meets, and needs no descriptor to look them up.
    (void)Attempt([] { (void)CheckedFile::OpenForUpdate("missing"); });
    // The lowest free descriptor becomes the limit, so the next open finds none.
    const int lowest_free = ::dup(0);
    ::close(lowest_free);
    const rlimit limit{static_cast<rlim_t>(lowest_free), static_cast<rlim_t>(lowest_free)};
    if (::setrlimit(RLIMIT_NOFILE, &limit) != 0) return std::string("setrlimit failed");
    return Attempt([] { (void)CheckedFile::OpenForUpdate("f"); }).message;
  });
  EXPECT_EQ(report, "Too many open files");
}

TEST_F(CheckedFileTest, ReadExactRaisesOnAShortReadWhileReadAvailableReturnsTheCount) {
  WriteFile("f", "abcde");
  CheckedFile file = CheckedFile::OpenForUpdate("f");
  char buffer[8] = {'-', '-', '-', '-', '-', '-', '-', '-'};
  EXPECT_EQ(file.ReadAvailable(buffer, 3), 3u);
  EXPECT_EQ(file.ReadAvailable(buffer, 6), 2u);
  EXPECT_EQ(std::string(buffer, 6), "dec---") << "positions past the count keep their bytes";
  EXPECT_EQ(file.ReadAvailable(buffer, 6), 0u);
  EXPECT_EQ(Attempt([&] { file.ReadExact(buffer, 1); }).message, "Read beyond end of file");
  EXPECT_EQ(Attempt([&] { file.ReadExactAt(buffer, 3, 3); }).message, "Read beyond end of file");
  file.ReadExactAt(buffer, 2, 3);
  EXPECT_EQ(std::string(buffer, 2), "de");
}

TEST_F(CheckedFileTest, FailuresOfTransfersCarryTheSystemsNumberOrTheShortfall) {
  WriteFile("f", "abcdef");
  struct Row {
    const char* operation;
    bool shorten;
    const char* message;
  } rows[] = {
      {"read", false, "I/O error 28"},  {"read", true, "Read beyond end of file"},
      {"write", false, "I/O error 28"}, {"write", true, "Disk full"},
      {"sync", false, "I/O error 28"},  {"close", false, "I/O error 28"},
  };
  for (const Row& row : rows) {
    CheckedFile file = CheckedFile::OpenForUpdate("f");
    FaultyFileSystem faulty(CurrentFileSystem());
    ScopedFileSystem guard(faulty);
    if (row.shorten)
      faulty.ShortenTransfer(1);
    else
      faulty.FailCall(1, ENOSPC);
    char buffer[4] = {};
    const std::string operation = row.operation;
    const auto outcome = Attempt([&] {
      if (operation == "read") file.ReadExact(buffer, 4);
      if (operation == "write") file.WriteExact("1234", 4);
      if (operation == "sync") file.Sync();
      if (operation == "close") file.Close();
    });
    EXPECT_EQ(outcome.message, row.message) << row.operation << (row.shorten ? " shortened" : "");
    EXPECT_EQ(file.IsOpen(), operation != "close") << "a failed close still closes";
  }
}

TEST_F(CheckedFileTest, TheDescriptorIsReleasedWhateverHappens) {
  WriteFile("f", "abc");
  const std::size_t before = OpenDescriptorCount();
  {
    CheckedFile file = CheckedFile::OpenForUpdate("f");
    EXPECT_EQ(OpenDescriptorCount(), before + 1);
  }
  EXPECT_EQ(OpenDescriptorCount(), before) << "the destructor closes an open file";
  {
    CheckedFile file = CheckedFile::OpenForUpdate("f");
    FaultyFileSystem faulty(CurrentFileSystem());
    ScopedFileSystem guard(faulty);
    faulty.FailCall(1, EIO);
    EXPECT_TRUE(Attempt([&] { file.Close(); }).raised);
  }
  EXPECT_EQ(OpenDescriptorCount(), before) << "a failed close released the descriptor";
}

TEST_F(CheckedFileTest, AReadOnlyFileIsRefusedToAnOrdinaryUser) {
  WriteFile("f", "abc");
  ASSERT_EQ(::chmod("f", 0444), 0);
  const std::string report = RunInChild([] {
    if (!testing::BecomeOrdinaryUser()) return std::string("cannot drop privileges");
    return Attempt([] { (void)CheckedFile::OpenForUpdate("f"); }).message;
  });
  EXPECT_EQ(report, "File access denied");
}

TEST_F(CheckedFileTest, SyncDirectoryAcceptsADirectoryAndReportsAMissingOne) {
  EXPECT_NO_THROW(SyncDirectory("."));
  EXPECT_EQ(Attempt([] { SyncDirectory("missing"); }).code, ENOENT);
}

}  // namespace
}  // namespace tol
