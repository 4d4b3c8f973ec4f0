#pragma once

#include "terminal/serie_command.h"
#include "terminal/serie_options.h"

namespace obturix {

// --etat: where each running series of this user's stands (only the one on
// --port when given); whether one runs.
SerieExit tellRunningSeries(const SerieOptions& options, SerieCommandServices& services);

// --arreter: stops the running series (the one on --port, where several
// run) as its user's own stop does, and waits until it has ended.
SerieExit stopRunningSeries(const SerieOptions& options, SerieCommandServices& services);

} // namespace obturix
