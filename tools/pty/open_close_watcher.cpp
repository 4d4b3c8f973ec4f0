#include "open_close_watcher.h"

#include "timing/monotonic_clock.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <system_error>
#include <unistd.h>

namespace obturix::pty {

OpenCloseWatcher::OpenCloseWatcher(const std::string& path) {
  inotify_ = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  if (inotify_ < 0)
    throw std::system_error(errno, std::generic_category(),
                            "surveillance des ports impossible (inotify)");
  if (inotify_add_watch(inotify_, path.c_str(), IN_OPEN | IN_CLOSE) < 0) {
    const int error = errno;
    ::close(inotify_);
    throw std::system_error(error, std::generic_category(),
                            "surveillance de " + path + " impossible (inotify)");
  }
}

OpenCloseWatcher::~OpenCloseWatcher() { ::close(inotify_); }

bool OpenCloseWatcher::readAvailable() {
  alignas(inotify_event) std::array<char, 4096> buffer{};
  const ssize_t length = ::read(inotify_, buffer.data(), buffer.size());
  if (length <= 0)
    return false;
  const auto when = monotonicNow();
  for (ssize_t offset = 0; offset < length;) {
    inotify_event event{};
    std::memcpy(&event, buffer.data() + offset, sizeof event);
    if (event.mask & IN_OPEN)
      buffered_.push_back({Kind::Open, when});
    if (event.mask & IN_CLOSE)
      buffered_.push_back({Kind::Close, when});
    offset += static_cast<ssize_t>(sizeof(inotify_event) + event.len);
  }
  return true;
}

std::vector<OpenCloseWatcher::Kind> OpenCloseWatcher::takePending() {
  while (readAvailable()) {
  }
  std::vector<Kind> kinds;
  for (const auto& event : buffered_)
    kinds.push_back(event.kind);
  buffered_.clear();
  return kinds;
}

std::optional<OpenCloseWatcher::Event> OpenCloseWatcher::next(std::chrono::milliseconds timeout) {
  if (buffered_.empty()) {
    pollfd watched = {inotify_, POLLIN, 0};
    if (::poll(&watched, 1, static_cast<int>(timeout.count())) <= 0)
      return std::nullopt;
    readAvailable();
    if (buffered_.empty())
      return std::nullopt;
  }
  const Event event = buffered_.front();
  buffered_.erase(buffered_.begin());
  return event;
}

std::optional<OpenCloseWatcher::Event> OpenCloseWatcher::poll() {
  if (buffered_.empty() && !readAvailable())
    return std::nullopt;
  const Event event = buffered_.front();
  buffered_.erase(buffered_.begin());
  return event;
}

} // namespace obturix::pty
