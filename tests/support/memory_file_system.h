#pragma once
// A file system held in memory, for running the file layer on arbitrary contents without the
// disk (fuzzing, contract tests). Paths are plain keys: "./" prefixes are dropped and "." and "/"
// exist as directories from the start; there are no symbolic links. Permissions follow the
// owner bits only (a file without 0200 cannot be opened for writing), as for a process that
// owns every file and has no special privileges. Locks are exclusive per open description, and
// a record lock is the same lock as a flock.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/file_system.h"

namespace tol {

class MemoryFileSystem final : public FileSystem {
 public:
  MemoryFileSystem();

  // Creates or replaces a regular file.
  void SetFile(const std::string& path, std::string bytes, std::uint32_t mode = 0644);
  void AddDirectory(const std::string& path);
  // The bytes of a regular file, or nothing when there is none of that name.
  [[nodiscard]] std::optional<std::string> FileBytes(const std::string& path) const;
  [[nodiscard]] std::size_t OpenDescriptorCount() const { return open_.size(); }

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

 private:
  struct Node {
    FileStatus::Kind kind = FileStatus::Kind::kRegular;
    std::string bytes;
    std::uint32_t mode = 0644;
    std::uint32_t uid = 0;
    std::uint32_t gid = 0;
    int lock_holder = -1;  // the descriptor holding the exclusive lock
  };
  struct Description {
    std::shared_ptr<Node> node;
    std::uint64_t position = 0;
    bool readable = false;
    bool writable = false;
  };

  [[nodiscard]] std::shared_ptr<Node> Find(const std::string& path) const;
  [[nodiscard]] bool ParentExists(const std::string& path) const;
  [[nodiscard]] Description* Described(int fd);
  SysResult OpenNode(std::shared_ptr<Node> node, bool readable, bool writable);
  static FileStatus StatusOf(const Node& node);

  std::map<std::string, std::shared_ptr<Node>> entries_;
  std::map<int, Description> open_;
  int next_fd_ = 3;
  unsigned next_temp_ = 0;
};

}  // namespace tol
