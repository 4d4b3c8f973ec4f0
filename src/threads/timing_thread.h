#pragma once

#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace obturix {

// Hands a task to the thread of what shows the series (a window, a
// terminal), to run there in order.
using HandOver = std::function<void(std::function<void()>)>;

// Runs a series' cycles on a thread of their own, raised to timing priority,
// for a toolkit's wait. The tasks the cycles hand over wait for the window's
// thread to pick them up with runHandedOver(): handing one over costs the
// timing thread no system call and wakes nobody. `finished` runs on the
// timing thread when the cycles are done.
class TimingThread {
public:
  TimingThread(const std::function<void(const HandOver&)>& cycles,
               std::function<void()> finished);
  ~TimingThread();
  TimingThread(const TimingThread&) = delete;
  TimingThread& operator=(const TimingThread&) = delete;

  // Runs, in order, the tasks handed over so far.
  void runHandedOver();
  // Waits for the thread, runs what it handed over last, and rethrows on
  // this thread what the cycles threw.
  void finish();

private:
  std::mutex mutex_;
  std::vector<std::function<void()>> handedOver_;
  std::exception_ptr failure_;
  std::thread thread_;
};

} // namespace obturix
