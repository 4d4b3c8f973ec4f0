#pragma once

#include <memory>

namespace obturix {

// Keeps the computer from suspending while a series runs with nobody at the
// keyboard; the display may still turn off. Taken and given back on the
// thread that runs the cycles, before the first and after the last, never
// inside a timed step; neither waits for a service that is slow to answer
// (what comes late is held from then on). What the system does not offer
// is done without, in silence: the series runs all the same.
class WakeLock {
public:
  virtual ~WakeLock() = default;
  virtual void take() = 0;
  // Gives back what take() obtained; does nothing when nothing is held.
  virtual void giveBack() = 0;
};

// Holds a wake lock for its own life, so that it is given back however the
// cycles end.
class KeptAwake {
public:
  explicit KeptAwake(WakeLock& lock) : lock_(lock) { lock_.take(); }
  ~KeptAwake() { lock_.giveBack(); }
  KeptAwake(const KeptAwake&) = delete;
  KeptAwake& operator=(const KeptAwake&) = delete;

private:
  WakeLock& lock_;
};

// Linux: logind's sleep and idle inhibitor and its lid switch's, and the
// desktop portal's where one runs. Windows: a power request, or the thread's execution state.
std::unique_ptr<WakeLock> makeSystemWakeLock();

} // namespace obturix
