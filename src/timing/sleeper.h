#pragma once

#include <chrono>
#include <memory>

namespace obturix {

// Blocks the calling thread until a deadline on its clock.
class Sleeper {
public:
  virtual ~Sleeper() = default;
  virtual std::chrono::nanoseconds now() const = 0;
  // Returns at once for a deadline already past.
  virtual void sleepUntil(std::chrono::nanoseconds deadline) = 0;
};

// Sleeps against absolute deadlines on the monotonic clock, without
// busy-waiting and without returning early after a signal.
std::unique_ptr<Sleeper> makeSystemSleeper();

} // namespace obturix
