#pragma once

#include <span>
#include <string>

namespace obturix {

// Where the window's parameters are kept in the settings store.
inline constexpr const char* settingsKeySuffix = "\\Param\\";

// One parameter field of the main window and the text value that keeps it.
struct WindowSetting {
  const char* control;
  const char* valueName;
};

// The seven rows, in the order both saving and restoring visit them.
std::span<const WindowSetting> windowSettings();

// The state a stored mirror choice restores: checked only for the number 1.
bool isCheckedState(const std::string& stored);

} // namespace obturix
