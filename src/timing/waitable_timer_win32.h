#pragma once

#include <windows.h>

#include <chrono>

// Debian 12's MinGW headers lack it; Windows 10 1803 and later know it.
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace obturix {

// A waitable timer that ends its waits within a fraction of a millisecond,
// or nullptr where the system refuses the flag (before Windows 10 1803).
HANDLE createHighResolutionTimer();

// Blocks until monotonicNow() >= deadline, or until `stop` (an event, or
// nullptr for none) is set, whichever comes first.
void waitUntilMonotonic(std::chrono::nanoseconds deadline, HANDLE stop);

} // namespace obturix
