#include "timing/timing_priority.h"
#include "timing/waitable_timer_win32.h"

#include <windows.h>

namespace obturix {

TimingPriority::TimingPriority() : systemTimer_(std::make_shared<FineSystemTimer>()) {
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
}

TimingPriority::~TimingPriority() = default;

} // namespace obturix
