#pragma once

#include "serial/port_check.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace obturix {

// The lock file that every serial program respects for a device, named by
// the device once links are resolved: LCK..ttyUSB0 for /dev/ttyUSB0 or any
// link to it; a device in a sub-folder of /dev takes the folder's name too,
// with an underscore: LCK..pts_3 for /dev/pts/3. Nothing when the path names
// no device.
std::optional<std::string> lockFileName(const std::string& devicePath);

// What became of an attempt to take a device's lock file in a folder: held
// (`claim`), refused because a living program holds it (`holder` names it
// where it can be told), or neither, when no lock file of ours can be made
// there (`shortfall` says why).
struct PortLock {
  std::unique_ptr<PortClaim> claim;
  bool refused = false;
  std::optional<PortHolder> holder;
  std::optional<ClaimShortfall> shortfall;
};

// Takes the device's lock file in `folder` (the serial convention: made
// exclusively, holding the owner's process number in ten characters and a
// newline), held with flock for the claim's life and removed with it, made
// again by keep() if something removes it meanwhile, and let go by the
// system if the program dies. A lock file whose process is gone is taken
// over; its number is read in text or in the older four-byte binary form,
// and one that fits no process is stale. The claim reports `reach` and
// `shortfall`.
PortLock lockPort(const std::filesystem::path& folder, const std::string& devicePath,
                  ClaimReach reach, const std::optional<ClaimShortfall>& shortfall = std::nullopt);

// The system's folder of serial lock files.
inline constexpr const char* systemLockFolder = "/run/lock";

// The user's runtime folder when it is the user's own and private: where a
// port's lock file keeps at least this user's other copies off, when the
// system's lock folder cannot take one (never the settings folder, which
// other sessions of the same user do not share).
std::optional<std::filesystem::path> privateRuntimeFolder();

// A port's lock file held by a living process: the device its name gives
// (LCK..pts_3: /dev/pts/3), and the process.
struct LockedPort {
  std::string device;
  PortHolder holder;
};

// The lock files of `folder` that living processes hold.
std::vector<LockedPort> lockedPorts(const std::filesystem::path& folder);

// The port check with its lock files in `lockFolder` (the system's is
// systemLockFolder).
std::unique_ptr<PortCheck> makePosixPortCheck(std::filesystem::path lockFolder);

} // namespace obturix
