#include "timing/wake_lock.h"

#include <systemd/sd-bus.h>

#include <cstdint>
#include <fcntl.h>
#include <memory>
#include <string>
#include <unistd.h>

namespace obturix {

namespace {

constexpr const char* reason = "Série de poses en cours";
// A bus that does not answer delays the first press by at most this.
constexpr std::uint64_t callTimeoutMicroseconds = 2'000'000;

using Bus = std::unique_ptr<sd_bus, decltype(&sd_bus_flush_close_unref)>;

Bus openBus(int (*open)(sd_bus**)) {
  sd_bus* bus = nullptr;
  if (open(&bus) < 0)
    return {nullptr, sd_bus_flush_close_unref};
  sd_bus_set_method_call_timeout(bus, callTimeoutMicroseconds);
  return {bus, sd_bus_flush_close_unref};
}

struct Reply {
  sd_bus_message* message = nullptr;
  sd_bus_error error = SD_BUS_ERROR_NULL;
  Reply() = default;
  Reply(const Reply&) = delete;
  Reply& operator=(const Reply&) = delete;
  ~Reply() {
    sd_bus_error_free(&error);
    sd_bus_message_unref(message);
  }
};

// logind: while the returned descriptor stays open, the system neither
// suspends nor acts on idleness. -1 where there is no logind to ask.
int inhibitSleep() {
  const Bus system = openBus(sd_bus_open_system);
  Reply reply;
  int fd = -1;
  if (system &&
      sd_bus_call_method(system.get(), "org.freedesktop.login1", "/org/freedesktop/login1",
                         "org.freedesktop.login1.Manager", "Inhibit", &reply.error, &reply.message,
                         "ssss", "sleep:idle", "Obturix", reason, "block") >= 0 &&
      sd_bus_message_read(reply.message, "h", &fd) >= 0)
    return fcntl(fd, F_DUPFD_CLOEXEC, 3); // the reply's own closes with it
  return -1;
}

// The desktop portal, for a sandboxed or logind-less desktop: suspend (4)
// and idle (8). Its request lasts until closed, or until this connection
// ends; the request's object path is returned, empty where none answers.
std::string inhibitThroughPortal(const Bus& session) {
  Reply reply;
  const char* handle = nullptr;
  if (session &&
      sd_bus_call_method(session.get(), "org.freedesktop.portal.Desktop",
                         "/org/freedesktop/portal/desktop", "org.freedesktop.portal.Inhibit",
                         "Inhibit", &reply.error, &reply.message, "sua{sv}", "", 4u | 8u, 1,
                         "reason", "s", reason) >= 0 &&
      sd_bus_message_read(reply.message, "o", &handle) >= 0)
    return handle;
  return {};
}

class LinuxWakeLock final : public WakeLock {
public:
  ~LinuxWakeLock() override { giveBack(); }

  void take() override {
    giveBack();
    inhibitor_ = inhibitSleep();
    session_ = openBus(sd_bus_open_user);
    request_ = inhibitThroughPortal(session_);
    if (request_.empty())
      session_.reset();
  }

  void giveBack() override {
    if (inhibitor_ >= 0)
      ::close(inhibitor_);
    inhibitor_ = -1;
    if (!request_.empty())
      sd_bus_call_method(session_.get(), "org.freedesktop.portal.Desktop", request_.c_str(),
                         "org.freedesktop.portal.Request", "Close", nullptr, nullptr, "");
    request_.clear();
    session_.reset();
  }

private:
  int inhibitor_ = -1;
  Bus session_{nullptr, sd_bus_flush_close_unref};
  std::string request_;
};

} // namespace

std::unique_ptr<WakeLock> makeSystemWakeLock() { return std::make_unique<LinuxWakeLock>(); }

} // namespace obturix
