#pragma once

#include "serial/port_check.h"
#include "serial/serial_port.h"

#include <optional>
#include <string>
#include <vector>

namespace obturix {

// Why a series on a port that does not exist must not start, with the ports
// that do (or, when there is none, what to plug in).
std::string missingPortRefusal(const std::string& port, const std::vector<std::string>& available);

// Why a series on a port the user may not open must not start, and how to be
// allowed: join `group` (none when joining a group would not help).
std::string forbiddenPortRefusal(const std::string& port, const std::string& group,
                                 const std::string& account);

// Why a series on a port another series or program is using must not
// start, and what to do.
std::string portInUseRefusal(const std::string& port, const std::optional<PortHolder>& holder);

// Before a series on a port that could not be claimed for the whole machine:
// whom nothing keeps off it, why, and what to check.
std::string unclaimedPortWarning(const std::string& port, ClaimReach reach,
                                 const std::optional<ClaimShortfall>& shortfall);

// Why a series on a path that is no serial port must not start, with the
// ports that exist.
std::string notSerialPortRefusal(const std::string& port,
                                 const std::vector<std::string>& available);

// Why a press on `port` could not be made, in words that follow a colon:
// « le port « /dev/ttyUSB0 » a disparu (câble débranché ?) ».
std::string pressFailureCause(const PortFailure& failure, const std::string& port);

// Why a press on `port` was cut short, in the same place: « le port «
// /dev/ttyUSB0 » a disparu pendant la pose (câble débranché ?) ».
std::string pressCutCause(bool mirrorPulse, const std::string& port);

} // namespace obturix
