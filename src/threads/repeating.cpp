#include "threads/repeating.h"

namespace obturix {

Repeating::Repeating(std::chrono::milliseconds period, std::function<void()> task)
    : thread_([this, period, task = std::move(task)] {
        std::unique_lock lock(mutex_);
        while (!stopping_) {
          lock.unlock();
          task();
          lock.lock();
          stopped_.wait_for(lock, period, [this] { return stopping_; });
        }
      }) {}

Repeating::~Repeating() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  stopped_.notify_all();
  thread_.join();
}

} // namespace obturix
