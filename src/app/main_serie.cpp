#include "app/series_module.h"
#include "terminal/command_arguments.h"
#include "terminal/console.h"
#include "terminal/serie_command.h"
#include "terminal/series_finder.h"
#include "terminal/stop_requests.h"

#include <string>
#include <vector>

namespace obturix {

// The terminal command's module: what runs a series, and the terminal.
struct SerieModule : SeriesModule {
  std::unique_ptr<Console> console = makeSystemConsole();
  std::unique_ptr<SeriesFinder> finder = makeSystemSeriesFinder(journals);
};

} // namespace obturix

int main(int argc, char** argv) {
  // Before any thread, so that every thread leaves Ctrl-C and the others to
  // the one that waits for them.
  const auto requests = obturix::makeSystemStopRequests();
  const std::vector<std::string> arguments = obturix::commandArguments(argc, argv);
  obturix::SerieModule module;
  obturix::SerieCommandServices services{module.series(), module.settings, *module.console,
                                         *requests,       *module.finder,  OBTURIX_VERSION};
  const obturix::SerieExit exit = obturix::runSerieCommand(arguments, services);
  module.console->flush(std::chrono::seconds(1));
  return static_cast<int>(exit);
}
