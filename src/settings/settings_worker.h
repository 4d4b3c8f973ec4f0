#pragma once

#include "registry/registry.h"
#include "settings/settings_words.h"
#include "threads/ordered_worker.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace obturix {

class RegistrySettingsStore;

// A text value to keep: its value name in the store, and the name the
// messages give it.
struct SettingValue {
  const char* valueName;
  const char* name;
  std::string text;
};

// The settings store used from a worker of its own, so that a disk that
// does not answer holds the caller no longer than a deadline; the store is
// then the worker's alone until it answers.
class SettingsWorker {
public:
  SettingsWorker(RegistrySettingsStore& store, std::string keySuffix)
      : store_(store), keySuffix_(std::move(keySuffix)) {}

  // Writes each value as a text; those not written, and why: a value that
  // cannot be written keeps its older one and does not stop the others, and
  // every one is unsaved (registry_status::notReady) when the disk did not
  // answer within `deadline`.
  std::vector<UnsavedField> save(std::vector<SettingValue> values,
                                 std::chrono::milliseconds deadline);
  // The settings file found damaged since the last call, if any; nothing
  // while a save still waits for its disk.
  std::optional<DamagedSettingsFile> takeDamagedFile(std::chrono::milliseconds deadline);

private:
  RegistrySettingsStore& store_;
  std::string keySuffix_;
  OrderedWorker worker_;
};

} // namespace obturix
