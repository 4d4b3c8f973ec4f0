#include "serial/port_check.h"
#include "serial/port_names.h"
#include "serial/serial_devices_posix.h"

namespace obturix {

namespace {

class PosixPortCheck final : public PortCheck {
public:
  bool exists(const std::string& portName) override {
    return devices_.identify(posixDevicePath(portName)).has_value();
  }
  std::vector<std::string> available() override { return devices_.available(); }

private:
  SerialDevices devices_;
};

} // namespace

std::unique_ptr<PortCheck> makeSystemPortCheck() { return std::make_unique<PosixPortCheck>(); }

} // namespace obturix
