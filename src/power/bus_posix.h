#pragma once

#include <systemd/sd-bus.h>

#include <cstdint>
#include <memory>

namespace obturix {

// The most a bus may take to let us in, then to answer each call.
inline constexpr std::uint64_t busTimeoutMicroseconds = 2'000'000;

// Closed without flushing: a bus that never let us in would hold the close
// for the 90 s sd-bus allows authentication.
using Bus = std::unique_ptr<sd_bus, decltype(&sd_bus_close_unref)>;

// A connection (sd_bus_open_system, sd_bus_open_user) that is ready for
// calls within `timeout` µs, or none: sd-bus would otherwise wait up to 90 s
// for a frozen daemon to authenticate it at the first call.
Bus openBus(int (*open)(sd_bus**), std::uint64_t timeout = busTimeoutMicroseconds);

} // namespace obturix
