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

HANDLE createHighResolutionTimer(const TimerCalls& calls) {
  return calls.createTimer(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                           TIMER_ALL_ACCESS);
}

FineSystemTimer::FineSystemTimer(const TimerCalls& calls) : calls_(calls) {
  if (HANDLE timer = createHighResolutionTimer(calls))
    CloseHandle(timer);
  else
    raised_ = calls.beginPeriod(1) == TIMERR_NOERROR;
}

FineSystemTimer::~FineSystemTimer() {
  if (raised_)
    calls_.endPeriod(1);
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
  waitUntilMonotonic(deadline, nullptr);
}

void waitUntilMonotonic(std::chrono::nanoseconds deadline, HANDLE stop) {
  HANDLE timer = createWaitableTimer();
  const HANDLE waitFor[] = {stop, timer}; // the stop first: it wins a tie
  const DWORD count = stop ? 2 : 1;
  const HANDLE* handles = stop ? waitFor : waitFor + 1;
  for (;;) {
    const std::chrono::nanoseconds remaining = deadline - monotonicNow();
    if (remaining.count() <= 0)
      break;
    if (timer == nullptr) {
      const auto ms =
          static_cast<DWORD>(std::chrono::ceil<std::chrono::milliseconds>(remaining).count());
      if (stop == nullptr)
        Sleep(ms);
      else if (WaitForSingleObject(stop, ms) == WAIT_OBJECT_0)
        break;
      continue;
    }
    LARGE_INTEGER due;
    due.QuadPart = -((remaining.count() + 99) / 100); // relative, in 100 ns units
    if (!SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) {
      CloseHandle(timer);
      timer = nullptr;
      continue;
    }
    if (WaitForMultipleObjects(count, handles, FALSE, INFINITE) == WAIT_OBJECT_0 && stop)
      break;
  }
  if (timer != nullptr)
    CloseHandle(timer);
}

} // namespace obturix
