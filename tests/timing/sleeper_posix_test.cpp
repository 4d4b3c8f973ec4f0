#include "timing/monotonic_clock.h"
#include "timing/sleeper.h"

#include <gtest/gtest.h>

#include <csignal>
#include <ctime>

namespace obturix {
namespace {

using namespace std::chrono_literals;

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
  makeSystemSleeper()->sleepUntil(start + 30ms);
  const auto elapsed = monotonicNow() - start;

  timer_delete(timer);
  sigaction(SIGALRM, &previous, nullptr);
  EXPECT_GE(elapsed, 30ms);
}

} // namespace
} // namespace obturix
