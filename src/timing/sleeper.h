#pragma once

#include <chrono>
#include <memory>

namespace obturix {

// Blocks the calling thread until a deadline on its clock, or until another
// thread interrupts it, whichever comes first.
class Sleeper {
public:
  virtual ~Sleeper() = default;
  virtual std::chrono::nanoseconds now() const = 0;
  // Returns at once for a deadline already past, and while interrupted.
  virtual void sleepUntil(std::chrono::nanoseconds deadline) = 0;
  // From any thread: ends the sleep under way at once, and every later one,
  // until resume().
  virtual void interrupt() = 0;
  virtual void resume() = 0;
  virtual bool interrupted() const = 0;
};

// Sleeps against absolute deadlines on the monotonic clock, without
// busy-waiting, without polling for an interruption, and without returning
// early after a signal.
std::unique_ptr<Sleeper> makeSystemSleeper();

} // namespace obturix
