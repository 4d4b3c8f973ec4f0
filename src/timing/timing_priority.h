#pragma once

namespace obturix {

// Raises the calling thread's priority for timing the release: real-time
// (SCHED_FIFO) where the user may, else a lower nice value where allowed;
// on Windows THREAD_PRIORITY_TIME_CRITICAL. Whatever cannot be had is left
// as it was: the thread sleeps on absolute deadlines either way.
void raiseToTimingPriority();

} // namespace obturix
