#include "files/descriptor_posix.h"
#include "power/bus_posix.h"
#include "power/wake_lock.h"
#include "threads/latest_worker.h"

#include <condition_variable>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <string>
#include <unistd.h>

namespace obturix {

namespace {

constexpr const char* reason = "Série de poses en cours";
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

// logind: while the returned descriptor stays open, the system does not do
// `what`. None where there is no logind to ask, or it refuses.
Descriptor inhibit(const Bus& system, const char* what) {
  Reply reply;
  int fd = -1;
  if (system &&
      sd_bus_call_method(system.get(), "org.freedesktop.login1", "/org/freedesktop/login1",
                         "org.freedesktop.login1.Manager", "Inhibit", &reply.error, &reply.message,
                         "ssss", what, "Obturix", reason, "block") >= 0 &&
      sd_bus_message_read(reply.message, "h", &fd) >= 0)
    return Descriptor(fcntl(fd, F_DUPFD_CLOEXEC, 3)); // the reply's own closes with it
  return Descriptor();
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

// Whether the series that asked still wants the computer awake.
struct Wish {
  std::mutex mutex;
  std::condition_variable changed;
  bool awake = true;
};

// Asks every service, holds what they gave while the series wants it, then
// gives it back. On its own thread: a bus may take seconds to answer, and
// the series does not wait; what comes late is held from then on.
void keepAwake(const std::shared_ptr<Wish>& wish) {
  const Bus system = openBus(sd_bus_open_system);
  Descriptor sleepLock = inhibit(system, "sleep:idle");
  // Asked apart: a system may refuse the lid and still grant sleep.
  Descriptor lidLock = inhibit(system, "handle-lid-switch");
  const Bus session = openBus(sd_bus_open_user);
  const std::string request = inhibitThroughPortal(session);

  std::unique_lock lock(wish->mutex);
  wish->changed.wait(lock, [&] { return !wish->awake; });
  lock.unlock();

  sleepLock.close();
  lidLock.close();
  if (!request.empty())
    sd_bus_call_method(session.get(), "org.freedesktop.portal.Desktop", request.c_str(),
                       "org.freedesktop.portal.Request", "Close", nullptr, nullptr, "");
}

class LinuxWakeLock final : public WakeLock {
public:
  ~LinuxWakeLock() override { giveBack(); }

  void take() override {
    giveBack();
    wish_ = std::make_shared<Wish>();
    // It ends within its bus time-outs once given back.
    runDetached([wish = wish_] { keepAwake(wish); });
  }

  void giveBack() override {
    if (!wish_)
      return;
    {
      const std::lock_guard lock(wish_->mutex);
      wish_->awake = false;
    }
    wish_->changed.notify_all();
    wish_.reset();
  }

private:
  std::shared_ptr<Wish> wish_;
};

} // namespace

std::unique_ptr<WakeLock> makeSystemWakeLock() { return std::make_unique<LinuxWakeLock>(); }

} // namespace obturix
