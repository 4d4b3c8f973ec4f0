#pragma once

#include <chrono>
#include <string>

namespace obturix::bench {

// The asked length of each step of a cycle with the mirror raised.
struct Steps {
  std::chrono::milliseconds pulse, settle, exposure, interval;
};

// The floor: a bare loop with the program's own semantics on the port, each
// step timed from its own event (sleep until the instant the open or close
// returned plus the step, on the monotonic clock), so never short and late
// only by the system's wake-up. Returns false when the port cannot be opened.
bool bareCycle(const std::string& port, const Steps& steps);

} // namespace obturix::bench
