#include "timing/monotonic_clock.h"
#include "timing/sleeper.h"

#include <gtest/gtest.h>

#include <thread>

namespace obturix {
namespace {

using namespace std::chrono_literals;

// Lower bounds only: a sleep must never end before its deadline. How close
// to the deadline it ends is measured by the benchmark, not here.
TEST(SystemSleeper, NeverWakesBeforeTheDeadline) {
  auto sleeper = makeSystemSleeper();
  for (const auto duration : {0ms, 1ms, 15ms}) {
    const auto deadline = sleeper->now() + duration;
    sleeper->sleepUntil(deadline);
    EXPECT_GE(monotonicNow(), deadline) << duration.count() << " ms";
  }
}

// Another thread's interruption ends a long sleep at once, and every later
// one until resumed; sleeps then run their full length again.
TEST(SystemSleeper, AnInterruptionEndsTheSleepUntilResumed) {
  auto sleeper = makeSystemSleeper();
  std::thread interrupting([&] {
    sleepUntilMonotonic(monotonicNow() + 20ms);
    sleeper->interrupt();
  });
  const auto start = monotonicNow();
  sleeper->sleepUntil(start + 600s);
  interrupting.join();
  sleeper->sleepUntil(monotonicNow() + 600s);
  EXPECT_LT(monotonicNow() - start, 10s); // cut short twice, not run to their end
  sleeper->resume();
  const auto deadline = sleeper->now() + 15ms;
  sleeper->sleepUntil(deadline);
  EXPECT_GE(monotonicNow(), deadline);
}

TEST(MonotonicClock, PastDeadlinesReturnAtOnceAndTimeNeverGoesBack) {
  const auto before = monotonicNow();
  sleepUntilMonotonic(before - 1s);
  sleepUntilMonotonic(std::chrono::nanoseconds(0));
  EXPECT_GE(monotonicNow(), before);
}

} // namespace
} // namespace obturix
