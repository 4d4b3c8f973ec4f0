#pragma once

#include "platform/sleeper.h"

namespace obturix {

// Sleeps while the window stays painted and answers the window manager: a
// nested event loop that holds back user input runs until shortly before the
// deadline, and the last moment is slept on the monotonic clock, so the
// sleep keeps its precision.
class EventLoopSleeper final : public Sleeper {
public:
  void sleepFor(std::chrono::milliseconds duration) override;
};

} // namespace obturix
