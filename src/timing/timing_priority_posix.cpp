#include "timing/timing_priority.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#ifdef __linux__
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace obturix {

TimingPriority::TimingPriority() {
  // Low among real-time priorities: above every ordinary thread, below the
  // system's own real-time work (and an instrument watching the port).
  sched_param realTime{};
  realTime.sched_priority = sched_get_priority_min(SCHED_FIFO) + 9;
  if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &realTime) == 0)
    return;
#ifdef __linux__
  setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), -10);
#endif
}

// The thread ends with the series; its priority goes with it.
TimingPriority::~TimingPriority() = default;

} // namespace obturix
