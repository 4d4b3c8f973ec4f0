#pragma once

#include "window/form1_view.h"

namespace obturix {

// Runs `cycles` on a timing thread of raised priority while this thread
// keeps its windows painted and answers the system (paint, posted and sent
// messages, the mouse's moves), so the window never shows as not responding
// and a tooltip shows. Clicks and keys in the windows stay queued until
// `cycles` is done, but a window's title
// bar (its close box, its menu) and the system keys (Alt+F4) are answered,
// so that the window can be asked to close. The tasks `cycles` hands over
// run on this thread, in any of its message loops (a message box's too), in
// order, within 40 ms, and all of them before it returns.
void runHoldingInput(const std::function<void(const HandOver&)>& cycles);

} // namespace obturix
