#include "serial/serial_devices_posix.h"

#include "serial/port_names.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace obturix {

namespace fs = std::filesystem;

namespace {

// "ttyS3" is COM4.
std::optional<unsigned> comNumberOf(std::string_view fileName) {
  constexpr std::string_view prefix = "ttyS";
  const auto number =
      fileName.starts_with(prefix) ? smallDecimal(fileName.substr(prefix.size())) : std::nullopt;
  return number ? std::optional(*number + 1) : std::nullopt;
}

} // namespace

std::optional<DeviceIdentity> SerialDevices::identify(const std::string& path) {
  // A NUL would cut the name short: the system would see another file.
  if (path.empty() || path.find('\0') != std::string::npos)
    return std::nullopt;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISCHR(st.st_mode))
    return std::nullopt;
  const DriverKind kind = driverOf(st.st_rdev);
  if (kind == DriverKind::Other || (kind == DriverKind::Serial && uartAbsent(st.st_rdev)))
    return std::nullopt;
  return DeviceIdentity{st.st_dev, st.st_ino, st.st_rdev, kind == DriverKind::PseudoTerminal};
}

// Lines of /proc/tty/drivers: name, device prefix, major, minors ("64" or
// "0-511"), type ("serial", "pty:slave", "system:console"…).
void SerialDevices::readDrivers() {
  drivers_.clear();
  std::ifstream in(places_.drivers);
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    std::string name, prefix, minors, type;
    unsigned major = 0;
    if (!(fields >> name >> prefix >> major >> minors >> type))
      continue;
    Driver driver{major, 0, 0, DriverKind::Other};
    if (std::sscanf(minors.c_str(), "%u-%u", &driver.firstMinor, &driver.lastMinor) == 1)
      driver.lastMinor = driver.firstMinor;
    if (type == "serial")
      driver.kind = DriverKind::Serial;
    else if (type == "pty:slave")
      driver.kind = DriverKind::PseudoTerminal;
    drivers_.push_back(driver);
  }
}

SerialDevices::DriverKind SerialDevices::driverOf(dev_t rdev) {
  const auto find = [&] {
    return std::find_if(drivers_.begin(), drivers_.end(), [&](const Driver& d) {
      return d.major == major(rdev) && minor(rdev) >= d.firstMinor && minor(rdev) <= d.lastMinor;
    });
  };
  auto found = find();
  if (found == drivers_.end()) {
    readDrivers(); // a driver loaded since, such as a USB adapter's
    found = find();
  }
  return found == drivers_.end() ? DriverKind::Other : found->kind;
}

// A serial driver's port without a UART behind it reports type 0.
bool SerialDevices::uartAbsent(dev_t rdev) const {
  std::ifstream type(places_.sysfsCharDevices /
                     (std::to_string(major(rdev)) + ":" + std::to_string(minor(rdev))) / "type");
  int number = -1;
  return type >> number && number == 0;
}

std::vector<std::string> SerialDevices::available() {
  std::vector<std::pair<unsigned, std::string>> com;
  std::vector<std::string> paths;
  std::error_code error;
  for (const fs::path& folder : {places_.devices, places_.devices / "serial" / "by-id"}) {
    for (const auto& entry : fs::directory_iterator(folder, error)) {
      const auto identity = identify(entry.path().string());
      if (!identity || identity->pseudoTerminal)
        continue;
      const auto number = comNumberOf(entry.path().filename().string());
      if (number && folder == places_.devices)
        com.emplace_back(*number, "COM" + std::to_string(*number));
      else
        paths.push_back(entry.path().string());
    }
  }
  std::sort(com.begin(), com.end());
  std::sort(paths.begin(), paths.end());
  std::vector<std::string> names;
  for (auto& [number, name] : com)
    names.push_back(std::move(name));
  names.insert(names.end(), paths.begin(), paths.end());
  return names;
}

Descriptor openIdentified(const std::string& path, const DeviceIdentity& identity) {
  // Non-blocking, so a port without carrier cannot hold the series up.
  Descriptor fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!fd)
    return fd;
  struct stat st {};
  const bool same = ::fstat(fd.get(), &st) == 0 && st.st_dev == identity.device &&
                    st.st_ino == identity.inode && st.st_rdev == identity.rdev;
  if (!same || !isatty(fd.get())) {
    fd.close();
    errno = ENODEV;
  }
  return fd;
}

} // namespace obturix
