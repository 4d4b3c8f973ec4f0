#pragma once

class QApplication;

namespace obturix {

// An 8-point font with Arial's metrics for every control, so that each
// caption fits the box it was drawn for; the nearest available otherwise.
void useDialogFont(QApplication& application);

} // namespace obturix
