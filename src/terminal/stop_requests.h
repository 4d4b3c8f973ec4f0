#pragma once

#include <chrono>
#include <memory>

namespace obturix {

// What reaches the terminal command from outside while a series runs: a
// stop (Ctrl-C, SIGTERM, --arreter from another terminal), its terminal
// gone (SIGHUP: the SSH link dropped), a suspension (Ctrl-Z), which a series
// does not take: the shutter would stay pressed for as long.
class StopRequests {
public:
  enum class Request { None, Stop, TerminalLost, Suspend };
  virtual ~StopRequests() = default;
  // Waits `timeout` at most for one.
  virtual Request wait(std::chrono::milliseconds timeout) = 0;
};

// Made before any thread: every thread leaves these requests to the one
// that waits for them.
std::unique_ptr<StopRequests> makeSystemStopRequests();

} // namespace obturix
