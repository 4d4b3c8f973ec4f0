#include "ui/qt/hold_input.h"

#include "platform/timing_priority.h"

#include <QEventLoop>
#include <QTimer>

#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace obturix {

namespace {

// Tasks handed over by the timing thread, run by the window's thread. Handing
// one over costs the timing thread no system call and wakes nobody: the
// window picks them up at its next look, a few times a second.
class HandedOver {
public:
  void add(std::function<void()> task) {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  void runAll() {
    std::vector<std::function<void()>> tasks;
    {
      std::lock_guard lock(mutex_);
      tasks.swap(tasks_);
    }
    for (const auto& task : tasks)
      task();
  }

private:
  std::mutex mutex_;
  std::vector<std::function<void()>> tasks_;
};

constexpr std::chrono::milliseconds pickUpEvery{40};

} // namespace

void runHoldingInput(const std::function<void(const OnWindowThread&)>& cycles) {
  QEventLoop loop;
  HandedOver handedOver;
  QTimer pickUp;
  QObject::connect(&pickUp, &QTimer::timeout, &loop, [&] { handedOver.runAll(); });
  pickUp.start(pickUpEvery);
  std::exception_ptr failure;
  std::thread timing([&] {
    raiseToTimingPriority();
    try {
      cycles([&](std::function<void()> task) { handedOver.add(std::move(task)); });
    } catch (...) {
      failure = std::current_exception();
    }
    QMetaObject::invokeMethod(
        &loop,
        [&] {
          handedOver.runAll();
          loop.quit();
        },
        Qt::QueuedConnection);
  });
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  timing.join();
  if (failure)
    std::rethrow_exception(failure);
}

} // namespace obturix
