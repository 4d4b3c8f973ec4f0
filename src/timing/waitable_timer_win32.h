#pragma once

#include <windows.h>

#include <timeapi.h>

#include <chrono>

#include "timing/sleeper.h"

// Debian 12's MinGW headers lack it; Windows 10 1803 and later know it.
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace obturix {

// The system calls that decide how finely waits are timed, so that tests can
// stand in for them.
struct TimerCalls {
  decltype(&CreateWaitableTimerExW) createTimer = CreateWaitableTimerExW;
  decltype(&timeBeginPeriod) beginPeriod = timeBeginPeriod;
  decltype(&timeEndPeriod) endPeriod = timeEndPeriod;
};

// A waitable timer that ends its waits within a fraction of a millisecond,
// or nullptr where the system refuses the flag (before Windows 10 1803).
HANDLE createHighResolutionTimer(const TimerCalls& calls = {});

// Where waitable timers have no high resolution, the system timer raised to
// 1 ms for its own life, so that a wait does not end on the next 15.6 ms
// tick; lowered again when dropped.
class FineSystemTimer {
public:
  explicit FineSystemTimer(const TimerCalls& calls = {});
  ~FineSystemTimer();
  FineSystemTimer(const FineSystemTimer&) = delete;
  FineSystemTimer& operator=(const FineSystemTimer&) = delete;

private:
  TimerCalls calls_;
  bool raised_ = false;
};

// Blocks until monotonicNow() >= deadline, until `stop` (an event, or
// nullptr for none) is set, or until `held` (or nullptr) is lost, whichever
// comes first; whether `held` was lost.
bool waitUntilMonotonic(std::chrono::nanoseconds deadline, HANDLE stop, Held* held = nullptr);

} // namespace obturix
