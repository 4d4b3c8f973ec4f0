#pragma once

#include "exposure/exposure_cycle.h"
#include "journal/journal_folder.h"
#include "power/power_source.h"
#include "power/wake_lock.h"
#include "registry/registry.h"
#include "serial/port_check.h"
#include "serial/serial_port.h"
#include "settings/registry_store.h"
#include "timing/wall_clock.h"
#include "window/form1.h"

#include <memory>
#include <utility>

namespace obturix {

// The program's module: the platform services for the life of the process,
// the exposure cycle with the port service and stream it keeps between
// cycles, the port check, the settings store, the wake lock, the wall clock,
// the power source and the journals' folder.
struct Module1 {
  std::unique_ptr<SerialPortServiceFactory> ports = makeSystemSerialPortServiceFactory();
  std::unique_ptr<PortCheck> portCheck = makeSystemPortCheck();
  std::unique_ptr<Sleeper> sleeper = makeSystemSleeper();
  ExposureCycle cycle{*ports, *sleeper};
  std::unique_ptr<Registry> registry = makeUserRegistry();
  RegistrySettingsStore settings{*registry};
  std::unique_ptr<WakeLock> wakeLock = makeSystemWakeLock();
  std::unique_ptr<WallClock> wallClock = makeSystemWallClock();
  std::unique_ptr<PowerSource> power = makeSystemPowerSource();
  std::shared_ptr<JournalFolder> journals = makeUserJournalFolder();

  Form1Services services() {
    return {{cycle, *portCheck, *wakeLock, *wallClock, *power, journals}, settings};
  }
};

// Start-up, whatever the toolkit's Window: creates the main window (with
// what that toolkit's window takes besides), shows it modally with no owner,
// reads `annulation` once the window is hidden or closed, and drops the
// window; the process then ends.
template <class Window, class... ViewArguments>
void Main(Module1& module, ViewArguments&&... viewArguments) {
  auto form =
      std::make_unique<Window>(module.services(), std::forward<ViewArguments>(viewArguments)...);
  form->showModally();
  [[maybe_unused]] const bool cancelled = form->behaviour().annulation(); // ends whatever it holds
  form.reset();
}

} // namespace obturix
