#pragma once

#include "exposure/exposure_cycle.h"
#include "platform/port_check.h"
#include "platform/registry.h"
#include "platform/serial_port.h"
#include "settings/registry_store.h"

#include <memory>

namespace obturix {

// The program's module: the platform services for the life of the process,
// the exposure cycle with the port service and stream it keeps between
// cycles, the port check and the settings store.
struct Module1 {
  std::unique_ptr<SerialPortServiceFactory> ports = makeSystemSerialPortServiceFactory();
  std::unique_ptr<PortCheck> portCheck = makeSystemPortCheck();
  std::unique_ptr<Sleeper> sleeper = makeSystemSleeper();
  ExposureCycle cycle{*ports, *sleeper};
  std::unique_ptr<Registry> registry = makeUserRegistry();
  RegistrySettingsStore settings{*registry};
};

} // namespace obturix
