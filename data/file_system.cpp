#include "data/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <memory>

namespace tol {
namespace {

// Runs a call that returns -1 and sets errno on failure, repeating it when a signal
// interrupted it before anything was transferred.
template <typename Call>
SysResult Checked(Call call) {
  for (;;) {
    const auto result = call();
    if (result != -1) return SysResult::Success(static_cast<std::int64_t>(result));
    if (errno != EINTR) return SysResult::Failure(errno);
  }
}

FileStatus::Kind KindOf(mode_t mode) {
  if (S_ISREG(mode)) return FileStatus::Kind::kRegular;
  if (S_ISDIR(mode)) return FileStatus::Kind::kDirectory;
  if (S_ISLNK(mode)) return FileStatus::Kind::kSymlink;
  return FileStatus::Kind::kOther;
}

FileStatus StatusFrom(const struct stat& st) {
  FileStatus status;
  status.kind = KindOf(st.st_mode);
  status.size = static_cast<std::uint64_t>(st.st_size);
  status.mode = static_cast<std::uint32_t>(st.st_mode & 07777);
  status.uid = st.st_uid;
  status.gid = st.st_gid;
  status.links = st.st_nlink;
  return status;
}

SysResult StatInto(int result, const struct stat& st, FileStatus& status) {
  if (result != 0) return SysResult::Failure(errno);
  status = StatusFrom(st);
  return SysResult::Success();
}

PosixFileSystem& RealFileSystem() {
  static PosixFileSystem real;
  return real;
}

FileSystem* installed = nullptr;

}  // namespace

SysResult PosixFileSystem::Open(const std::string& path, int flags, std::uint32_t mode) {
  return Checked(
      [&] { return ::open(path.c_str(), flags | O_CLOEXEC, static_cast<mode_t>(mode)); });
}

SysResult PosixFileSystem::Close(int fd) {
  // A close interrupted by a signal has still released the descriptor on Linux; repeating it
  // could close a descriptor opened meanwhile, so it is not repeated.
  if (::close(fd) == 0) return SysResult::Success();
  return SysResult::Failure(errno);
}

SysResult PosixFileSystem::Read(int fd, void* buffer, std::size_t count) {
  return Checked([&] { return ::read(fd, buffer, count); });
}

SysResult PosixFileSystem::PRead(int fd, void* buffer, std::size_t count, std::uint64_t offset) {
  if (offset > static_cast<std::uint64_t>(LLONG_MAX)) return SysResult::Failure(EINVAL);
  return Checked([&] { return ::pread(fd, buffer, count, static_cast<off_t>(offset)); });
}

SysResult PosixFileSystem::Write(int fd, const void* buffer, std::size_t count) {
  return Checked([&] { return ::write(fd, buffer, count); });
}

SysResult PosixFileSystem::FSync(int fd) {
  return Checked([&] { return ::fsync(fd); });
}

SysResult PosixFileSystem::Flock(int fd, int operation) {
  return Checked([&] { return ::flock(fd, operation); });
}

SysResult PosixFileSystem::LockRecords(int fd) {
  struct flock whole {};
  whole.l_type = F_WRLCK;
  whole.l_whence = SEEK_SET;  // start 0, length 0: the whole file, however long it grows
  const SysResult result = Checked([&] { return ::fcntl(fd, F_OFD_SETLK, &whole); });
  // A conflicting lock may be reported as EACCES as well; both mean someone else holds it.
  if (!result.Ok() && result.error == EACCES) return SysResult::Failure(EWOULDBLOCK);
  return result;
}

SysResult PosixFileSystem::FStat(int fd, FileStatus& status) {
  struct stat st {};
  return StatInto(::fstat(fd, &st), st, status);
}

SysResult PosixFileSystem::Stat(const std::string& path, FileStatus& status) {
  struct stat st {};
  return StatInto(::stat(path.c_str(), &st), st, status);
}

SysResult PosixFileSystem::LStat(const std::string& path, FileStatus& status) {
  struct stat st {};
  return StatInto(::lstat(path.c_str(), &st), st, status);
}

SysResult PosixFileSystem::MkTemp(std::string& path_template) {
  return Checked([&] { return ::mkostemp(path_template.data(), O_CLOEXEC); });
}

SysResult PosixFileSystem::FChmod(int fd, std::uint32_t mode) {
  return Checked([&] { return ::fchmod(fd, static_cast<mode_t>(mode)); });
}

SysResult PosixFileSystem::FChown(int fd, std::uint32_t uid, std::uint32_t gid) {
  return Checked([&] { return ::fchown(fd, uid, gid); });
}

SysResult PosixFileSystem::Rename(const std::string& from, const std::string& to) {
  return Checked([&] { return ::rename(from.c_str(), to.c_str()); });
}

SysResult PosixFileSystem::Unlink(const std::string& path) {
  return Checked([&] { return ::unlink(path.c_str()); });
}

SysResult PosixFileSystem::RealPath(const std::string& path, std::string& resolved) {
  const std::unique_ptr<char, decltype(&std::free)> result(::realpath(path.c_str(), nullptr),
                                                           &std::free);
  if (!result) return SysResult::Failure(errno);
  resolved = result.get();
  return SysResult::Success();
}

SysResult PosixFileSystem::ListDirectory(const std::string& path, std::vector<std::string>& names) {
  struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
  };
  const std::unique_ptr<DIR, DirCloser> dir(::opendir(path.c_str()));
  if (!dir) return SysResult::Failure(errno);
  names.clear();
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(dir.get());
    if (entry == nullptr) break;
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  if (errno != 0) return SysResult::Failure(errno);
  return SysResult::Success();
}

void IgnoreFileSizeSignal() { (void)std::signal(SIGXFSZ, SIG_IGN); }

FileSystem& CurrentFileSystem() { return installed != nullptr ? *installed : RealFileSystem(); }

ScopedFileSystem::ScopedFileSystem(FileSystem& file_system) : previous_(installed) {
  installed = &file_system;
}

ScopedFileSystem::~ScopedFileSystem() { installed = previous_; }

}  // namespace tol
