#include "settings/settings_worker.h"

#include "settings/registry_store.h"

#include <memory>

namespace obturix {

std::vector<UnsavedField> SettingsWorker::save(std::vector<SettingValue> values,
                                               std::chrono::milliseconds deadline) {
  auto unsaved = std::make_shared<std::vector<UnsavedField>>();
  worker_.post([&store = store_, suffix = keySuffix_, values, unsaved] {
    for (const SettingValue& value : values) {
      if (!store.EcrireParam(suffix, value.valueName, regSz, value.text))
        unsaved->push_back({value.name, store.lastWriteFailure()});
    }
  });
  if (worker_.waitIdle(deadline))
    return *unsaved;
  std::vector<UnsavedField> all;
  for (const SettingValue& value : values)
    all.push_back({value.name, registry_status::notReady});
  return all;
}

std::optional<DamagedSettingsFile>
SettingsWorker::takeDamagedFile(std::chrono::milliseconds deadline) {
  if (!worker_.waitIdle(std::chrono::milliseconds(0)))
    return std::nullopt;
  auto damaged = std::make_shared<std::optional<DamagedSettingsFile>>();
  worker_.post([&store = store_, damaged] { *damaged = store.takeDamagedFile(); });
  return worker_.waitIdle(deadline) ? *damaged : std::nullopt;
}

} // namespace obturix
