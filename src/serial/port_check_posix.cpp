#include "registry/hive_registry.h"
#include "serial/port_check.h"
#include "serial/port_names.h"
#include "serial/serial_devices_posix.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace obturix {

namespace fs = std::filesystem;

namespace {

// Holds the lock on the port's claim file; the system lets it go with the
// descriptor, also when the program dies.
class FileClaim final : public PortClaim {
public:
  explicit FileClaim(int fd) : fd_(fd) {}
  FileClaim(const FileClaim&) = delete;
  FileClaim& operator=(const FileClaim&) = delete;
  ~FileClaim() override { ::close(fd_); }

private:
  int fd_;
};

// The group whose members may read and write the device, when it is not
// root's own (joining root's group is no advice to give).
std::string groupThatMayOpen(const struct stat& device) {
  if ((device.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP) || device.st_gid == 0)
    return {};
  const group* entry = getgrgid(device.st_gid);
  return entry && entry->gr_name ? entry->gr_name : "";
}

std::string accountName() {
  const passwd* user = getpwuid(geteuid());
  return user && user->pw_name ? user->pw_name : "";
}

// Claim files live where the user's running programs keep theirs, or with the
// settings when the session has no such folder.
std::optional<fs::path> claimFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && runtime[0] == '/')
    return fs::path(runtime);
  return userConfigFolder();
}

class PosixPortCheck final : public PortCheck {
public:
  PortStatus check(const std::string& portName) override {
    const std::string path = posixDevicePath(portName);
    struct stat device {};
    if (!devices_.identify(path)) {
      const bool exists = !comPortNumber(portName) && path.find('\0') == std::string::npos &&
                          ::stat(path.c_str(), &device) == 0;
      return {exists ? PortStatus::Access::NotSerial : PortStatus::Access::Missing, {}, {}};
    }
    if (faccessat(AT_FDCWD, path.c_str(), R_OK | W_OK, AT_EACCESS) == 0)
      return {PortStatus::Access::Usable, {}, {}};
    const bool known = ::stat(path.c_str(), &device) == 0;
    return {.access = PortStatus::Access::Forbidden,
            .group = known ? groupThatMayOpen(device) : "",
            .account = accountName()};
  }

  std::vector<std::string> available() override { return devices_.available(); }

  // One lock file per device number, so that every name of a port (COM1,
  // /dev/ttyS0, a link) claims the same one. Where no claim file can be
  // had, the series goes ahead unclaimed.
  std::unique_ptr<PortClaim> claim(const std::string& portName) override {
    struct stat device {};
    const auto folder = claimFolder();
    if (!folder || ::stat(posixDevicePath(portName).c_str(), &device) != 0)
      return std::make_unique<PortClaim>();
    const fs::path file = *folder / ("obturix-port-" + std::to_string(major(device.st_rdev)) + "-" +
                                     std::to_string(minor(device.st_rdev)) + ".lock");
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
      return std::make_unique<PortClaim>();
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const bool held = errno == EWOULDBLOCK;
      ::close(fd);
      return held ? nullptr : std::make_unique<PortClaim>();
    }
    return std::make_unique<FileClaim>(fd);
  }

private:
  SerialDevices devices_;
};

} // namespace

std::unique_ptr<PortCheck> makeSystemPortCheck() { return std::make_unique<PosixPortCheck>(); }

} // namespace obturix
