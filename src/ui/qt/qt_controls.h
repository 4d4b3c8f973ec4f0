#pragma once

#include "window/control.h"

#include <array>

class QWidget;

namespace obturix {

using QtControls = std::array<QWidget*, controlCount>;

// Creates the main window's 21 controls on `window` from the control table,
// in table order, at their positions, with their captions, alignments,
// initial states, accessible names, focus order and the counter's look;
// sizes the client area. The window owns the widgets.
QtControls createControls(QWidget& window);

} // namespace obturix
