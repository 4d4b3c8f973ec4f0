#pragma once

#include "exposure/exposure_cycle.h"
#include "fakes/fake_platform.h"
#include "registry/memory_registry.h"
#include "settings/registry_store.h"
#include "window/form1.h"

namespace obturix::testing {

// What a window runs a series with, all fakes: ports that are found and
// opened by name, a sleeper on a fake clock, an in-memory registry, a wake
// lock, journals in memory; every open, close, sleep and wake lock in one log.
struct FakeSeriesServices {
  EventLog log;
  FakeSleeper sleeper{log};
  FakeSerialPortServiceFactory ports{log, sleeper};
  ExposureCycle cycle{ports, sleeper};
  MemoryRegistry registry;
  RegistrySettingsStore settings{registry};
  FakeWakeLock wakeLock{log};
  FakeWallClock wallClock{sleeper};
  FakePowerSource power;
  std::shared_ptr<FakeJournalFolder> journals = std::make_shared<FakeJournalFolder>();

  SeriesServices series() { return {cycle, ports, wakeLock, wallClock, power, journals}; }
  Form1Services services() { return {series(), settings}; }
};

} // namespace obturix::testing
