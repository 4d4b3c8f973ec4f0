#pragma once

#include "serial/port_check.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

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

// The port check with its lock files in `lockFolder` (the system's is
// /run/lock).
std::unique_ptr<PortCheck> makePosixPortCheck(std::filesystem::path lockFolder);

} // namespace obturix
