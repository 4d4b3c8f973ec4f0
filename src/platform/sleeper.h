#pragma once

#include <chrono>
#include <memory>

namespace obturix {

// Blocks the calling thread for a number of milliseconds.
class Sleeper {
public:
  virtual ~Sleeper() = default;
  virtual void sleepFor(std::chrono::milliseconds duration) = 0;
};

// Sleeps against an absolute deadline on the monotonic clock, without
// busy-waiting and without returning early after a signal.
std::unique_ptr<Sleeper> makeSystemSleeper();

} // namespace obturix
