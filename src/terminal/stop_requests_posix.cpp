#include "terminal/stop_requests.h"
#include "threads/termination_signals_posix.h"

#include <poll.h>
#include <thread>

namespace obturix {

namespace {

class PosixStopRequests final : public StopRequests {
public:
  Request wait(std::chrono::milliseconds timeout) override {
    pollfd watched{signals_.descriptor(), POLLIN, 0};
    if (watched.fd < 0) {
      std::this_thread::sleep_for(timeout);
      return Request::None;
    }
    if (poll(&watched, 1, static_cast<int>(timeout.count())) <= 0)
      return Request::None;
    switch (signals_.take()) {
    case SIGINT:
    case SIGTERM:
      return Request::Stop;
    case SIGHUP:
      return Request::TerminalLost;
    case SIGTSTP:
      return Request::Suspend;
    default: // SIGTTOU: a background series writes to its terminal all the same
      return Request::None;
    }
  }

private:
  TerminationSignals signals_{SIGINT, SIGTERM, SIGHUP, SIGTSTP, SIGTTOU};
};

} // namespace

std::unique_ptr<StopRequests> makeSystemStopRequests() {
  return std::make_unique<PosixStopRequests>();
}

} // namespace obturix
