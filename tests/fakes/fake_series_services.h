#pragma once

#include "exposure/exposure_cycle.h"
#include "fakes/fake_platform.h"
#include "registry/memory_registry.h"
#include "settings/registry_store.h"

namespace obturix::testing {

// What a window runs a series with, all fakes: ports that are found and
// opened by name, a sleeper on a fake clock, an in-memory registry; every
// open, close and sleep in one log.
struct FakeSeriesServices {
  EventLog log;
  FakeSleeper sleeper{log};
  FakeSerialPortServiceFactory ports{log};
  ExposureCycle cycle{ports, sleeper};
  MemoryRegistry registry;
  RegistrySettingsStore settings{registry};
};

} // namespace obturix::testing
