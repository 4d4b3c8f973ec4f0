#pragma once

#include <chrono>

namespace obturix {

// Time on the system's monotonic clock, from an arbitrary origin.
std::chrono::nanoseconds monotonicNow();

// Blocks until monotonicNow() >= deadline. Returns at once for a past deadline.
void sleepUntilMonotonic(std::chrono::nanoseconds deadline);

// POSIX: the calling thread's timers fire at their deadline, not up to 50 us
// late to batch wake-ups; an exposure wants its millisecond exact.
void keepTimersExact();

} // namespace obturix
