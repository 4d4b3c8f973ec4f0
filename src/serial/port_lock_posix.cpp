#include "serial/port_lock_posix.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace obturix {

namespace fs = std::filesystem;

namespace {

// The largest process number this system hands out.
long long highestPid() {
  long long highest = 0;
  std::ifstream("/proc/sys/kernel/pid_max") >> highest;
  return highest > 0 ? highest : 4194304; // the kernel's own ceiling
}

// A process number as written in a lock file: in text (the HDB convention,
// blanks around it allowed), or in four bytes of the machine's order (the
// older binary convention); nothing when neither. Read wide, so that no
// number is narrowed into another process's.
std::optional<long long> readOwner(int fd) {
  char text[32] = {};
  const ssize_t got = pread(fd, text, sizeof text - 1, 0);
  if (got <= 0)
    return std::nullopt;
  const auto isTextByte = [](char c) { return (c >= '0' && c <= '9') || c == ' ' || c == '\n'; };
  if (got == 4 && !std::all_of(text, text + 4, isTextByte)) {
    std::int32_t binary = 0;
    std::memcpy(&binary, text, sizeof binary);
    return binary;
  }
  char* end = nullptr;
  errno = 0;
  const long long pid = std::strtoll(text, &end, 10);
  if (end == text || errno == ERANGE)
    return std::nullopt;
  return pid;
}

// A number that fits no process names none: stale. One this user may not
// signal is alive all the same.
bool isAlive(long long pid) {
  return pid > 0 && pid <= highestPid() &&
         (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

// The program and its account, when not this user's.
PortHolder holderOf(long long pid) {
  const std::string process = "/proc/" + std::to_string(pid);
  std::string name;
  std::ifstream(process + "/comm") >> name;
  PortHolder holder{name.empty() ? "?" : name, static_cast<long>(pid), {}};
  struct stat owner {};
  if (::stat(process.c_str(), &owner) == 0 && owner.st_uid != geteuid()) {
    const passwd* account = getpwuid(owner.st_uid);
    holder.account = account && account->pw_name ? account->pw_name : std::to_string(owner.st_uid);
  }
  return holder;
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

// A new lock file of ours at `path`, flocked and naming this process; -1
// with errno set when none can be made.
int makeLockFile(const fs::path& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0)
    return -1;
  // Another program that opened it meanwhile and holds it has it.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    errno = EEXIST;
    return -1;
  }
  if (!writeOwner(fd)) {
    const int error = errno;
    ::unlink(path.c_str());
    ::close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

class LockFileClaim final : public PortClaim {
public:
  LockFileClaim(int fd, fs::path path, ClaimReach reach, std::optional<ClaimShortfall> shortfall)
      : PortClaim(reach, std::move(shortfall)), fd_(fd), path_(std::move(path)) {}
  LockFileClaim(const LockFileClaim&) = delete;
  LockFileClaim& operator=(const LockFileClaim&) = delete;
  // A cleaner or an administrator removed it: the flock on a file that no
  // name leads to keeps nobody off, so it is made again where nothing has
  // taken its place.
  void keep() override {
    if (isAt(fd_, path_))
      return;
    if (const int fd = makeLockFile(path_); fd >= 0) {
      ::close(fd_);
      fd_ = fd;
    }
  }
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

PortLock held(std::unique_ptr<PortClaim> claim) {
  PortLock lock;
  lock.claim = std::move(claim);
  return lock;
}

PortLock unusable(const fs::path& path, int error) {
  PortLock lock;
  lock.shortfall = ClaimShortfall{path.string(), error};
  return lock;
}

// Named where its number leads to a living process.
PortLock refusedBy(std::optional<long long> owner) {
  PortLock lock;
  lock.refused = true;
  if (owner && isAlive(*owner))
    lock.holder = holderOf(*owner);
  return lock;
}

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

PortLock lockPort(const fs::path& folder, const std::string& devicePath, ClaimReach reach,
                  const std::optional<ClaimShortfall>& shortfall) {
  const auto name = lockFileName(devicePath);
  if (!name)
    return unusable(folder, ENOENT);
  const fs::path path = folder / *name;
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (const int made = makeLockFile(path); made >= 0)
      return held(std::make_unique<LockFileClaim>(made, path, reach, shortfall));
    if (errno != EEXIST) // no folder, or one this user may not write to
      return unusable(path, errno);
    bool writable = true;
    int fd = ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == EACCES) { // another user's: can still be read and flocked
      fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
      writable = false;
    }
    if (fd < 0 && errno == ENOENT)
      continue; // removed meanwhile by its owner
    if (fd < 0) // a link or a folder planted there
      return unusable(path, errno);
    struct stat file {};
    if (::fstat(fd, &file) != 0 || !S_ISREG(file.st_mode)) {
      ::close(fd);
      return unusable(path, EEXIST);
    }
    const auto owner = readOwner(fd);
    // Held with flock by another copy of Obturix, or named by a living
    // program that does not use flock.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 || (owner && isAlive(*owner))) {
      ::close(fd);
      return refusedBy(owner);
    }
    if (!isAt(fd, path)) { // its owner removed it as we opened it
      ::close(fd);
      continue;
    }
    if (writable && writeOwner(fd))
      return held(std::make_unique<LockFileClaim>(fd, path, reach, shortfall));
    // Stale but not ours to rewrite: removed where the folder allows.
    const bool removed = ::unlink(path.c_str()) == 0;
    const int error = errno;
    ::close(fd);
    if (!removed)
      return unusable(path, error);
  }
  return refusedBy(std::nullopt);
}

} // namespace obturix
