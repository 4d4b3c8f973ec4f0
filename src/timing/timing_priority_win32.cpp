#include "timing/timing_priority.h"

#include <windows.h>

namespace obturix {

void raiseToTimingPriority() {
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
}

} // namespace obturix
