#pragma once

#include "window/form1_view.h"

namespace obturix {

// Runs `cycles` on a timing thread of raised priority while this thread
// keeps its windows painted and answers the system (paint, posted and sent
// messages only), so the window never shows as not responding; clicks and
// keys stay queued until `cycles` is done. The tasks `cycles` hands over run
// on this thread, in order, within 40 ms, and all of them before it returns.
void runHoldingInput(const std::function<void(const OnWindowThread&)>& cycles);

} // namespace obturix
