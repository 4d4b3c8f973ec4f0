#pragma once

#include "window/form1_view.h"

namespace obturix {

// Runs `cycles` on a timing thread of raised priority while this thread runs
// an event loop that paints the windows and answers the window manager. The
// clicks and keys meant for the windows open when it starts are held until
// `cycles` is done, then handed back to the window system in order, to be
// handled as if they had just come; a request to close one of those windows
// is not held, nor are the mouse's moves (a tooltip shows). The tasks `cycles` hands over run in
// the loops of this thread, a message box's included, in order, within 40 ms, and all of them
// before it returns.
void runHoldingInput(const std::function<void(const HandOver&)>& cycles);

} // namespace obturix
