#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

namespace obturix {

// Something held through a wait whose loss ends the wait at once: a port
// held open, whose adapter or cable is pulled out.
class Held {
public:
  virtual ~Held() = default;
  // What the system signals when it may be lost. POSIX: a descriptor, which
  // polls as hung up. Windows: an event handle, or 0 where the system gives
  // none; `lost` is then asked every tenth of a second.
  virtual std::intptr_t lossSignal() = 0;
  // Whether it is lost, asked once its signal fired (or, without one, at each
  // check); when not, it is watched on.
  virtual bool lost() = 0;
};

// Blocks the calling thread until a deadline on its clock, or until another
// thread interrupts it, whichever comes first.
class Sleeper {
public:
  virtual ~Sleeper() = default;
  virtual std::chrono::nanoseconds now() const = 0;
  // Returns at once for a deadline already past, and while interrupted.
  virtual void sleepUntil(std::chrono::nanoseconds deadline) = 0;
  // The same, ended also when `held` is lost; whether it was. The deadline
  // is kept as exactly as by sleepUntil.
  virtual bool holdUntil(std::chrono::nanoseconds deadline, Held& held) = 0;
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
