#include "power/bus_posix.h"

#include "timing/monotonic_clock.h"

namespace obturix {

Bus openBus(int (*open)(sd_bus**), std::uint64_t timeout) {
  sd_bus* opened = nullptr;
  if (open(&opened) < 0)
    return {nullptr, sd_bus_close_unref};
  Bus bus(opened, sd_bus_close_unref);
  sd_bus_set_method_call_timeout(bus.get(), busTimeoutMicroseconds);
  const auto deadline = monotonicNow() + std::chrono::microseconds(timeout);
  for (;;) {
    const int ready = sd_bus_is_ready(bus.get());
    if (ready > 0)
      return bus;
    if (ready < 0)
      break;
    const int processed = sd_bus_process(bus.get(), nullptr);
    if (processed < 0)
      break;
    if (processed > 0)
      continue;
    const auto left =
        std::chrono::duration_cast<std::chrono::microseconds>(deadline - monotonicNow());
    if (left.count() <= 0 || sd_bus_wait(bus.get(), static_cast<std::uint64_t>(left.count())) < 0)
      break;
  }
  return {nullptr, sd_bus_close_unref};
}

} // namespace obturix
