#include "data/checked_file.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <utility>

#include "data/errors.h"

namespace tol {
namespace {

constexpr std::int32_t kFileNotFound = 2;
constexpr std::int32_t kInvalidFilename = 3;
constexpr std::int32_t kTooManyOpenFiles = 4;
constexpr std::int32_t kAccessDenied = 5;
constexpr std::int32_t kReadBeyondEnd = 100;
constexpr std::int32_t kDiskFull = 101;

void RaiseUnless(const SysResult& result) {
  if (!result.Ok()) throw EInOutError::FromErrno(result.error);
}

// A file system without record locks (some network and user-space ones) still has the flock.
void RaiseUnlessUnsupported(const SysResult& result) {
  if (result.error == ENOLCK || result.error == EINVAL || result.error == EOPNOTSUPP) return;
  RaiseUnless(result);
}

// The condition of the open's table that a failed open with this errno is, if any.
std::optional<std::int32_t> OpenCondition(int error) {
  switch (error) {
    case ENOENT: return kFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL: return kInvalidFilename;
    case EMFILE:
    case ENFILE: return kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS: return kAccessDenied;
    default: return std::nullopt;
  }
}

}  // namespace

std::int32_t OpenErrorCode(int error) { return OpenCondition(error).value_or(error); }

EInOutError OpenError(int error) {
  const std::optional<std::int32_t> condition = OpenCondition(error);
  return condition ? EInOutError(*condition) : EInOutError::FromErrno(error);
}

CheckedFile CheckedFile::OpenForUpdate(const std::string& name) {
  FileSystem& fs = CurrentFileSystem();
  const SysResult opened = fs.Open(name, O_RDWR | O_NOCTTY, 0);
  if (!opened.Ok()) throw OpenError(opened.error);
  CheckedFile file(static_cast<int>(opened.value), FileStatus{});
  // Locked before the status is taken, so the size seen is the one no other writer changes.
  // Both kinds of advisory lock: programs that take flock locks and programs that take POSIX
  // record locks each keep the editor out, and it keeps both out.
  RaiseUnless(fs.Flock(file.fd_, LOCK_EX | LOCK_NB));
  RaiseUnlessUnsupported(fs.LockRecords(file.fd_));
  RaiseUnless(fs.FStat(file.fd_, file.status_));
  // Only a regular file holds a table; a device or a pipe could block or never end.
  if (file.status_.kind != FileStatus::Kind::kRegular) throw EInOutError(kAccessDenied);
  return file;
}

std::optional<CheckedFile> CheckedFile::TryCreateTemporary(std::string& path_template) {
  FileSystem& fs = CurrentFileSystem();
  const SysResult created = fs.MkTemp(path_template);
  if (!created.Ok()) return std::nullopt;
  CheckedFile file(static_cast<int>(created.value), FileStatus{});
  // Locked while it is written, so that another save's clean-up of stale temporaries passes
  // it over.
  if (!fs.Flock(file.fd_, LOCK_EX | LOCK_NB).Ok() || !fs.FStat(file.fd_, file.status_).Ok()) {
    (void)fs.Unlink(path_template);
    return std::nullopt;
  }
  return file;
}

CheckedFile::CheckedFile(CheckedFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), status_(other.status_) {}

CheckedFile::~CheckedFile() { CloseQuietly(); }

void CheckedFile::ReadExact(void* buffer, std::size_t count) {
  if (ReadAvailable(buffer, count) < count) throw EInOutError(kReadBeyondEnd);
}

std::size_t CheckedFile::ReadAvailable(void* buffer, std::size_t count) {
  const SysResult result = CurrentFileSystem().Read(fd_, buffer, count);
  RaiseUnless(result);
  return static_cast<std::size_t>(result.value);
}

void CheckedFile::ReadExactAt(void* buffer, std::size_t count, std::uint64_t offset) {
  const SysResult result = CurrentFileSystem().PRead(fd_, buffer, count, offset);
  RaiseUnless(result);
  if (static_cast<std::size_t>(result.value) < count) throw EInOutError(kReadBeyondEnd);
}

void CheckedFile::WriteExact(const void* buffer, std::size_t count) {
  const SysResult result = CurrentFileSystem().Write(fd_, buffer, count);
  RaiseUnless(result);
  if (static_cast<std::size_t>(result.value) < count) throw EInOutError(kDiskFull);
}

void CheckedFile::Sync() { RaiseUnless(CurrentFileSystem().FSync(fd_)); }

void CheckedFile::Close() {
  const int fd = std::exchange(fd_, -1);
  RaiseUnless(CurrentFileSystem().Close(fd));
}

bool CheckedFile::TryTakeOwnershipAndMode(const FileStatus& status) {
  FileSystem& fs = CurrentFileSystem();
  FileStatus current;
  if (!fs.FStat(fd_, current).Ok()) return false;
  if ((current.uid != status.uid || current.gid != status.gid) &&
      !fs.FChown(fd_, status.uid, status.gid).Ok()) {
    return false;
  }
  // After the owner, since a change of owner clears the set-id bits.
  return fs.FChmod(fd_, status.mode).Ok();
}

void CheckedFile::CloseQuietly() noexcept {
  if (fd_ >= 0) (void)CurrentFileSystem().Close(std::exchange(fd_, -1));
}

void SyncDirectory(const std::string& path) {
  FileSystem& fs = CurrentFileSystem();
  const SysResult opened = fs.Open(path, O_RDONLY | O_DIRECTORY, 0);
  RaiseUnless(opened);
  const int fd = static_cast<int>(opened.value);
  const SysResult synced = fs.FSync(fd);
  const SysResult closed = fs.Close(fd);
  // Some file systems cannot sync a directory and say so with EINVAL; the rename stands.
  if (!synced.Ok() && synced.error != EINVAL) throw EInOutError::FromErrno(synced.error);
  RaiseUnless(closed);
}

}  // namespace tol
