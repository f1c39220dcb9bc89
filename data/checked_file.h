#pragma once
// One open file of the file layer. Every operation checks its outcome and raises EInOutError:
// with the code of the condition for a failed open (2 missing, 3 invalid path, 4 too many open
// files, 5 access denied), 100 for a short ReadExact, 101 for a short WriteExact that reported
// no error, and for every other failed call the errno, shown as "I/O error <errno>".
// Each read or write is exactly one system call; there is no buffering.
//
// A file opened for update holds an exclusive flock and an exclusive open-file-description
// record lock until it is closed, so a second writer (another editor, or any program that locks
// either way) is refused at its open with the system's EWOULDBLOCK. The
// destructor closes a file that is still open without raising, so an error leaving a load or
// a save never leaves the file open.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "data/errors.h"
#include "data/file_system.h"

namespace tol {

// The EInOutError code for a failed open or path lookup with this errno.
[[nodiscard]] std::int32_t OpenErrorCode(int error);
// The error a failed open with this errno raises: a condition's message for the numbers
// OpenErrorCode maps, "I/O error <errno>" for every other.
[[nodiscard]] EInOutError OpenError(int error);

class CheckedFile {
 public:
  // Opens an existing regular file for reading and writing, never creating or truncating it,
  // and locks it. Position 0.
  [[nodiscard]] static CheckedFile OpenForUpdate(const std::string& name);
  // Creates a new file from path_template (ending in "XXXXXX", receives the name), or nothing
  // when the system refuses; the file holds an exclusive flock until it is closed.
  [[nodiscard]] static std::optional<CheckedFile> TryCreateTemporary(std::string& path_template);

  CheckedFile(CheckedFile&& other) noexcept;
  CheckedFile& operator=(CheckedFile&&) = delete;
  CheckedFile(const CheckedFile&) = delete;
  CheckedFile& operator=(const CheckedFile&) = delete;
  ~CheckedFile();

  // Reads count bytes at the position; fewer raises 100.
  void ReadExact(void* buffer, std::size_t count);
  // Reads up to count bytes at the position and returns how many arrived; the buffer past
  // them keeps its bytes. Raises only when the read fails.
  [[nodiscard]] std::size_t ReadAvailable(void* buffer, std::size_t count);
  // Reads count bytes at offset, leaving the position; fewer raises 100.
  void ReadExactAt(void* buffer, std::size_t count, std::uint64_t offset);
  // Writes count bytes at the position; fewer without an error raises 101.
  void WriteExact(const void* buffer, std::size_t count);
  // Flushes the file's data to the storage device.
  void Sync();
  // Marks the file closed, then releases it; raises when the release fails.
  void Close();

  [[nodiscard]] bool IsOpen() const { return fd_ >= 0; }
  // The file's status as of opening (size, permissions, owner, links).
  [[nodiscard]] const FileStatus& Status() const { return status_; }
  // Gives the file the permissions and owner in status; false when the system refuses.
  [[nodiscard]] bool TryTakeOwnershipAndMode(const FileStatus& status);

 private:
  CheckedFile(int fd, FileStatus status) : fd_(fd), status_(status) {}
  void CloseQuietly() noexcept;

  int fd_;
  FileStatus status_;
};

// Flushes the directory entry changes (a rename) of the directory at path to the device.
// Raises EInOutError with the errno; a file system that cannot sync directories is accepted.
void SyncDirectory(const std::string& path);

}  // namespace tol
