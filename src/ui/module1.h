#pragma once

#include "exposure/exposure_cycle.h"
#include "platform/registry.h"
#include "platform/serial_port.h"
#include "settings/registry_store.h"
#include "ui/event_loop_sleeper.h"
#include "ui/qt_message_boxes.h"

#include <memory>

namespace obturix {

// The program's module: the platform services for the life of the process,
// the exposure cycle with the port service and stream it keeps between
// cycles, and the settings store.
struct Module1 {
  std::unique_ptr<SerialPortServiceFactory> ports = makeSystemSerialPortServiceFactory();
  EventLoopSleeper sleeper;
  QtMessageBoxes boxes;
  ExposureCycle cycle{*ports, sleeper};
  std::unique_ptr<Registry> registry = makeUserRegistry();
  RegistrySettingsStore settings{*registry};
};

// Start-up: creates the main window, shows it modally with no owner, reads
// `annulation` once the window is hidden or closed, and drops the window;
// the process then ends.
void Main(Module1& module);

} // namespace obturix
