#include "threads/timing_thread.h"

#include <gtest/gtest.h>

#include <pthread.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace obturix {
namespace {

// The calling thread's scheduling policy and nice value.
std::pair<int, int> ownPriority() {
  int policy = SCHED_OTHER;
  sched_param parameters{};
  pthread_getschedparam(pthread_self(), &policy, &parameters);
  return {policy, getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()))};
}

// Where the system grants it, the cycles run above every ordinary thread:
// as high as a thread that asks for it itself gets.
TEST(TimingThread, RunsTheCyclesAtTheHighestPriorityGranted) {
  std::pair<int, int> granted, cycles;
  std::thread([&] {
    sched_param realTime{sched_get_priority_min(SCHED_FIFO)};
    if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &realTime) != 0)
      setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), -10);
    granted = ownPriority();
  }).join();
  if (granted == std::pair(SCHED_OTHER, 0))
    GTEST_SKIP() << "this system grants no raised priority";
  TimingThread([&](const HandOver&) { cycles = ownPriority(); }, [] {}).finish();
  EXPECT_EQ(cycles, granted);
}

} // namespace
} // namespace obturix
