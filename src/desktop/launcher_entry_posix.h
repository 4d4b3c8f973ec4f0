#pragma once

#include "desktop/taskbar_progress.h"

#include <memory>

namespace obturix {

// The progress as the launcher-entry signal (com.canonical.Unity.LauncherEntry,
// Update) of the desktop entry org.obturix.Obturix on the session bus, which
// KDE Plasma's task manager, Ubuntu's dock, Dash to Dock and Plank show.
std::unique_ptr<TaskbarProgress> makeLauncherEntryProgress();

} // namespace obturix
