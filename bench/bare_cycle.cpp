#include "bare_cycle.h"

#include "timing/monotonic_clock.h"

#include <fcntl.h>
#include <unistd.h>

namespace obturix::bench {

namespace {

bool press(const std::string& port, std::chrono::milliseconds length) {
  const int fd = ::open(port.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    return false;
  sleepUntilMonotonic(monotonicNow() + length);
  ::close(fd);
  return true;
}

void pause(std::chrono::milliseconds length) { sleepUntilMonotonic(monotonicNow() + length); }

} // namespace

bool bareCycle(const std::string& port, const Steps& steps) {
  if (!press(port, steps.pulse))
    return false;
  pause(steps.settle);
  if (!press(port, steps.exposure))
    return false;
  pause(steps.interval);
  return true;
}

} // namespace obturix::bench
