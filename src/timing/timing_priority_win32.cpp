#include "timing/timing_priority.h"
#include "timing/waitable_timer_win32.h"

#include <windows.h>

#include <timeapi.h>

namespace obturix {

TimingPriority::TimingPriority() {
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  // Without the high-resolution timer a wait ends on the next 15.6 ms tick.
  if (HANDLE timer = createHighResolutionTimer())
    CloseHandle(timer);
  else
    systemTimerRaised_ = timeBeginPeriod(1) == TIMERR_NOERROR;
}

TimingPriority::~TimingPriority() {
  if (systemTimerRaised_)
    timeEndPeriod(1);
}

} // namespace obturix
