#include "timing/monotonic_clock.h"
#include "timing/waitable_timer_win32.h"

#include <algorithm>
#include <utility>

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

namespace {

// A wait's own waitable timer, closed with it; none where it cannot be had
// or set (the wait is then timed by its time-out).
class WaitTimer {
public:
  WaitTimer() : timer_(createWaitableTimer()) {}
  ~WaitTimer() { forget(); }
  WaitTimer(const WaitTimer&) = delete;
  WaitTimer& operator=(const WaitTimer&) = delete;

  HANDLE get() const { return timer_; }
  void setFor(std::chrono::nanoseconds remaining) {
    LARGE_INTEGER due;
    due.QuadPart = -((remaining.count() + 99) / 100); // relative, in 100 ns units
    if (timer_ && !SetWaitableTimer(timer_, &due, 0, nullptr, nullptr, FALSE))
      forget();
  }

private:
  void forget() {
    if (timer_)
      CloseHandle(std::exchange(timer_, nullptr));
  }
  HANDLE timer_;
};

// What one wait ends on: the stop (first: it wins a tie), the timer, the
// loss's signal; and its time-out, a tenth of a second when a loss has no
// signal of its own.
struct WaitOn {
  HANDLE handles[3] = {};
  DWORD count = 0, signalAt = 0, milliseconds = INFINITE;
};

WaitOn waitOn(HANDLE stop, HANDLE timer, HANDLE signal, bool held,
              std::chrono::nanoseconds remaining) {
  constexpr DWORD lossCheckEvery = 100;
  WaitOn on;
  for (HANDLE each : {stop, timer})
    if (each)
      on.handles[on.count++] = each;
  on.signalAt = on.count;
  if (signal)
    on.handles[on.count++] = signal;
  if (!timer)
    on.milliseconds =
        static_cast<DWORD>(std::chrono::ceil<std::chrono::milliseconds>(remaining).count());
  if (held && !signal)
    on.milliseconds = std::min(on.milliseconds, lossCheckEvery);
  return on;
}

} // namespace

// The timer's deadline is set again at each wake-up, so that a timer of low
// resolution is made up for.
bool waitUntilMonotonic(std::chrono::nanoseconds deadline, HANDLE stop, Held* held) {
  WaitTimer timer;
  for (;;) {
    const std::chrono::nanoseconds remaining = deadline - monotonicNow();
    if (remaining.count() <= 0)
      return false;
    timer.setFor(remaining);
    const HANDLE signal = held ? reinterpret_cast<HANDLE>(held->lossSignal()) : nullptr;
    const WaitOn on = waitOn(stop, timer.get(), signal, held != nullptr, remaining);
    const DWORD woken = on.count
                            ? WaitForMultipleObjects(on.count, on.handles, FALSE, on.milliseconds)
                            : (Sleep(on.milliseconds), WAIT_TIMEOUT);
    if (stop && woken == WAIT_OBJECT_0)
      return false;
    const bool lossNews = signal ? woken == WAIT_OBJECT_0 + on.signalAt : woken == WAIT_TIMEOUT;
    if (held && lossNews && monotonicNow() < deadline && held->lost())
      return true;
  }
}

} // namespace obturix
