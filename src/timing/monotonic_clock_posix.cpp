#include "timing/monotonic_clock.h"

#include <cerrno>
#include <ctime>
#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace obturix {

namespace {

constexpr long nanosecondsPerSecond = 1'000'000'000L;

timespec toTimespec(std::chrono::nanoseconds t) {
  timespec ts{};
  ts.tv_sec = static_cast<time_t>(t.count() / nanosecondsPerSecond);
  ts.tv_nsec = static_cast<long>(t.count() % nanosecondsPerSecond);
  return ts;
}

} // namespace

std::chrono::nanoseconds monotonicNow() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec);
}

void keepTimersExact() {
#ifdef __linux__
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
}

void sleepUntilMonotonic(std::chrono::nanoseconds deadline) {
  if (deadline.count() <= 0)
    return;
  const timespec until = toTimespec(deadline);
  keepTimersExact();
  // An absolute deadline: a signal only interrupts the wait, it never
  // shortens or lengthens it.
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
  }
}

} // namespace obturix
