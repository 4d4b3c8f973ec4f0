#include "desktop/desktop_notices_posix.h"

#include "text/utf8.h"
#include "threads/ordered_worker.h"
#include "power/bus_posix.h"

namespace obturix {

namespace {

void notify(sd_bus* bus, const std::string& text) {
  sd_bus_message* call = nullptr;
  sd_bus_message* reply = nullptr;
  if (sd_bus_message_new_method_call(bus, &call, "org.freedesktop.Notifications",
                                     "/org/freedesktop/Notifications",
                                     "org.freedesktop.Notifications", "Notify") >= 0 &&
      sd_bus_message_append(call, "susssas", "Obturix", 0u, "obturix", "Obturix",
                            markupEscaped(text).c_str(), 0) >= 0 &&
      sd_bus_message_append(call, "a{sv}", 3, "urgency", "y", std::uint8_t{2}, "sound-name", "s",
                            "dialog-warning", "desktop-entry", "s", "org.obturix.Obturix") >= 0 &&
      sd_bus_message_append(call, "i", -1) >= 0)
    sd_bus_call(bus, call, busTimeoutMicroseconds, nullptr, &reply);
  sd_bus_message_unref(reply);
  sd_bus_message_unref(call);
}

// Sent in order by a worker of their own, which opens the session bus once.
class SessionBusNotices final : public DesktopNotices {
public:
  void tell(const std::string& text) override {
    worker_.post([session = session_, text] {
      if (!*session)
        *session = openBus(sd_bus_open_user);
      if (*session)
        notify(session->get(), text);
    });
  }

private:
  std::shared_ptr<Bus> session_ = std::make_shared<Bus>(nullptr, sd_bus_close_unref);
  OrderedWorker worker_;
};

} // namespace

std::unique_ptr<DesktopNotices> makeDesktopNotices() {
  return std::make_unique<SessionBusNotices>();
}

} // namespace obturix
