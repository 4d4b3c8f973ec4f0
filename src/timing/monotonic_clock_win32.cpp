#include "timing/monotonic_clock.h"

#include <windows.h>

namespace obturix {

namespace {

std::int64_t performanceFrequency() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}

// A high-resolution waitable timer where the system has one (Windows 10 1803
// and later), an ordinary one otherwise; the loop below makes up for either.
HANDLE createWaitableTimer() {
#ifdef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
  if (HANDLE timer = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                            TIMER_ALL_ACCESS))
    return timer;
#endif
  return CreateWaitableTimerW(nullptr, TRUE, nullptr);
}

} // namespace

std::chrono::nanoseconds monotonicNow() {
  static const std::int64_t frequency = performanceFrequency();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  const std::int64_t ticks = counter.QuadPart;
  return std::chrono::seconds(ticks / frequency) +
         std::chrono::nanoseconds((ticks % frequency) * 1'000'000'000 / frequency);
}

void sleepUntilMonotonic(std::chrono::nanoseconds deadline) {
  HANDLE timer = createWaitableTimer();
  for (;;) {
    const std::chrono::nanoseconds remaining = deadline - monotonicNow();
    if (remaining.count() <= 0)
      break;
    if (timer == nullptr) {
      const auto ms = std::chrono::ceil<std::chrono::milliseconds>(remaining).count();
      Sleep(static_cast<DWORD>(ms));
      continue;
    }
    LARGE_INTEGER due;
    due.QuadPart = -((remaining.count() + 99) / 100); // relative, in 100 ns units
    if (!SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) {
      CloseHandle(timer);
      timer = nullptr;
      continue;
    }
    WaitForSingleObject(timer, INFINITE);
  }
  if (timer != nullptr)
    CloseHandle(timer);
}

} // namespace obturix
