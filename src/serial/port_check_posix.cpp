#include "files/user_files_posix.h"
#include "serial/port_check.h"
#include "serial/port_lock_posix.h"
#include "serial/port_names.h"
#include "serial/serial_devices_posix.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace obturix {

namespace fs = std::filesystem;

namespace {

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

// Earlier versions claimed ports with one file per port ever used, in the
// runtime or the settings folder, and never removed them.
void removeOldClaimFiles() {
  std::vector<fs::path> folders;
  if (const auto settings = userConfigFolder())
    folders.push_back(*settings);
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && runtime[0] == '/')
    folders.emplace_back(runtime);
  for (const fs::path& folder : folders) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
      const std::string name = entry.path().filename().string();
      if (name.starts_with("obturix-port-") && name.ends_with(".lock"))
        fs::remove(entry.path(), error);
    }
  }
}

class PosixPortCheck final : public PortCheck {
public:
  explicit PosixPortCheck(fs::path lockFolder) : lockFolder_(std::move(lockFolder)) {}

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

  // The serial lock file of the device, so that every name of a port (COM1,
  // /dev/ttyS0, a link) claims the same one, for every user and session.
  // Where none can be made there, one in the private runtime folder keeps
  // this user's copies off; failing that, the series goes ahead unclaimed.
  // Either way the claim says how short of the machine it falls, and why.
  std::unique_ptr<PortClaim> claim(const std::string& portName,
                                   std::optional<PortHolder>& holder) override {
    removeOldClaimFiles();
    const std::string path = posixDevicePath(portName);
    PortLock lock = lockPort(lockFolder_, path, ClaimReach::Machine);
    const auto shortfall = lock.shortfall;
    if (!lock.claim && !lock.refused) {
      if (const auto runtime = privateRuntimeFolder())
        lock = lockPort(*runtime, path, ClaimReach::ThisUser, shortfall);
    }
    holder = lock.holder;
    if (lock.claim || lock.refused)
      return std::move(lock.claim);
    return std::make_unique<PortClaim>(ClaimReach::Nobody, shortfall);
  }

private:
  SerialDevices devices_;
  fs::path lockFolder_;
};

} // namespace

std::unique_ptr<PortCheck> makePosixPortCheck(fs::path lockFolder) {
  return std::make_unique<PosixPortCheck>(std::move(lockFolder));
}

std::unique_ptr<PortCheck> makeSystemPortCheck() { return makePosixPortCheck(systemLockFolder); }

} // namespace obturix
