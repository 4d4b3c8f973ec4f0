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

// Takes the device's lock file in `folder` (the serial convention: made
// exclusively, holding the owner's process number in ten characters and a
// newline), held with flock for the claim's life and removed with it, and
// let go by the system if the program dies. A lock file whose process is
// gone is taken over. nullptr when a living process holds it, named in
// `holder` when its number can be read; an empty claim when no lock file can
// be made in `folder`, with `made` false.
std::unique_ptr<PortClaim> lockPort(const std::filesystem::path& folder,
                                    const std::string& devicePath,
                                    std::optional<PortHolder>& holder, bool& made);

// The port check with its lock files in `lockFolder` (the system's is
// /run/lock).
std::unique_ptr<PortCheck> makePosixPortCheck(std::filesystem::path lockFolder);

} // namespace obturix
