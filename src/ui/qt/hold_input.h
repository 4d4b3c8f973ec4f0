#pragma once

#include "window/form1_view.h"

namespace obturix {

// Runs `cycles` on a timing thread of raised priority while this thread runs
// an event loop that paints the windows and answers the window manager, but
// leaves clicks and keys queued until `cycles` is done. The tasks `cycles`
// hands over run in that loop, in order, within 40 ms, and all of
// them before it ends.
void runHoldingInput(const std::function<void(const OnWindowThread&)>& cycles);

} // namespace obturix
