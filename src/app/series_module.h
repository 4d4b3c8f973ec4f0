#pragma once

#include "exposure/exposure_cycle.h"
#include "journal/journal_folder.h"
#include "power/power_source.h"
#include "power/wake_lock.h"
#include "registry/registry.h"
#include "serial/port_check.h"
#include "serial/serial_port.h"
#include "series/series_run.h"
#include "settings/registry_store.h"
#include "timing/wall_clock.h"

#include <memory>

namespace obturix {

// What every program that runs a series owns for the life of the process:
// the platform services, the exposure cycle with the port service and
// stream it keeps between cycles, the port check, the settings store, the
// wake lock, the wall clock, the power source and the journals' folder.
struct SeriesModule {
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

  SeriesServices series() { return {cycle, *portCheck, *wakeLock, *wallClock, *power, journals}; }
};

} // namespace obturix
