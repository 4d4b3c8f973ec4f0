#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace obturix {

// Runs a task at once and then every `period` on a thread of its own, until
// dropped; dropping it ends the wait under way at once and waits for a task
// under way, so a task must never block.
class Repeating {
public:
  Repeating(std::chrono::milliseconds period, std::function<void()> task);
  ~Repeating();
  Repeating(const Repeating&) = delete;
  Repeating& operator=(const Repeating&) = delete;

private:
  std::mutex mutex_;
  std::condition_variable stopped_;
  bool stopping_ = false;
  std::thread thread_;
};

} // namespace obturix
