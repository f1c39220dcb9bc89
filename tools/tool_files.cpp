#include "tools/tool_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>
#include <memory>
#include <utility>

#include "data/table_codec.h"
#include "data/temporary_files.h"
#include "tools/tool_errors.h"

namespace tol {
namespace {

constexpr const char* kStandardStream = "-";
constexpr const char* kExistsAlready = "the file exists already; --force replaces it";

[[noreturn]] void RaiseSystemError(const std::string& path) {
  throw ToolFileError(path, std::strerror(errno));
}

// Closes a descriptor on every way out; Close() reports a failed close.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  [[nodiscard]] int Get() const { return fd_; }
  [[nodiscard]] bool Close() { return ::close(std::exchange(fd_, -1)) == 0; }

 private:
  int fd_;
};

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a path names once symbolic links are followed, so a replacement goes where a link
// points and leaves the link in place; the path itself when nothing is there yet.
std::string ResolvedPath(const std::string& path) {
  const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                         &std::free);
  return real ? std::string(real.get()) : path;
}

mode_t ModeForNewFiles() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// Writes all of bytes to fd. Raises ToolFileError naming path.
void WriteAll(int fd, const std::string& bytes, const std::string& path) {
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) RaiseSystemError(path);
    done += static_cast<std::size_t>(put);
  }
}

// A path whose file is removed when the holder goes, unless it was let go of.
class RemovedUnlessKept {
 public:
  explicit RemovedUnlessKept(std::string path) : path_(std::move(path)) {}
  ~RemovedUnlessKept() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  RemovedUnlessKept(const RemovedUnlessKept&) = delete;
  RemovedUnlessKept& operator=(const RemovedUnlessKept&) = delete;
  void Keep() { path_.clear(); }

 private:
  std::string path_;
};

// A complete new file beside the file at target (a path with links resolved), named as the
// editor names its temporaries and locked as they are while it is written, so an editor's save
// of the same file never takes it for a leftover. Removed unless placed, also when making it
// fails part-way.
class NewFile {
 public:
  NewFile(const std::string& target, const std::string& bytes, mode_t mode)
      : path_(TemporaryTemplate(target)), made_(MakeUnique(path_, target)), removed_(path_) {
    (void)::flock(made_.Get(), LOCK_EX | LOCK_NB);
    if (::fchmod(made_.Get(), mode) != 0) RaiseSystemError(path_);
    WriteAll(made_.Get(), bytes, path_);
    if (::fsync(made_.Get()) != 0 || !made_.Close()) RaiseSystemError(path_);
  }
  NewFile(const NewFile&) = delete;
  NewFile& operator=(const NewFile&) = delete;

  // Puts the file at target, replacing what is there. Raises ToolFileError.
  void Replace(const std::string& target) {
    if (::rename(path_.c_str(), target.c_str()) != 0) RaiseSystemError(target);
    Placed(target);
  }
  // Puts the file at target only where nothing is: the target never exists half-made, and a
  // file that appeared there meanwhile is kept. Raises ToolFileError.
  void PlaceNew(const std::string& target) {
    if (::renameat2(AT_FDCWD, path_.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) != 0) {
      // A file system without the flag: a second name, which may not exist either, then the
      // first one goes.
      if (errno != EINVAL && errno != ENOSYS) RaiseNewPathError(target);
      if (::link(path_.c_str(), target.c_str()) != 0) RaiseNewPathError(target);
      ::unlink(path_.c_str());
    }
    Placed(target);
  }

 private:
  static int MakeUnique(std::string& path, const std::string& target) {
    const int fd = ::mkostemp(path.data(), O_CLOEXEC);
    if (fd < 0) RaiseSystemError(target);
    return fd;
  }
  [[noreturn]] static void RaiseNewPathError(const std::string& target) {
    if (errno == EEXIST) throw ToolFileError(target, kExistsAlready);
    RaiseSystemError(target);
  }
  void Placed(const std::string& target) {
    removed_.Keep();
    const int dir = ::open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
      (void)::fsync(dir);
      ::close(dir);
    }
  }

  std::string path_;
  Descriptor made_;
  RemovedUnlessKept removed_;
};

void StoreIntoNewPath(const CellTable& table, const std::string& path) {
  struct stat existing {};
  if (::lstat(path.c_str(), &existing) == 0) throw ToolFileError(path, kExistsAlready);
  NewFile(path, EncodeTable(table), ModeForNewFiles()).PlaceNew(path);
}

void StoreInPlaceOf(const CellTable& table, const std::string& path) {
  const std::string target = ResolvedPath(path);
  struct stat old_status {};
  const bool old_exists = ::stat(target.c_str(), &old_status) == 0;
  const mode_t mode = old_exists ? old_status.st_mode & 07777 : ModeForNewFiles();
  NewFile(target, EncodeTable(table), mode).Replace(target);
}

void WriteInPlace(const std::string& path, const std::string& text) {
  Descriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (file.Get() < 0) RaiseSystemError(path);
  WriteAll(file.Get(), text, path);
  if (!file.Close()) RaiseSystemError(path);
}

}  // namespace

std::string ReadTextFile(const std::string& path) {
  if (path == kStandardStream) {
    std::string text(std::istreambuf_iterator<char>(std::cin), {});
    if (std::cin.bad()) throw ToolFileError("standard input", "read failed");
    return text;
  }
  Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.Get() < 0) RaiseSystemError(path);
  std::string text;
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(file.Get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) RaiseSystemError(path);
    if (got == 0) return text;
    text.append(buffer, static_cast<std::size_t>(got));
  }
}

void WriteTextFile(const std::string& path, const std::string& text) {
  if (path == kStandardStream) {
    std::cout << text << std::flush;
    if (!std::cout) throw ToolFileError("standard output", "write failed");
    return;
  }
  // Written beside the file and then put in its place, so that a write that fails (a full
  // disk) leaves an existing file as it was rather than cut short.
  const std::string target = ResolvedPath(path);
  struct stat old_status {};
  const bool old_exists = ::stat(target.c_str(), &old_status) == 0;
  // A device or a pipe cannot be replaced, nor a file in a directory that takes no new files.
  if (old_exists &&
      (!S_ISREG(old_status.st_mode) || ::access(DirectoryOf(target).c_str(), W_OK | X_OK) != 0)) {
    WriteInPlace(path, text);
    return;
  }
  const mode_t mode = old_exists ? old_status.st_mode & 07777 : ModeForNewFiles();
  NewFile(target, text, mode).Replace(target);
}

void WriteTableFile(const CellTable& table, const std::string& path, bool replace) {
  if (replace) {
    StoreInPlaceOf(table, path);
  } else {
    StoreIntoNewPath(table, path);
  }
}

}  // namespace tol
