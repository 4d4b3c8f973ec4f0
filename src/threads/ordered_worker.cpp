#include "threads/ordered_worker.h"

#include "threads/latest_worker.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <utility>

namespace obturix {

struct OrderedWorker::State {
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::function<void()>> tasks;
  bool running = false; // a task taken and not yet over
  bool closing = false;
};

OrderedWorker::OrderedWorker() : state_(std::make_shared<State>()) {
  runDetached([state = state_] { run(state); });
}

OrderedWorker::~OrderedWorker() {
  {
    const std::lock_guard lock(state_->mutex);
    state_->closing = true;
  }
  state_->changed.notify_all();
}

void OrderedWorker::post(std::function<void()> task) {
  {
    const std::lock_guard lock(state_->mutex);
    state_->tasks.push_back(std::move(task));
  }
  state_->changed.notify_all();
}

bool OrderedWorker::waitIdle(std::chrono::milliseconds deadline) {
  std::unique_lock lock(state_->mutex);
  return state_->changed.wait_for(lock, deadline,
                                  [&] { return state_->tasks.empty() && !state_->running; });
}

void OrderedWorker::run(const std::shared_ptr<State>& state) {
  std::unique_lock lock(state->mutex);
  for (;;) {
    state->changed.wait(lock, [&] { return !state->tasks.empty() || state->closing; });
    if (state->tasks.empty())
      return;
    std::function<void()> task = std::move(state->tasks.front());
    state->tasks.pop_front();
    state->running = true;
    lock.unlock();
    task();
    task = nullptr; // what it held goes before it is said to be over
    lock.lock();
    state->running = false;
    state->changed.notify_all();
  }
}

} // namespace obturix
