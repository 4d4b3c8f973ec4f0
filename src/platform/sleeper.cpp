#include "platform/sleeper.h"
#include "platform/monotonic_clock.h"

namespace obturix {

namespace {

class MonotonicSleeper final : public Sleeper {
public:
  void sleepFor(std::chrono::milliseconds duration) override {
    sleepUntilMonotonic(monotonicNow() + duration);
  }
};

} // namespace

std::unique_ptr<Sleeper> makeSystemSleeper() { return std::make_unique<MonotonicSleeper>(); }

} // namespace obturix
