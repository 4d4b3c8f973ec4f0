#include "timing/monotonic_clock.h"
#include "timing/sleeper.h"

#include <gtest/gtest.h>

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

TEST(MonotonicClock, PastDeadlinesReturnAtOnceAndTimeNeverGoesBack) {
  const auto before = monotonicNow();
  sleepUntilMonotonic(before - 1s);
  sleepUntilMonotonic(std::chrono::nanoseconds(0));
  EXPECT_GE(monotonicNow(), before);
}

} // namespace
} // namespace obturix
