#include "timing/monotonic_clock.h"
#include "timing/sleeper.h"
#include "timing/waitable_timer_win32.h"

#include <atomic>

namespace obturix {

namespace {

// Waits on a waitable timer and an event together: the timer ends the wait
// at its deadline, the event (set by interrupt(), until resume()) at once.
class WaitableTimerSleeper final : public Sleeper {
public:
  WaitableTimerSleeper() : stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~WaitableTimerSleeper() override { CloseHandle(stop_); }
  WaitableTimerSleeper(const WaitableTimerSleeper&) = delete;
  WaitableTimerSleeper& operator=(const WaitableTimerSleeper&) = delete;

  std::chrono::nanoseconds now() const override { return monotonicNow(); }
  void sleepUntil(std::chrono::nanoseconds deadline) override {
    waitUntilMonotonic(deadline, stop_);
  }
  bool holdUntil(std::chrono::nanoseconds deadline, Held& held) override {
    return waitUntilMonotonic(deadline, stop_, &held);
  }
  void interrupt() override {
    interrupted_ = true;
    SetEvent(stop_);
  }
  void resume() override {
    interrupted_ = false;
    ResetEvent(stop_);
  }
  bool interrupted() const override { return interrupted_; }

private:
  HANDLE stop_;
  std::atomic<bool> interrupted_{false};
};

} // namespace

std::unique_ptr<Sleeper> makeSystemSleeper() { return std::make_unique<WaitableTimerSleeper>(); }

} // namespace obturix
