#include "tools/tool_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>
#include <memory>
#include <utility>

#include "tools/tool_errors.h"

namespace tol {
namespace {

constexpr const char* kStandardStream = "-";

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

std::string BaseNameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
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

void StoreIntoNewPath(const CellTable& table, const std::string& path) {
  Descriptor created(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (created.Get() < 0) {
    if (errno == EEXIST) throw ToolFileError(path, "the file exists already; --force replaces it");
    RaiseSystemError(path);
  }
  if (!created.Close()) RaiseSystemError(path);
  try {
    StoreTableTo(table, path);
  } catch (...) {
    ::unlink(path.c_str());
    throw;
  }
}

void StoreInPlaceOf(const CellTable& table, const std::string& path) {
  const std::string target = ResolvedPath(path);
  struct stat old_status {};
  const bool old_exists = ::stat(target.c_str(), &old_status) == 0;
  std::string temp = DirectoryOf(target) + "/." + BaseNameOf(target) + ".XXXXXX";
  Descriptor made(::mkstemp(temp.data()));
  if (made.Get() < 0) RaiseSystemError(temp);
  try {
    const mode_t mode = old_exists ? old_status.st_mode & 07777 : ModeForNewFiles();
    if (::fchmod(made.Get(), mode) != 0 || !made.Close()) RaiseSystemError(temp);
    StoreTableTo(table, temp);
    if (::rename(temp.c_str(), target.c_str()) != 0) RaiseSystemError(path);
  } catch (...) {
    ::unlink(temp.c_str());
    throw;
  }
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
  Descriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (file.Get() < 0) RaiseSystemError(path);
  for (std::size_t done = 0; done < text.size();) {
    const ssize_t put = ::write(file.Get(), text.data() + done, text.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) RaiseSystemError(path);
    done += static_cast<std::size_t>(put);
  }
  if (!file.Close()) RaiseSystemError(path);
}

void WriteTableFile(const CellTable& table, const std::string& path, bool replace) {
  if (replace) {
    StoreInPlaceOf(table, path);
  } else {
    StoreIntoNewPath(table, path);
  }
}

}  // namespace tol
