#include "serial/port_lock_posix.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace obturix {

namespace fs = std::filesystem;

namespace {

// A process number as written in a lock file: in text (the HDB convention,
// blanks around it allowed), or none.
std::optional<long> readOwner(int fd) {
  char text[32] = {};
  const ssize_t got = pread(fd, text, sizeof text - 1, 0);
  if (got <= 0)
    return std::nullopt;
  char* end = nullptr;
  const long pid = std::strtol(text, &end, 10);
  if (end == text || pid <= 0)
    return std::nullopt;
  return pid;
}

bool isAlive(long pid) { return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM; }

std::string programOf(long pid) {
  std::string name;
  std::ifstream("/proc/" + std::to_string(pid) + "/comm") >> name;
  return name.empty() ? "?" : name;
}

bool writeOwner(int fd) {
  char text[16];
  std::snprintf(text, sizeof text, "%10ld\n", static_cast<long>(getpid()));
  return ftruncate(fd, 0) == 0 && pwrite(fd, text, 11, 0) == 11;
}

// Whether `path` still names the file open as `fd` (not removed or replaced).
bool isAt(int fd, const fs::path& path) {
  struct stat named {
  }, opened{};
  return ::lstat(path.c_str(), &named) == 0 && ::fstat(fd, &opened) == 0 &&
         named.st_dev == opened.st_dev && named.st_ino == opened.st_ino;
}

class LockFileClaim final : public PortClaim {
public:
  LockFileClaim(int fd, fs::path path) : fd_(fd), path_(std::move(path)) {}
  LockFileClaim(const LockFileClaim&) = delete;
  LockFileClaim& operator=(const LockFileClaim&) = delete;
  bool exclusive() const override { return true; }
  // Emptied first: a program that opened it meanwhile then finds it stale.
  ~LockFileClaim() override {
    if (isAt(fd_, path_)) {
      [[maybe_unused]] const int emptied = ftruncate(fd_, 0);
      ::unlink(path_.c_str());
    }
    ::close(fd_);
  }

private:
  int fd_;
  fs::path path_;
};

} // namespace

std::optional<std::string> lockFileName(const std::string& devicePath) {
  std::error_code error;
  const fs::path device = fs::canonical(devicePath, error);
  if (error)
    return std::nullopt;
  std::string name = device.lexically_relative("/dev").string();
  if (name.empty() || name.starts_with(".."))
    name = device.relative_path().string(); // outside /dev: the whole path
  for (char& c : name)
    if (c == '/')
      c = '_';
  return "LCK.." + name;
}

std::unique_ptr<PortClaim> lockPort(const fs::path& folder, const std::string& devicePath,
                                    std::optional<PortHolder>& holder, bool& made) {
  made = false;
  const auto name = lockFileName(devicePath);
  if (!name)
    return std::make_unique<PortClaim>();
  const fs::path path = folder / *name;
  for (int attempt = 0; attempt < 3; ++attempt) {
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    const bool created = fd >= 0;
    bool writable = true;
    if (!created && errno == EEXIST)
      fd = ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (!created && fd < 0 && errno == EACCES) { // another user's: can still be read and flocked
      fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
      writable = false;
    }
    if (fd < 0) {
      if (errno == ENOENT)
        continue; // removed meanwhile by its owner
      return std::make_unique<PortClaim>();
    }
    made = true;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) { // another copy of Obturix holds it
      if (const auto owner = readOwner(fd))
        holder = PortHolder{programOf(*owner), *owner};
      ::close(fd);
      return nullptr;
    }
    if (!created) {
      const auto owner = readOwner(fd);
      if (owner && isAlive(*owner)) { // a program that does not use flock
        holder = PortHolder{programOf(*owner), *owner};
        ::close(fd);
        return nullptr;
      }
      if (!isAt(fd, path)) { // its owner removed it as we opened it
        ::close(fd);
        continue;
      }
      if (!writable) { // stale, another user's: removed where the folder allows
        const bool removed = ::unlink(path.c_str()) == 0;
        ::close(fd);
        if (removed)
          continue;
        return std::make_unique<PortClaim>(); // nobody uses the port: unclaimed
      }
    }
    if (!writeOwner(fd)) {
      ::close(fd);
      made = false;
      return std::make_unique<PortClaim>();
    }
    return std::make_unique<LockFileClaim>(fd, path);
  }
  return nullptr;
}

} // namespace obturix
