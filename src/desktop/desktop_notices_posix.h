#pragma once

#include <memory>
#include <string>

namespace obturix {

// The desktop's notifications (org.freedesktop.Notifications on the session
// bus), for what cannot wait for a series' end: critical, with the warning
// sound, from Obturix and its icon. Sent in order from a thread of their
// own, each call bounded: a notification service that is slow, hung or
// absent costs the window nothing, and the series nothing.
class DesktopNotices {
public:
  virtual ~DesktopNotices() = default;
  virtual void tell(const std::string& text) = 0;
};

std::unique_ptr<DesktopNotices> makeDesktopNotices();

} // namespace obturix
