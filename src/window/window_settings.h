#pragma once

#include "window/control.h"

#include <span>
#include <string>

namespace obturix {

// Where the window's parameters are kept in the settings store.
inline constexpr const char* settingsKeySuffix = "\\Param\\";

// What a control keeps: a text box its text, a check box its state.
enum class SettingHolds { Text, BoxState };

// One parameter control of the main window, the text value that keeps it,
// and what the user calls it ("le port").
struct WindowSetting {
  Control control;
  SettingHolds holds;
  const char* valueName;
  const char* name;
};

// The seven rows, in the order both saving and restoring visit them.
std::span<const WindowSetting> windowSettings();

// The state a stored mirror choice restores: checked only for the number 1.
bool isCheckedState(const std::string& stored);

} // namespace obturix
