#pragma once

#include "registry/registry.h"

#include <cstddef>
#include <string>
#include <vector>

namespace obturix {

// A parameter a save could not keep: the name the messages give it, and
// why (a registry status; noUnicodeTranslation when its text has
// characters the settings cannot hold, its older value being kept).
struct UnsavedField {
  std::string name;
  long failure;
};

// What the user is told when some of the `fields` parameters of a series
// could not be saved: which, why, and that the others were.
std::string unsavedSettingsWarning(const std::vector<UnsavedField>& unsaved, std::size_t fields);

// What the user is told of a settings file found unreadable.
std::string damagedSettingsNotice(const DamagedSettingsFile& damaged);

} // namespace obturix
