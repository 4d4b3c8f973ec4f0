#include "timing/timing_priority.h"
#include "timing/waitable_timer_win32.h"

#include <windows.h>

namespace obturix {

TimingPriority::TimingPriority() {
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  systemTimerRaised_ = raiseSystemTimerWhereNeeded();
}

TimingPriority::~TimingPriority() {
  if (systemTimerRaised_)
    lowerSystemTimer();
}

} // namespace obturix
