// The temporaries of a save: which names are the editor's own, and their removal by the next
// save that completes. A temporary that a live save holds locked stays, and so does everything
// else in the directory.

#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "data/memory_table.h"
#include "data/temporary_files.h"
#include "data/tolerance_file.h"
#include "tests/data/file_test_support.h"

namespace tol {
namespace {

using testing::DirectoryNames;
using testing::WriteFile;

TEST(TemporaryNameTest, OnlyTheSavesOwnPatternIsATemporary) {
  struct Row {
    const char* name;
    bool temporary;
    const char* probes;
  } rows[] = {
      {".Zarava.win.Ab3xZ9", true, "letters and digits"},
      {".Zarava.win.XXXXXX", true, "the template's own letters"},
      {".Zarava.win.Ab3xZ", false, "five letters"},
      {".Zarava.win.Ab3xZ99", false, "seven letters"},
      {".Zarava.win.Ab3_Z9", false, "a character mkstemp never uses"},
      {"Zarava.win.Ab3xZ9", false, "no leading dot"},
      {".zarava.win.Ab3xZ9", false, "another file's name"},
      {"..Zarava.win.Ab3xZ9", false, "a temporary of a temporary"},
      {"Zarava.win", false, "the file itself"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(IsTemporaryOf(row.name, "Zarava.win"), row.temporary) << row.probes;
  }
  EXPECT_EQ(TemporaryTemplate("/d/Zarava.win"), "/d/.Zarava.win.XXXXXX");
  EXPECT_EQ(TemporaryTemplate("/Zarava.win"), "/.Zarava.win.XXXXXX");
  EXPECT_EQ(TemporaryTemplate("Zarava.win"), "./.Zarava.win.XXXXXX");
}

class StaleTemporaryTest : public testing::TempDirTest {};

TEST_F(StaleTemporaryTest, ASaveRemovesStaleTemporariesAndNothingElse) {
  WriteFile(kToleranceFileName, testing::TableFile({3}, {"h7    "}, {0.01, 0}));
  MemoryTable table;
  LoadTable(table);
  for (const char* stale : {".Zarava.win.k1ll3d", ".Zarava.win.000000"}) {
    WriteFile(stale, std::string(4096, 'x'));
  }
  WriteFile(".Zarava.win.Sav1ng", "being written");
  const std::vector<std::string> kept = {
      ".Zarava.win.Sav1ng", ".Zarava.win.dir000", ".Zarava.win.link00", ".Zarava.win.x",
      ".other.win.k1ll3d",  "Zarava.win",         "Zarava.win.k1ll3d",
  };
  std::filesystem::create_directory(".Zarava.win.dir000");
  std::filesystem::create_symlink("Zarava.win", ".Zarava.win.link00");
  for (const char* other : {".Zarava.win.x", ".other.win.k1ll3d", "Zarava.win.k1ll3d"}) {
    WriteFile(other, "not ours");
  }

  // A save in another process is writing ".Zarava.win.Sav1ng" and holds its lock.
  int ready[2];
  int release[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(release), 0);
  const pid_t saver = ::fork();
  if (saver == 0) {
    const int fd = ::open(".Zarava.win.Sav1ng", O_RDWR);
    const char answer = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 'y' : 'n';
    (void)!::write(ready[1], &answer, 1);
    char go = 0;
    (void)!::read(release[0], &go, 1);
    ::_exit(0);
  }
  char answer = 0;
  ASSERT_EQ(::read(ready[0], &answer, 1), 1);
  ASSERT_EQ(answer, 'y');

  table.SetCell(1, 1, "0.02 0");
  StoreTable(table);
  EXPECT_EQ(DirectoryNames("."), kept);

  (void)!::write(release[1], "x", 1);
  ASSERT_EQ(::waitpid(saver, nullptr, 0), saver);
  for (int fd : {ready[0], ready[1], release[0], release[1]}) ::close(fd);
  StoreTable(table);
  std::vector<std::string> after = kept;
  std::erase(after, ".Zarava.win.Sav1ng");
  EXPECT_EQ(DirectoryNames("."), after) << "once its save is gone, the temporary is stale too";
}

}  // namespace
}  // namespace tol
