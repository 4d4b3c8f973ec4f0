#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace obturix::pty {

// Sees every open and close of one file by any process, through inotify.
class OpenCloseWatcher {
public:
  enum class Kind { Open, Close };
  struct Event {
    Kind kind;
    std::chrono::nanoseconds when; // monotonic clock, taken when the event was read
  };

  explicit OpenCloseWatcher(const std::string& path); // throws std::system_error
  ~OpenCloseWatcher();
  OpenCloseWatcher(const OpenCloseWatcher&) = delete;
  OpenCloseWatcher& operator=(const OpenCloseWatcher&) = delete;

  // The events that have happened and not yet been taken, without waiting.
  std::vector<Kind> takePending();
  // Waits up to `timeout` for the next event; nothing when none came.
  std::optional<Event> next(std::chrono::milliseconds timeout);
  // The next event if one has happened, without waiting: for an observer
  // that polls in a loop to timestamp events within microseconds.
  std::optional<Event> poll();

private:
  int inotify_ = -1;
  std::vector<Event> buffered_;
  bool readAvailable();
};

} // namespace obturix::pty
