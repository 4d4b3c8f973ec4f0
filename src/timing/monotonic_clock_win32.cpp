#include "timing/monotonic_clock.h"
#include "timing/waitable_timer_win32.h"

#include <algorithm>

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

// The timer's deadline is set again at each wake-up, so that a timer of low
// resolution is made up for; a loss without a signal of its own is looked
// for every tenth of a second.
bool waitUntilMonotonic(std::chrono::nanoseconds deadline, HANDLE stop, Held* held) {
  constexpr DWORD lossCheckEvery = 100;
  HANDLE timer = createWaitableTimer();
  for (;;) {
    const std::chrono::nanoseconds remaining = deadline - monotonicNow();
    if (remaining.count() <= 0)
      break;
    if (timer != nullptr) {
      LARGE_INTEGER due;
      due.QuadPart = -((remaining.count() + 99) / 100); // relative, in 100 ns units
      if (!SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) {
        CloseHandle(timer);
        timer = nullptr;
      }
    }
    const HANDLE signal = held ? reinterpret_cast<HANDLE>(held->lossSignal()) : nullptr;
    HANDLE handles[3];
    DWORD count = 0;
    if (stop) // first: it wins a tie
      handles[count++] = stop;
    if (timer)
      handles[count++] = timer;
    const DWORD signalled = count;
    if (signal)
      handles[count++] = signal;
    DWORD wait =
        timer ? INFINITE
              : static_cast<DWORD>(std::chrono::ceil<std::chrono::milliseconds>(remaining).count());
    if (held && !signal)
      wait = std::min(wait, lossCheckEvery);
    const DWORD woken =
        count ? WaitForMultipleObjects(count, handles, FALSE, wait) : (Sleep(wait), WAIT_TIMEOUT);
    if (stop && woken == WAIT_OBJECT_0)
      break;
    const bool lossNews = signal ? woken == WAIT_OBJECT_0 + signalled : woken == WAIT_TIMEOUT;
    if (held && lossNews && monotonicNow() < deadline && held->lost()) {
      if (timer != nullptr)
        CloseHandle(timer);
      return true;
    }
  }
  if (timer != nullptr)
    CloseHandle(timer);
  return false;
}

} // namespace obturix
