#include "files/descriptor_posix.h"
#include "timing/monotonic_clock.h"
#include "timing/sleeper.h"

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace obturix {

namespace {

constexpr long nanosecondsPerSecond = 1'000'000'000L;

// Waits on a condition variable against the monotonic clock (libstdc++'s
// steady_clock): the kernel times the wait with the same high-resolution
// timer and the same slack as clock_nanosleep, and interrupt() ends it at
// once. A press held open is waited for with poll() instead, beside its
// port's hang-up: the deadline is then a timerfd's, which the kernel fires
// without slack (a poll timeout would be widened by a thousandth of the
// wait, 0.3 ms on a 300 ms exposure).
class MonotonicSleeper final : public Sleeper {
public:
  std::chrono::nanoseconds now() const override { return monotonicNow(); }

  void sleepUntil(std::chrono::nanoseconds deadline) override {
    keepTimersExact();
    const std::chrono::steady_clock::time_point until(
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(deadline));
    std::unique_lock lock(mutex_);
    woken_.wait_until(lock, until, [this] { return interrupted_.load(); });
  }

  bool holdUntil(std::chrono::nanoseconds deadline, Held& held) override {
    if (timer_.get() < 0 || stop_.get() < 0 || !armTimer(deadline)) {
      sleepUntil(deadline); // the port then lets go at the deadline only
      return false;
    }
    pollfd watched[] = {{stop_.get(), POLLIN, 0},
                        {timer_.get(), POLLIN, 0},
                        {static_cast<int>(held.lossSignal()), 0, 0}}; // hang-up and errors only
    for (;;) {
      if (interrupted_)
        return false;
      if (poll(watched, 3, -1) < 0) {
        if (errno == EINTR)
          continue;
        sleepUntil(deadline);
        return false;
      }
      // The deadline before the loss: a press that ran its time is made.
      if (watched[0].revents != 0 || watched[1].revents != 0)
        return false;
      if (watched[2].revents != 0) {
        if (held.lost())
          return true;
        watched[2].fd = -1; // news that was no loss: the deadline alone, from now on
      }
    }
  }

  void interrupt() override {
    {
      const std::lock_guard lock(mutex_);
      interrupted_ = true;
      const std::uint64_t one = 1;
      [[maybe_unused]] const auto written = ::write(stop_.get(), &one, sizeof one);
    }
    woken_.notify_all();
  }

  void resume() override {
    const std::lock_guard lock(mutex_);
    interrupted_ = false;
    std::uint64_t count = 0;
    [[maybe_unused]] const auto read = ::read(stop_.get(), &count, sizeof count);
  }

  bool interrupted() const override { return interrupted_; }

private:
  bool armTimer(std::chrono::nanoseconds deadline) {
    itimerspec at{};
    const auto ns = std::max<std::int64_t>(deadline.count(), 1);
    at.it_value.tv_sec = static_cast<time_t>(ns / nanosecondsPerSecond);
    at.it_value.tv_nsec = static_cast<long>(ns % nanosecondsPerSecond);
    return timerfd_settime(timer_.get(), TFD_TIMER_ABSTIME, &at, nullptr) == 0;
  }

  std::mutex mutex_;
  std::condition_variable woken_;
  std::atomic<bool> interrupted_{false};                    // changed under mutex_, read without it
  Descriptor stop_{eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)}; // readable while interrupted
  Descriptor timer_{timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK)};
};

} // namespace

std::unique_ptr<Sleeper> makeSystemSleeper() { return std::make_unique<MonotonicSleeper>(); }

} // namespace obturix
