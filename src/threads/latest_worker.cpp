#include "threads/latest_worker.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace obturix {

struct LatestWorker::State {
  std::mutex mutex;
  std::condition_variable changed;
  unsigned asked = 0, answered = 0;
  bool closing = false;
};

void runDetached(std::function<void()> task) { std::thread(std::move(task)).detach(); }

LatestWorker::LatestWorker(std::function<void()> work) : state_(std::make_shared<State>()) {
  runDetached([state = state_, work = std::move(work)] {
    std::unique_lock lock(state->mutex);
    for (;;) {
      state->changed.wait(lock, [&] { return state->asked > state->answered || state->closing; });
      if (state->closing)
        return;
      const unsigned question = state->asked;
      lock.unlock();
      work();
      lock.lock();
      state->answered = question;
      state->changed.notify_all();
    }
  });
}

LatestWorker::~LatestWorker() {
  {
    const std::lock_guard lock(state_->mutex);
    state_->closing = true;
  }
  state_->changed.notify_all();
}

unsigned LatestWorker::ask() {
  unsigned question;
  {
    const std::lock_guard lock(state_->mutex);
    question = ++state_->asked;
  }
  state_->changed.notify_all();
  return question;
}

unsigned LatestWorker::askUnlessWaiting() {
  {
    const std::lock_guard lock(state_->mutex);
    if (state_->asked > state_->answered)
      return state_->asked;
  }
  return ask();
}

bool LatestWorker::waitFor(unsigned asked, std::chrono::milliseconds deadline) {
  std::unique_lock lock(state_->mutex);
  return state_->changed.wait_for(lock, deadline, [&] { return state_->answered >= asked; });
}

bool LatestWorker::answered() const {
  const std::lock_guard lock(state_->mutex);
  return state_->answered > 0;
}

} // namespace obturix
