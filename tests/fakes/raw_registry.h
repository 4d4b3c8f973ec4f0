#pragma once

#include "registry/registry.h"

#include <string>

namespace obturix::testing {

// Stores raw bytes under "Software\Obturix\Param" as another program (or an
// older run) might, bypassing the store. Returns the first failing status.
inline long writeRawParam(Registry& registry, const std::string& name, std::uint32_t type,
                          const std::string& data) {
  RegistryKey key = 0;
  long status =
      registry.createKey(hkeyCurrentUser, "Software\\Obturix\\Param\\", "1", 0, keyAllAccess, key);
  if (status != registry_status::success)
    return status;
  status = registry.setValue(key, name, type, reinterpret_cast<const std::uint8_t*>(data.data()),
                             static_cast<std::uint32_t>(data.size()));
  registry.closeKey(key);
  return status;
}

} // namespace obturix::testing
