#pragma once

#include "files/descriptor_posix.h"

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace obturix {

// Which device is behind a path: the one checked is the one opened.
struct DeviceIdentity {
  dev_t device;
  ino_t inode;
  dev_t rdev;
  bool pseudoTerminal;
};

// The serial ports among the system's character devices: those of a serial
// or pseudo-terminal driver (/proc/tty/drivers), but not a ttyS whose UART
// is absent (sysfs type 0). Pseudo-terminals count: they are virtual ports.
class SerialDevices {
public:
  struct Places {
    std::filesystem::path devices, drivers, sysfsCharDevices;
  };
  SerialDevices() : SerialDevices({"/dev", "/proc/tty/drivers", "/sys/dev/char"}) {}
  explicit SerialDevices(Places places) : places_(std::move(places)) {}

  // The serial port at a path (links followed), or nothing.
  std::optional<DeviceIdentity> identify(const std::string& path);
  // The serial ports in the devices folder and its serial/by-id folder,
  // "COMn" for a ttyS; pseudo-terminals are not listed.
  std::vector<std::string> available();

private:
  enum class DriverKind { Serial, PseudoTerminal, Other };
  DriverKind driverOf(dev_t rdev);
  bool uartAbsent(dev_t rdev) const;
  void readDrivers();

  struct Driver {
    unsigned major, firstMinor, lastMinor;
    DriverKind kind;
  };
  Places places_;
  std::vector<Driver> drivers_; // read again when a device's driver is not in it
};

// Opens the device at `path` as a port if it is still the one identified:
// non-blocking, not as controlling terminal. None when it cannot be opened
// (errno says why) or is not that device (the path was changed since: errno
// is ENODEV), in which case nothing stays open.
Descriptor openIdentified(const std::string& path, const DeviceIdentity& identity);

} // namespace obturix
