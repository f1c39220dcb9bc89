#pragma once
// Sample tolerance tables for the benchmarks, the scratch directory their files live in, and a
// file system that times the flushes of a save or leaves them out.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "data/file_system.h"

namespace tolbench {

// The bytes of a tolerance file with n intervals and m grades: ascending bounds, six-character
// names, and value pairs of whole thousandths as in a real tolerance table.
[[nodiscard]] std::string SampleFileBytes(std::int32_t n, std::int32_t m);

// A fresh directory under the system's temporary directory, removed with everything in it.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  [[nodiscard]] std::string Path(const std::string& name) const { return (path_ / name).string(); }
  [[nodiscard]] const std::filesystem::path& Dir() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Writes bytes as the file at path, replacing it.
void WriteWholeFile(const std::string& path, const std::string& bytes);

// Makes dir the current directory until destroyed, then goes back.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::filesystem::path& dir);
  ~CurrentDirectory();
  CurrentDirectory(const CurrentDirectory&) = delete;
  CurrentDirectory& operator=(const CurrentDirectory&) = delete;

 private:
  std::filesystem::path previous_;
};

// The real file system, with every FSync either timed (flushes on) or answered at once without
// flushing (flushes off). Install it with tol::ScopedFileSystem.
class SyncTimingFileSystem final : public tol::FileSystem {
 public:
  explicit SyncTimingFileSystem(bool flushes) : flushes_(flushes) {}

  [[nodiscard]] std::chrono::nanoseconds SyncTime() const { return sync_time_; }
  [[nodiscard]] std::int64_t SyncCount() const { return sync_count_; }

  tol::SysResult Open(const std::string& path, int flags, std::uint32_t mode) override {
    return real_.Open(path, flags, mode);
  }
  tol::SysResult Close(int fd) override { return real_.Close(fd); }
  tol::SysResult Read(int fd, void* buffer, std::size_t count) override {
    return real_.Read(fd, buffer, count);
  }
  tol::SysResult PRead(int fd, void* buffer, std::size_t count, std::uint64_t offset) override {
    return real_.PRead(fd, buffer, count, offset);
  }
  tol::SysResult Write(int fd, const void* buffer, std::size_t count) override {
    return real_.Write(fd, buffer, count);
  }
  tol::SysResult FSync(int fd) override;
  tol::SysResult Flock(int fd, int operation) override { return real_.Flock(fd, operation); }
  tol::SysResult LockRecords(int fd) override { return real_.LockRecords(fd); }
  tol::SysResult FStat(int fd, tol::FileStatus& status) override { return real_.FStat(fd, status); }
  tol::SysResult Stat(const std::string& path, tol::FileStatus& status) override {
    return real_.Stat(path, status);
  }
  tol::SysResult LStat(const std::string& path, tol::FileStatus& status) override {
    return real_.LStat(path, status);
  }
  tol::SysResult MkTemp(std::string& path_template) override { return real_.MkTemp(path_template); }
  tol::SysResult FChmod(int fd, std::uint32_t mode) override { return real_.FChmod(fd, mode); }
  tol::SysResult FChown(int fd, std::uint32_t uid, std::uint32_t gid) override {
    return real_.FChown(fd, uid, gid);
  }
  tol::SysResult Rename(const std::string& from, const std::string& to) override {
    return real_.Rename(from, to);
  }
  tol::SysResult Unlink(const std::string& path) override { return real_.Unlink(path); }
  tol::SysResult RealPath(const std::string& path, std::string& resolved) override {
    return real_.RealPath(path, resolved);
  }
  tol::SysResult ListDirectory(const std::string& path, std::vector<std::string>& names) override {
    return real_.ListDirectory(path, names);
  }

 private:
  tol::PosixFileSystem real_;
  bool flushes_;
  std::chrono::nanoseconds sync_time_{0};
  std::int64_t sync_count_ = 0;
};

}  // namespace tolbench
