#pragma once

class QApplication;

namespace obturix {

// Dresses the application as the window was drawn for: an 8-point font with
// Arial's metrics for every control, so that each caption fits the box it
// was drawn for (the nearest available otherwise), the classic style, and
// Qt's own texts (a field's context menu) in French whatever the locale.
void setUpApplication(QApplication& application);

} // namespace obturix
