#pragma once
// The one seam through which the file layer reaches the operating system. Every call the
// tolerance file code makes (open, read, write, sync, lock, rename, ...) goes through the
// process-wide FileSystem, so a test can replace it: with an in-memory file system, or with one
// that makes a chosen call fail or transfer fewer bytes.
//
// Calls mirror their POSIX namesakes and never raise: a SysResult carries either the call's
// value or the errno it failed with. Flags and modes are the POSIX O_*, LOCK_* and mode bits.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tol {

// The outcome of one call: error is 0 on success (value then holds the call's result, e.g. a
// descriptor or a byte count), otherwise the errno.
struct SysResult {
  std::int64_t value = 0;
  int error = 0;
  [[nodiscard]] bool Ok() const { return error == 0; }
  [[nodiscard]] static SysResult Success(std::int64_t v = 0) { return {v, 0}; }
  [[nodiscard]] static SysResult Failure(int e) { return {-1, e}; }
};

// What the file layer needs to know about a directory entry or an open file.
struct FileStatus {
  enum class Kind { kRegular, kDirectory, kSymlink, kOther };
  Kind kind = Kind::kOther;
  std::uint64_t size = 0;
  std::uint32_t mode = 0;  // permission bits, including set-id and sticky bits
  std::uint32_t uid = 0;
  std::uint32_t gid = 0;
  std::uint64_t links = 1;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  virtual SysResult Open(const std::string& path, int flags, std::uint32_t mode) = 0;
  virtual SysResult Close(int fd) = 0;
  virtual SysResult Read(int fd, void* buffer, std::size_t count) = 0;
  // Reads at offset without moving the position.
  virtual SysResult PRead(int fd, void* buffer, std::size_t count, std::uint64_t offset) = 0;
  virtual SysResult Write(int fd, const void* buffer, std::size_t count) = 0;
  virtual SysResult FSync(int fd) = 0;
  virtual SysResult Flock(int fd, int operation) = 0;
  // An exclusive record lock on the whole file, owned by the open file description
  // (F_OFD_SETLK), taken without waiting; EWOULDBLOCK while another holds a conflicting one.
  virtual SysResult LockRecords(int fd) = 0;
  virtual SysResult FStat(int fd, FileStatus& status) = 0;
  virtual SysResult Stat(const std::string& path, FileStatus& status) = 0;   // follows links
  virtual SysResult LStat(const std::string& path, FileStatus& status) = 0;  // does not
  // Creates and opens (read-write, close-on-exec, mode 0600) a new file whose name is
  // path_template with its trailing "XXXXXX" replaced; path_template receives the name.
  virtual SysResult MkTemp(std::string& path_template) = 0;
  virtual SysResult FChmod(int fd, std::uint32_t mode) = 0;
  virtual SysResult FChown(int fd, std::uint32_t uid, std::uint32_t gid) = 0;
  virtual SysResult Rename(const std::string& from, const std::string& to) = 0;
  virtual SysResult Unlink(const std::string& path) = 0;
  // The absolute path with every symbolic link resolved.
  virtual SysResult RealPath(const std::string& path, std::string& resolved) = 0;
  // The names in the directory at path, "." and ".." left out, in no particular order.
  virtual SysResult ListDirectory(const std::string& path, std::vector<std::string>& names) = 0;
};

// The real operating system.
class PosixFileSystem final : public FileSystem {
 public:
  SysResult Open(const std::string& path, int flags, std::uint32_t mode) override;
  SysResult Close(int fd) override;
  SysResult Read(int fd, void* buffer, std::size_t count) override;
  SysResult PRead(int fd, void* buffer, std::size_t count, std::uint64_t offset) override;
  SysResult Write(int fd, const void* buffer, std::size_t count) override;
  SysResult FSync(int fd) override;
  SysResult Flock(int fd, int operation) override;
  SysResult LockRecords(int fd) override;
  SysResult FStat(int fd, FileStatus& status) override;
  SysResult Stat(const std::string& path, FileStatus& status) override;
  SysResult LStat(const std::string& path, FileStatus& status) override;
  SysResult MkTemp(std::string& path_template) override;
  SysResult FChmod(int fd, std::uint32_t mode) override;
  SysResult FChown(int fd, std::uint32_t uid, std::uint32_t gid) override;
  SysResult Rename(const std::string& from, const std::string& to) override;
  SysResult Unlink(const std::string& path) override;
  SysResult RealPath(const std::string& path, std::string& resolved) override;
  SysResult ListDirectory(const std::string& path, std::vector<std::string>& names) override;
};

// Makes a write beyond the process's file-size limit (RLIMIT_FSIZE) fail with EFBIG, which the
// file layer reports, instead of ending the process by SIGXFSZ. Called once at program start.
void IgnoreFileSizeSignal();

// The file system in use: the installed one, or the real one when none is installed.
[[nodiscard]] FileSystem& CurrentFileSystem();

// Installs file_system (not owned) for as long as the guard lives, then puts back the one
// that was in use before. Not thread-safe: install before the file layer is used.
class ScopedFileSystem {
 public:
  explicit ScopedFileSystem(FileSystem& file_system);
  ~ScopedFileSystem();
  ScopedFileSystem(const ScopedFileSystem&) = delete;
  ScopedFileSystem& operator=(const ScopedFileSystem&) = delete;

 private:
  FileSystem* previous_;
};

}  // namespace tol
