#include "tests/support/memory_file_system.h"

#include <fcntl.h>
#include <sys/file.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace tol {
namespace {

std::string Normalized(std::string path) {
  while (path.size() > 2 && path.compare(0, 2, "./") == 0) path.erase(0, 2);
  if (path.empty()) return ".";
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string ParentOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

MemoryFileSystem::MemoryFileSystem() {
  AddDirectory(".");
  AddDirectory("/");
}

void MemoryFileSystem::SetFile(const std::string& path, std::string bytes, std::uint32_t mode) {
  auto node = std::make_shared<Node>();
  node->bytes = std::move(bytes);
  node->mode = mode;
  entries_[Normalized(path)] = std::move(node);
}

void MemoryFileSystem::AddDirectory(const std::string& path) {
  auto node = std::make_shared<Node>();
  node->kind = FileStatus::Kind::kDirectory;
  node->mode = 0755;
  entries_[Normalized(path)] = std::move(node);
}

std::optional<std::string> MemoryFileSystem::FileBytes(const std::string& path) const {
  const auto node = Find(path);
  if (!node || node->kind != FileStatus::Kind::kRegular) return std::nullopt;
  return node->bytes;
}

std::shared_ptr<MemoryFileSystem::Node> MemoryFileSystem::Find(const std::string& path) const {
  const auto it = entries_.find(Normalized(path));
  return it == entries_.end() ? nullptr : it->second;
}

bool MemoryFileSystem::ParentExists(const std::string& path) const {
  const auto parent = Find(ParentOf(Normalized(path)));
  return parent && parent->kind == FileStatus::Kind::kDirectory;
}

MemoryFileSystem::Description* MemoryFileSystem::Described(int fd) {
  const auto it = open_.find(fd);
  return it == open_.end() ? nullptr : &it->second;
}

SysResult MemoryFileSystem::OpenNode(std::shared_ptr<Node> node, bool readable, bool writable) {
  const int fd = next_fd_++;
  open_[fd] = Description{std::move(node), 0, readable, writable};
  return SysResult::Success(fd);
}

FileStatus MemoryFileSystem::StatusOf(const Node& node) {
  FileStatus status;
  status.kind = node.kind;
  status.size = node.bytes.size();
  status.mode = node.mode;
  status.uid = node.uid;
  status.gid = node.gid;
  return status;
}

SysResult MemoryFileSystem::Open(const std::string& path, int flags, std::uint32_t mode) {
  const int access = flags & O_ACCMODE;
  const bool readable = access == O_RDONLY || access == O_RDWR;
  const bool writable = access == O_WRONLY || access == O_RDWR;
  auto node = Find(path);
  if (node && (flags & O_CREAT) && (flags & O_EXCL)) return SysResult::Failure(EEXIST);
  if (!node) {
    if (!(flags & O_CREAT)) return SysResult::Failure(ENOENT);
    if (!ParentExists(path)) return SysResult::Failure(ENOENT);
    SetFile(path, {}, mode & 07777);
    return OpenNode(Find(path), readable, writable);
  }
  if (node->kind == FileStatus::Kind::kDirectory) {
    if (writable) return SysResult::Failure(EISDIR);
  } else if (flags & O_DIRECTORY) {
    return SysResult::Failure(ENOTDIR);
  }
  if ((readable && !(node->mode & 0400)) || (writable && !(node->mode & 0200))) {
    return SysResult::Failure(EACCES);
  }
  if ((flags & O_TRUNC) && writable) node->bytes.clear();
  return OpenNode(std::move(node), readable, writable);
}

SysResult MemoryFileSystem::Close(int fd) {
  Description* description = Described(fd);
  if (!description) return SysResult::Failure(EBADF);
  if (description->node->lock_holder == fd) description->node->lock_holder = -1;
  open_.erase(fd);
  return SysResult::Success();
}

SysResult MemoryFileSystem::Read(int fd, void* buffer, std::size_t count) {
  Description* description = Described(fd);
  if (!description || !description->readable) return SysResult::Failure(EBADF);
  const SysResult result = PRead(fd, buffer, count, description->position);
  if (result.Ok()) description->position += static_cast<std::uint64_t>(result.value);
  return result;
}

SysResult MemoryFileSystem::PRead(int fd, void* buffer, std::size_t count, std::uint64_t offset) {
  Description* description = Described(fd);
  if (!description || !description->readable) return SysResult::Failure(EBADF);
  const Node& node = *description->node;
  if (node.kind == FileStatus::Kind::kDirectory) return SysResult::Failure(EISDIR);
  if (offset >= node.bytes.size()) return SysResult::Success(0);
  const std::size_t moved = std::min<std::uint64_t>(count, node.bytes.size() - offset);
  std::memcpy(buffer, node.bytes.data() + offset, moved);
  return SysResult::Success(static_cast<std::int64_t>(moved));
}

SysResult MemoryFileSystem::Write(int fd, const void* buffer, std::size_t count) {
  Description* description = Described(fd);
  if (!description || !description->writable) return SysResult::Failure(EBADF);
  std::string& bytes = description->node->bytes;
  const std::uint64_t end = description->position + count;
  if (end > bytes.size()) bytes.resize(end);
  std::memcpy(bytes.data() + description->position, buffer, count);
  description->position = end;
  return SysResult::Success(static_cast<std::int64_t>(count));
}

SysResult MemoryFileSystem::FSync(int fd) {
  return Described(fd) ? SysResult::Success() : SysResult::Failure(EBADF);
}

SysResult MemoryFileSystem::Flock(int fd, int operation) {
  Description* description = Described(fd);
  if (!description) return SysResult::Failure(EBADF);
  Node& node = *description->node;
  if (operation & LOCK_UN) {
    if (node.lock_holder == fd) node.lock_holder = -1;
    return SysResult::Success();
  }
  if (node.lock_holder != -1 && node.lock_holder != fd) return SysResult::Failure(EWOULDBLOCK);
  node.lock_holder = fd;
  return SysResult::Success();
}

SysResult MemoryFileSystem::LockRecords(int fd) { return Flock(fd, LOCK_EX | LOCK_NB); }

SysResult MemoryFileSystem::FStat(int fd, FileStatus& status) {
  Description* description = Described(fd);
  if (!description) return SysResult::Failure(EBADF);
  status = StatusOf(*description->node);
  return SysResult::Success();
}

SysResult MemoryFileSystem::Stat(const std::string& path, FileStatus& status) {
  const auto node = Find(path);
  if (!node) return SysResult::Failure(ENOENT);
  status = StatusOf(*node);
  return SysResult::Success();
}

SysResult MemoryFileSystem::LStat(const std::string& path, FileStatus& status) {
  return Stat(path, status);
}

SysResult MemoryFileSystem::MkTemp(std::string& path_template) {
  constexpr std::string_view kPattern = "XXXXXX";
  if (path_template.size() < kPattern.size() ||
      path_template.compare(path_template.size() - kPattern.size(), kPattern.size(), kPattern) !=
          0) {
    return SysResult::Failure(EINVAL);
  }
  for (;;) {
    std::string digits = std::to_string(next_temp_++ % 1000000);
    digits.insert(0, kPattern.size() - digits.size(), '0');
    std::string candidate = path_template;
    candidate.replace(candidate.size() - kPattern.size(), kPattern.size(), digits);
    const SysResult result = Open(candidate, O_RDWR | O_CREAT | O_EXCL, 0600);
    if (result.error == EEXIST) continue;
    if (result.Ok()) path_template = candidate;
    return result;
  }
}

SysResult MemoryFileSystem::FChmod(int fd, std::uint32_t mode) {
  Description* description = Described(fd);
  if (!description) return SysResult::Failure(EBADF);
  description->node->mode = mode & 07777;
  return SysResult::Success();
}

SysResult MemoryFileSystem::FChown(int fd, std::uint32_t uid, std::uint32_t gid) {
  Description* description = Described(fd);
  if (!description) return SysResult::Failure(EBADF);
  description->node->uid = uid;
  description->node->gid = gid;
  return SysResult::Success();
}

SysResult MemoryFileSystem::Rename(const std::string& from, const std::string& to) {
  auto node = Find(from);
  if (!node) return SysResult::Failure(ENOENT);
  if (!ParentExists(to)) return SysResult::Failure(ENOENT);
  const auto target = Find(to);
  if (target && target->kind == FileStatus::Kind::kDirectory) return SysResult::Failure(EISDIR);
  entries_.erase(Normalized(from));
  entries_[Normalized(to)] = std::move(node);
  return SysResult::Success();
}

SysResult MemoryFileSystem::Unlink(const std::string& path) {
  const auto node = Find(path);
  if (!node) return SysResult::Failure(ENOENT);
  if (node->kind == FileStatus::Kind::kDirectory) return SysResult::Failure(EISDIR);
  entries_.erase(Normalized(path));
  return SysResult::Success();
}

SysResult MemoryFileSystem::RealPath(const std::string& path, std::string& resolved) {
  if (!Find(path)) return SysResult::Failure(ENOENT);
  resolved = Normalized(path);
  return SysResult::Success();
}

SysResult MemoryFileSystem::ListDirectory(const std::string& path,
                                          std::vector<std::string>& names) {
  const auto dir = Find(path);
  if (!dir) return SysResult::Failure(ENOENT);
  if (dir->kind != FileStatus::Kind::kDirectory) return SysResult::Failure(ENOTDIR);
  const std::string key = Normalized(path);
  names.clear();
  for (const auto& [entry, node] : entries_) {
    if (entry == key || ParentOf(entry) != key) continue;
    const std::size_t slash = entry.rfind('/');
    names.push_back(slash == std::string::npos ? entry : entry.substr(slash + 1));
  }
  return SysResult::Success();
}

}  // namespace tol
