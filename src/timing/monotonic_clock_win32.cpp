#include "timing/monotonic_clock.h"
#include "timing/waitable_timer_win32.h"

namespace obturix {

namespace {

std::int64_t performanceFrequency() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}

// A high-resolution waitable timer where the system has one, an ordinary one
// otherwise (the series then raises the system timer's resolution); the loop
// below makes up for either.
HANDLE createWaitableTimer() {
  if (HANDLE timer = createHighResolutionTimer())
    return timer;
  return CreateWaitableTimerW(nullptr, TRUE, nullptr);
}

} // namespace

HANDLE createHighResolutionTimer() {
  return CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                TIMER_ALL_ACCESS);
}

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
