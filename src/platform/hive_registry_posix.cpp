#include "platform/hive_format.h"
#include "platform/hive_registry.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace obturix {

namespace {

long statusOf(int error) {
  switch (error) {
  case EACCES:
  case EPERM:
  case EROFS:
    return registry_status::accessDenied;
  case ENOSPC:
  case EDQUOT:
    return registry_status::diskFull;
  default:
    return registry_status::writeFault;
  }
}

// Creates the folder and its missing parents, private to the user.
bool makeFolder(const std::filesystem::path& folder) {
  if (mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST)
    return true;
  if (errno != ENOENT || !folder.has_parent_path() || folder.parent_path() == folder)
    return false;
  return makeFolder(folder.parent_path()) && (mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST);
}

bool writeAll(int fd, const std::string& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t written = ::write(fd, data.data() + done, data.size() - done);
    if (written < 0 && errno == EINTR)
      continue;
    if (written <= 0)
      return false;
    done += static_cast<std::size_t>(written);
  }
  return true;
}

std::optional<std::string> readAll(int fd, std::uintmax_t limit) {
  std::string data;
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0)
      return std::nullopt;
    if (got == 0)
      return data;
    data.append(buffer, static_cast<std::size_t>(got));
    if (data.size() > limit)
      return std::nullopt;
  }
}

std::string utcStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &utc);
  return text;
}

} // namespace

// Holds the folder's lock file for one operation. Where the lock cannot be
// had (a folder that cannot be written), reading goes on without it and
// writing fails.
class HiveRegistry::Lock {
public:
  explicit Lock(const std::filesystem::path& folder) {
    if (!makeFolder(folder))
      return;
    const auto path = folder / "registry.reg.lock";
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0)
      return;
    while (flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
    }
  }
  ~Lock() {
    if (fd_ >= 0)
      ::close(fd_); // releases the lock
  }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

private:
  int fd_ = -1;
};

HiveRegistry::HiveRegistry(std::filesystem::path folder)
    : folder_(std::move(folder)), file_(folder_ / "registry.reg") {}

long HiveRegistry::openKey(RegistryKey root, const std::string& path, std::uint32_t options,
                           std::uint32_t access, RegistryKey& opened) {
  Lock lock(folder_);
  return MemoryRegistry::openKey(root, path, options, access, opened);
}

long HiveRegistry::createKey(RegistryKey root, const std::string& path,
                             const std::string& className, std::uint32_t options,
                             std::uint32_t access, RegistryKey& opened) {
  if (!isWritableName(path) || !isWritableName(className))
    return registry_status::invalidParameter;
  Lock lock(folder_);
  return MemoryRegistry::createKey(root, path, className, options, access, opened);
}

long HiveRegistry::queryValue(RegistryKey key, const std::string& name, std::uint32_t& type,
                              std::uint8_t* data, std::uint32_t& size) {
  Lock lock(folder_);
  return MemoryRegistry::queryValue(key, name, type, data, size);
}

long HiveRegistry::setValue(RegistryKey key, const std::string& name, std::uint32_t type,
                            const std::uint8_t* data, std::uint32_t size) {
  if (!isWritableName(name))
    return registry_status::invalidParameter;
  Lock lock(folder_);
  return MemoryRegistry::setValue(key, name, type, data, size);
}

// Reads the file again: another copy of the program may have changed it.
long HiveRegistry::beforeOperation() {
  damagedFileInPlace_ = false;
  keys_ = Keys{{"", Key{}}};
  const int fd = ::open(file_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno != ENOENT)
      setAside();
    return registry_status::success;
  }
  const auto text = readAll(fd, maxFileSize);
  ::close(fd);
  const auto keys = text ? parseHive(*text) : std::nullopt;
  if (keys)
    keys_ = *keys;
  else
    setAside();
  return registry_status::success;
}

// Keeps a damaged file under another name, so nothing in it is lost.
void HiveRegistry::setAside() {
  const std::string stamp = utcStamp();
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto aside = file_;
    aside += ".bad-" + stamp + (attempt ? "-" + std::to_string(attempt) : "");
    if (::access(aside.c_str(), F_OK) == 0)
      continue;
    if (::rename(file_.c_str(), aside.c_str()) == 0)
      return;
    break;
  }
  damagedFileInPlace_ = true; // could not be moved: it must not be replaced either
}

// Replaces the file at once: a new file beside it, flushed, renamed over it.
long HiveRegistry::afterChange() {
  if (damagedFileInPlace_)
    return registry_status::accessDenied;
  if (!makeFolder(folder_))
    return statusOf(errno);
  auto temporary = file_;
  temporary += ".tmp-" + std::to_string(getpid());
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0)
    return statusOf(errno);
  const bool written = writeAll(fd, writeHive(keys_)) && fsync(fd) == 0;
  const int writeError = errno;
  if (::close(fd) != 0 || !written || ::rename(temporary.c_str(), file_.c_str()) != 0) {
    const int error = written ? errno : writeError;
    ::unlink(temporary.c_str());
    return statusOf(error);
  }
  const int folderFd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderFd >= 0) {
    fsync(folderFd);
    ::close(folderFd);
  }
  return registry_status::success;
}

std::filesystem::path userConfigFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && config[0] == '/')
    return std::filesystem::path(config) / "obturix";
  const char* home = std::getenv("HOME");
  if (!home || !home[0]) {
    const passwd* user = getpwuid(getuid());
    home = user ? user->pw_dir : "/tmp";
  }
  return std::filesystem::path(home) / ".config" / "obturix";
}

std::unique_ptr<Registry> makeUserRegistry() {
  return std::make_unique<HiveRegistry>(userConfigFolder());
}

} // namespace obturix
