#pragma once

#include <memory>

namespace obturix {

// Held by the thread that times a series, for the series' length. Raises the
// thread's priority: real-time (SCHED_FIFO) where the user may, else a lower
// nice value where allowed; on Windows THREAD_PRIORITY_TIME_CRITICAL. On a
// Windows without high-resolution waitable timers (before Windows 10 1803)
// it also raises the system timer's resolution to 1 ms, and lowers it again
// when dropped. Whatever cannot be had is left as it was: the thread sleeps
// on absolute deadlines either way.
class TimingPriority {
public:
  TimingPriority();
  ~TimingPriority();
  TimingPriority(const TimingPriority&) = delete;
  TimingPriority& operator=(const TimingPriority&) = delete;

private:
  std::shared_ptr<void> systemTimer_; // where raised for the series: lowered when dropped
};

} // namespace obturix
