#include "ui/qt/mute_session_bus.h"

#include "power/bus_posix.h"

#include <cstdlib>

namespace obturix {

// The bus named, or the user's runtime one when none is: as Qt would find it.
void hideAMuteSessionBus() {
  constexpr std::uint64_t oneSecond = 1'000'000;
  if (!openBus(sd_bus_open_user, oneSecond))
    setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1); // an address refused at once
}

} // namespace obturix
