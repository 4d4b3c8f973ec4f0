#include "window/desktop_notices_posix.h"

#include "timing/bus_posix.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace obturix {

namespace {

// The texts not yet sent.
struct Outbox {
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::string> texts;
  bool closing = false;
};

void notify(sd_bus* bus, const std::string& text) {
  sd_bus_message* call = nullptr;
  sd_bus_message* reply = nullptr;
  if (sd_bus_message_new_method_call(bus, &call, "org.freedesktop.Notifications",
                                     "/org/freedesktop/Notifications",
                                     "org.freedesktop.Notifications", "Notify") >= 0 &&
      sd_bus_message_append(call, "susssas", "Obturix", 0u, "obturix", "Obturix", text.c_str(),
                            0) >= 0 &&
      sd_bus_message_append(call, "a{sv}", 3, "urgency", "y", std::uint8_t{2}, "sound-name", "s",
                            "dialog-warning", "desktop-entry", "s", "org.obturix.Obturix") >= 0 &&
      sd_bus_message_append(call, "i", -1) >= 0)
    sd_bus_call(bus, call, busTimeoutMicroseconds, nullptr, &reply);
  sd_bus_message_unref(reply);
  sd_bus_message_unref(call);
}

void sendNotices(const std::shared_ptr<Outbox>& outbox) {
  Bus session{nullptr, sd_bus_close_unref};
  for (;;) {
    std::unique_lock lock(outbox->mutex);
    outbox->changed.wait(lock, [&] { return !outbox->texts.empty() || outbox->closing; });
    if (outbox->texts.empty())
      return;
    const std::string text = std::move(outbox->texts.front());
    outbox->texts.pop_front();
    lock.unlock();
    if (!session)
      session = openBus(sd_bus_open_user);
    if (session)
      notify(session.get(), text);
  }
}

class SessionBusNotices final : public DesktopNotices {
public:
  // Detached: one that waits on a hung bus must not hold up the end of the
  // program; it ends within its bus time-outs.
  SessionBusNotices() { std::thread([outbox = outbox_] { sendNotices(outbox); }).detach(); }
  ~SessionBusNotices() override {
    {
      const std::lock_guard lock(outbox_->mutex);
      outbox_->closing = true;
    }
    outbox_->changed.notify_all();
  }
  SessionBusNotices(const SessionBusNotices&) = delete;
  SessionBusNotices& operator=(const SessionBusNotices&) = delete;

  void tell(const std::string& text) override {
    {
      const std::lock_guard lock(outbox_->mutex);
      outbox_->texts.push_back(text);
    }
    outbox_->changed.notify_all();
  }

private:
  std::shared_ptr<Outbox> outbox_ = std::make_shared<Outbox>();
};

} // namespace

std::unique_ptr<DesktopNotices> makeDesktopNotices() {
  return std::make_unique<SessionBusNotices>();
}

} // namespace obturix
