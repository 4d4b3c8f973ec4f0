#pragma once

#include "series/series_run.h"
#include "terminal/console.h"
#include "terminal/stop_requests.h"
#include "terminal/terminal_front.h"

#include <functional>

namespace obturix {

// Runs a series on a timing thread while the terminal's thread shows what
// it hands over and takes what comes from outside: a stop ends it as the
// user's, a lost terminal is written to no more, a suspension is refused.
// `tick` runs on the terminal's thread between.
SeriesOutcome runOnTerminal(SeriesRun& run, TerminalFront& front, Console& console,
                            StopRequests& requests, const std::function<void()>& tick);

} // namespace obturix
