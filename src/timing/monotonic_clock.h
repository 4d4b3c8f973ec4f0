#pragma once

#include <chrono>

namespace obturix {

// Time on the system's monotonic clock, from an arbitrary origin.
std::chrono::nanoseconds monotonicNow();

// Blocks until monotonicNow() >= deadline. Returns at once for a past deadline.
void sleepUntilMonotonic(std::chrono::nanoseconds deadline);

} // namespace obturix
