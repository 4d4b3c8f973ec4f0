#include "platform/monotonic_clock.h"
#include "platform/sleeper.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <csignal>
#include <ctime>
#endif

namespace obturix {
namespace {

using namespace std::chrono_literals;

// Lower bounds only: a sleep must never end before its deadline. How close
// to the deadline it ends is measured by the benchmark, not here.
TEST(SystemSleeper, NeverWakesBeforeTheDeadline) {
  auto sleeper = makeSystemSleeper();
  for (const auto duration : {0ms, 1ms, 15ms}) {
    const auto start = monotonicNow();
    sleeper->sleepFor(duration);
    EXPECT_GE(monotonicNow() - start, duration) << duration.count() << " ms";
  }
}

TEST(MonotonicClock, PastDeadlinesReturnAtOnceAndTimeNeverGoesBack) {
  const auto before = monotonicNow();
  sleepUntilMonotonic(before - 1s);
  sleepUntilMonotonic(std::chrono::nanoseconds(0));
  EXPECT_GE(monotonicNow(), before);
}

#ifndef _WIN32
void ignoreSignal(int) {}

TEST(SystemSleeper, ResumesAfterASignalUntilTheDeadline) {
  struct sigaction action {};
  action.sa_handler = ignoreSignal; // interrupts system calls, no SA_RESTART
  struct sigaction previous {};
  ASSERT_EQ(sigaction(SIGALRM, &action, &previous), 0);
  timer_t timer{};
  sigevent event{};
  event.sigev_notify = SIGEV_SIGNAL;
  event.sigev_signo = SIGALRM;
  ASSERT_EQ(timer_create(CLOCK_MONOTONIC, &event, &timer), 0);
  itimerspec every5ms{};
  every5ms.it_value.tv_nsec = 5'000'000;
  every5ms.it_interval.tv_nsec = 5'000'000;
  ASSERT_EQ(timer_settime(timer, 0, &every5ms, nullptr), 0);

  const auto start = monotonicNow();
  makeSystemSleeper()->sleepFor(30ms);
  const auto elapsed = monotonicNow() - start;

  timer_delete(timer);
  sigaction(SIGALRM, &previous, nullptr);
  EXPECT_GE(elapsed, 30ms);
}
#endif

} // namespace
} // namespace obturix
