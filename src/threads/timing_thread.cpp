#include "threads/timing_thread.h"

#include "timing/timing_priority.h"

namespace obturix {

TimingThread::TimingThread(const std::function<void(const HandOver&)>& cycles,
                           std::function<void()> finished)
    : thread_([this, &cycles, finished = std::move(finished)] {
        const TimingPriority priority;
        try {
          cycles([this](std::function<void()> task) {
            std::lock_guard lock(mutex_);
            handedOver_.push_back(std::move(task));
          });
        } catch (...) {
          failure_ = std::current_exception();
        }
        finished();
      }) {}

TimingThread::~TimingThread() {
  if (thread_.joinable())
    thread_.join();
}

void TimingThread::runHandedOver() {
  std::vector<std::function<void()>> tasks;
  {
    std::lock_guard lock(mutex_);
    tasks.swap(handedOver_);
  }
  for (const auto& task : tasks)
    task();
}

void TimingThread::finish() {
  thread_.join();
  runHandedOver();
  if (failure_)
    std::rethrow_exception(failure_);
}

} // namespace obturix
