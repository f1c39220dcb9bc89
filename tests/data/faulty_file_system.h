#pragma once
// A file system that passes every call to another one, except that it can make the k-th call
// fail with a chosen errno, or make the k-th transfer (read, pread, write) move fewer bytes.
// It keeps the names of the calls made, so a failing test can show where the fault was.

#include <cstddef>
#include <string>
#include <vector>

#include "data/file_system.h"

namespace tol::testing {

class FaultyFileSystem final : public FileSystem {
 public:
  explicit FaultyFileSystem(FileSystem& inner) : inner_(inner) {}

  // Call number k (from 1) fails with error. A failing close still releases the descriptor,
  // as a real one does.
  void FailCall(std::size_t k, int error) {
    fail_call_ = k;
    error_ = error;
  }
  // Transfer number k (from 1) moves half of the bytes asked for (rounded down).
  void ShortenTransfer(std::size_t k) { short_transfer_ = k; }

  [[nodiscard]] bool Triggered() const { return triggered_; }
  [[nodiscard]] std::size_t TransferCount() const { return transfers_; }
  [[nodiscard]] const std::vector<std::string>& Calls() const { return calls_; }
  // The name of the faulted call, or "" when no fault happened.
  [[nodiscard]] std::string FaultedCall() const { return faulted_; }
  [[nodiscard]] bool CalledBefore(const std::string& name, std::size_t k) const {
    for (std::size_t i = 0; i + 1 < k && i < calls_.size(); ++i) {
      if (calls_[i] == name) return true;
    }
    return false;
  }
  [[nodiscard]] std::string Log() const {
    std::string log;
    for (const std::string& call : calls_) log += call + " ";
    return log;
  }

  SysResult Open(const std::string& path, int flags, std::uint32_t mode) override {
    if (Fails("Open")) return Fault();
    return inner_.Open(path, flags, mode);
  }
  SysResult Close(int fd) override {
    if (Fails("Close")) {
      (void)inner_.Close(fd);
      return Fault();
    }
    return inner_.Close(fd);
  }
  SysResult Read(int fd, void* buffer, std::size_t count) override {
    if (Fails("Read")) return Fault();
    return inner_.Read(fd, buffer, Transfer(count));
  }
  SysResult PRead(int fd, void* buffer, std::size_t count, std::uint64_t offset) override {
    if (Fails("PRead")) return Fault();
    return inner_.PRead(fd, buffer, Transfer(count), offset);
  }
  SysResult Write(int fd, const void* buffer, std::size_t count) override {
    if (Fails("Write")) return Fault();
    return inner_.Write(fd, buffer, Transfer(count));
  }
  SysResult FSync(int fd) override { return Fails("FSync") ? Fault() : inner_.FSync(fd); }
  SysResult Flock(int fd, int op) override {
    return Fails("Flock") ? Fault() : inner_.Flock(fd, op);
  }
  SysResult LockRecords(int fd) override {
    return Fails("LockRecords") ? Fault() : inner_.LockRecords(fd);
  }
  SysResult FStat(int fd, FileStatus& s) override {
    return Fails("FStat") ? Fault() : inner_.FStat(fd, s);
  }
  SysResult Stat(const std::string& p, FileStatus& s) override {
    return Fails("Stat") ? Fault() : inner_.Stat(p, s);
  }
  SysResult LStat(const std::string& p, FileStatus& s) override {
    return Fails("LStat") ? Fault() : inner_.LStat(p, s);
  }
  SysResult MkTemp(std::string& t) override { return Fails("MkTemp") ? Fault() : inner_.MkTemp(t); }
  SysResult FChmod(int fd, std::uint32_t mode) override {
    return Fails("FChmod") ? Fault() : inner_.FChmod(fd, mode);
  }
  SysResult FChown(int fd, std::uint32_t uid, std::uint32_t gid) override {
    return Fails("FChown") ? Fault() : inner_.FChown(fd, uid, gid);
  }
  SysResult Rename(const std::string& from, const std::string& to) override {
    return Fails("Rename") ? Fault() : inner_.Rename(from, to);
  }
  SysResult Unlink(const std::string& p) override {
    return Fails("Unlink") ? Fault() : inner_.Unlink(p);
  }
  SysResult RealPath(const std::string& p, std::string& r) override {
    return Fails("RealPath") ? Fault() : inner_.RealPath(p, r);
  }
  SysResult ListDirectory(const std::string& p, std::vector<std::string>& names) override {
    return Fails("ListDirectory") ? Fault() : inner_.ListDirectory(p, names);
  }

 private:
  bool Fails(const char* name) {
    calls_.emplace_back(name);
    if (calls_.size() != fail_call_) return false;
    triggered_ = true;
    faulted_ = name;
    return true;
  }
  SysResult Fault() const { return SysResult::Failure(error_); }
  std::size_t Transfer(std::size_t count) {
    if (++transfers_ != short_transfer_ || count == 0) return count;
    triggered_ = true;
    faulted_ = calls_.back();
    return count / 2;
  }

  FileSystem& inner_;
  std::size_t fail_call_ = 0;
  std::size_t short_transfer_ = 0;
  int error_ = 0;
  std::size_t transfers_ = 0;
  bool triggered_ = false;
  std::string faulted_;
  std::vector<std::string> calls_;
};

}  // namespace tol::testing
