#include "data/temporary_files.h"

#include <fcntl.h>
#include <sys/file.h>

#include <vector>

#include "data/file_system.h"

namespace tol {
namespace {

constexpr std::size_t kUniqueLetters = 6;  // the "XXXXXX" that mkstemp replaces

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string PathIn(const std::string& directory, const std::string& name) {
  return directory + (directory == "/" ? "" : "/") + name;
}

bool IsUniqueLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// Removes the temporary at path when no save holds it: the lock is taken on a descriptor of its
// own, so a save that is writing it keeps it.
void RemoveIfUnlocked(FileSystem& fs, const std::string& path) {
  const SysResult opened = fs.Open(path, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0);
  if (!opened.Ok()) return;
  const int fd = static_cast<int>(opened.value);
  FileStatus status;
  if (fs.FStat(fd, status).Ok() && status.kind == FileStatus::Kind::kRegular &&
      fs.Flock(fd, LOCK_EX | LOCK_NB).Ok()) {
    (void)fs.Unlink(path);
  }
  (void)fs.Close(fd);
}

}  // namespace

std::string TemporaryTemplate(const std::string& target) {
  return PathIn(DirectoryOf(target),
                "." + BaseNameOf(target) + "." + std::string(kUniqueLetters, 'X'));
}

bool IsTemporaryOf(const std::string& name, const std::string& base) {
  const std::string prefix = "." + base + ".";
  if (name.size() != prefix.size() + kUniqueLetters || !name.starts_with(prefix)) return false;
  for (std::size_t i = prefix.size(); i < name.size(); ++i) {
    if (!IsUniqueLetter(name[i])) return false;
  }
  return true;
}

void RemoveStaleTemporaries(const std::string& target) {
  FileSystem& fs = CurrentFileSystem();
  const std::string directory = DirectoryOf(target);
  const std::string base = BaseNameOf(target);
  std::vector<std::string> names;
  if (!fs.ListDirectory(directory, names).Ok()) return;
  for (const std::string& name : names) {
    if (IsTemporaryOf(name, base)) RemoveIfUnlocked(fs, PathIn(directory, name));
  }
}

}  // namespace tol
