#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace obturix {

// Runs the tasks posted to it one after another, in order, on a thread of its
// own that nobody joins: a task stuck on a hung disk or bus holds neither the
// caller nor the end of the program. The thread keeps what it runs and ends
// once the worker is gone and every task posted has run.
class OrderedWorker {
public:
  OrderedWorker();
  ~OrderedWorker();
  OrderedWorker(const OrderedWorker&) = delete;
  OrderedWorker& operator=(const OrderedWorker&) = delete;

  void post(std::function<void()> task);
  // Waits until every task posted so far has run, `deadline` at most;
  // whether they all had.
  bool waitIdle(std::chrono::milliseconds deadline);

private:
  struct State;
  static void run(const std::shared_ptr<State>& state);
  std::shared_ptr<State> state_;
};

} // namespace obturix
