#include "timing/sleeper.h"
#include "timing/monotonic_clock.h"

namespace obturix {

namespace {

class MonotonicSleeper final : public Sleeper {
public:
  std::chrono::nanoseconds now() const override { return monotonicNow(); }
  void sleepUntil(std::chrono::nanoseconds deadline) override { sleepUntilMonotonic(deadline); }
};

} // namespace

std::unique_ptr<Sleeper> makeSystemSleeper() { return std::make_unique<MonotonicSleeper>(); }

} // namespace obturix
