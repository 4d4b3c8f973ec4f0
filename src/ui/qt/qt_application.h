#pragma once

#include "window/colour_scheme.h"

#include <QColor>

class QApplication;

namespace obturix {

QColor qtColour(Colour colour);
Colour schemeColour(const QColor& colour);

// Dresses the application as the window was drawn for: an 8-point font with
// Arial's metrics for every control, so that each caption fits the box it
// was drawn for (the nearest available otherwise), the classic style, and
// Qt's own texts (a field's context menu) in French whatever the locale.
// With `night`, every window and box it shows in the night scheme, set
// before the first of them exists.
void setUpApplication(QApplication& application, bool night = false);

} // namespace obturix
