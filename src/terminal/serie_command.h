#pragma once

#include "series/series_run.h"
#include "terminal/console.h"
#include "terminal/serie_texts.h"
#include "terminal/series_finder.h"
#include "terminal/stop_requests.h"

#include <span>
#include <string>

namespace obturix {

class RegistrySettingsStore;

// What the terminal command runs with, owned by its program.
struct SerieCommandServices {
  SeriesServices series;
  RegistrySettingsStore& settings;
  Console& console;
  StopRequests& requests;
  SeriesFinder& finder;
  std::string version;
};

// The terminal command, from its arguments (its own name left out): runs a
// series, or tells or stops the one running, or explains itself; how it
// ended.
SerieExit runSerieCommand(std::span<const std::string> arguments, SerieCommandServices& services);

} // namespace obturix
