#include "serial/port_lock_posix.h"

#include "files/descriptor_posix.h"

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

// A new lock file of ours at `path`, flocked and naming this process; none
// with errno set when none can be made.
Descriptor makeLockFile(const fs::path& path) {
  Descriptor fd(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
  if (!fd)
    return fd;
  // Another program that opened it meanwhile and holds it has it.
  if (flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
    fd.close();
    errno = EEXIST;
  } else if (!writeOwner(fd.get())) {
    const int error = errno;
    ::unlink(path.c_str());
    fd.close();
    errno = error;
  }
  return fd;
}

class LockFileClaim final : public PortClaim {
public:
  LockFileClaim(Descriptor fd, fs::path path, ClaimReach reach,
                std::optional<ClaimShortfall> shortfall)
      : PortClaim(reach, std::move(shortfall)), fd_(std::move(fd)), path_(std::move(path)) {}
  // A cleaner or an administrator removed it: the flock on a file that no
  // name leads to keeps nobody off, so it is made again where nothing has
  // taken its place.
  void keep() override {
    if (isAt(fd_.get(), path_))
      return;
    if (Descriptor fd = makeLockFile(path_))
      fd_ = std::move(fd);
  }
  // Emptied first: a program that opened it meanwhile then finds it stale.
  ~LockFileClaim() override {
    if (isAt(fd_.get(), path_)) {
      [[maybe_unused]] const int emptied = ftruncate(fd_.get(), 0);
      ::unlink(path_.c_str());
    }
  }

private:
  Descriptor fd_;
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

namespace {

// What the lock file found at `path` comes to: ours when stale and ours to
// rewrite, refused when held, unusable when none of ours can be there;
// nothing when it went meanwhile, to try again.
std::optional<PortLock> takeOverLock(const fs::path& path, ClaimReach reach,
                                     const std::optional<ClaimShortfall>& shortfall) {
  bool writable = true;
  Descriptor fd(::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (!fd && errno == EACCES) { // another user's: can still be read and flocked
    fd = Descriptor(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    writable = false;
  }
  if (!fd)
    return errno == ENOENT ? std::nullopt                          // removed meanwhile by its owner
                           : std::optional(unusable(path, errno)); // a link or a folder there
  struct stat file {};
  if (::fstat(fd.get(), &file) != 0 || !S_ISREG(file.st_mode))
    return unusable(path, EEXIST);
  const auto owner = readOwner(fd.get());
  // Held with flock by another copy of Obturix, or named by a living
  // program that does not use flock.
  if (flock(fd.get(), LOCK_EX | LOCK_NB) != 0 || (owner && isAlive(*owner)))
    return refusedBy(owner);
  if (!isAt(fd.get(), path)) // its owner removed it as we opened it
    return std::nullopt;
  if (writable && writeOwner(fd.get()))
    return held(std::make_unique<LockFileClaim>(std::move(fd), path, reach, shortfall));
  // Stale but not ours to rewrite: removed where the folder allows.
  if (::unlink(path.c_str()) != 0)
    return unusable(path, errno);
  return std::nullopt;
}

} // namespace

PortLock lockPort(const fs::path& folder, const std::string& devicePath, ClaimReach reach,
                  const std::optional<ClaimShortfall>& shortfall) {
  const auto name = lockFileName(devicePath);
  if (!name)
    return unusable(folder, ENOENT);
  const fs::path path = folder / *name;
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (Descriptor made = makeLockFile(path))
      return held(std::make_unique<LockFileClaim>(std::move(made), path, reach, shortfall));
    if (errno != EEXIST) // no folder, or one this user may not write to
      return unusable(path, errno);
    if (auto found = takeOverLock(path, reach, shortfall))
      return std::move(*found);
  }
  return refusedBy(std::nullopt);
}

// The user's runtime folder when it is the user's own and private: where a
// port's lock file keeps at least this user's other copies off, when the
// system's lock folder cannot take one (never the settings folder, which
// other sessions of the same user do not share).
std::optional<fs::path> privateRuntimeFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  struct stat folder {};
  if (runtime && runtime[0] == '/' && ::stat(runtime, &folder) == 0 && S_ISDIR(folder.st_mode) &&
      folder.st_uid == geteuid() && (folder.st_mode & (S_IRWXG | S_IRWXO)) == 0)
    return fs::path(runtime);
  return std::nullopt;
}

namespace {

// The device a lock file's name stands for, as lockFileName made it.
std::string deviceOf(std::string name) {
  for (char& c : name)
    if (c == '_')
      c = '/';
  return "/dev/" + name;
}

} // namespace

std::vector<LockedPort> lockedPorts(const fs::path& folder) {
  std::vector<LockedPort> found;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with("LCK.."))
      continue;
    const Descriptor fd(
        ::open(entry.path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    const auto owner = fd ? readOwner(fd.get()) : std::nullopt;
    if (owner && isAlive(*owner))
      found.push_back({deviceOf(name.substr(5)), holderOf(*owner)});
  }
  return found;
}

} // namespace obturix
