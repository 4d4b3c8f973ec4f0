#include "terminal/serie_running.h"

#include "journal/journal_folder.h"
#include "journal/journal_reading.h"
#include "serial/port_names.h"
#include "terminal/serie_status.h"
#include "text/french.h"
#include "text/quoting.h"

namespace obturix {

namespace {

// A running series and its journal as written so far.
struct Found {
  RunningSeries series;
  std::optional<JournalRecord> record;
  std::string port() const { return record ? record->typed.port : series.device; }
};

// This user's running series, those on `port` only when one is given.
std::vector<Found> findRunning(const SerieOptions& options, SerieCommandServices& services) {
  std::vector<Found> found;
  for (RunningSeries& series : services.finder.running()) {
    const auto text =
        series.journal.empty() ? std::nullopt : services.series.journals->read(series.journal);
    Found one{std::move(series), text ? readJournal(*text) : std::nullopt};
    if (!options.port || *options.port == one.port() ||
        posixDevicePath(*options.port) == one.series.device)
      found.push_back(std::move(one));
  }
  return found;
}

SerieExit noneRunning(const SerieOptions& options, SerieCommandServices& services) {
  services.console.out(
      typeset(options.port ? "Aucune série en cours sur le port " + shownBare(*options.port) + ".\n"
                           : std::string("Aucune série en cours.\n")));
  return SerieExit::SomeLost;
}

} // namespace

SerieExit tellRunningSeries(const SerieOptions& options, SerieCommandServices& services) {
  const auto found = findRunning(options, services);
  if (found.empty())
    return noneRunning(options, services);
  for (const Found& one : found)
    services.console.out(statusText(one.series, one.record, services.series.wallClock,
                                    services.series.journals->path()));
  return SerieExit::AllMade;
}

SerieExit stopRunningSeries(const SerieOptions& options, SerieCommandServices& services) {
  const auto found = findRunning(options, services);
  if (found.empty())
    return noneRunning(options, services);
  if (found.size() > 1) {
    std::vector<std::string> ports;
    for (const Found& one : found)
      ports.push_back(shownBare(one.port()));
    services.console.err(typeset("Plusieurs séries sont en cours, sur les ports " + listed(ports) +
                                 " : choisissez-en une avec --port.\n"));
    return SerieExit::Refused;
  }
  const Found& one = found.front();
  const std::string which = "La série du port " + shownBare(one.port()) + " (" +
                            one.series.program + ", processus " + std::to_string(one.series.pid) +
                            ")";
  if (!services.finder.stop(one.series)) {
    services.console.err(typeset(which + " n'a pas pu être arrêtée.\n"));
    return SerieExit::SomeLost;
  }
  // Its journal ended and its port given back, it ends: ten seconds at most,
  // and no longer than the user waits.
  for (int i = 0; i < 200 && services.finder.runs(one.series); ++i)
    if (services.requests.wait(std::chrono::milliseconds(50)) == StopRequests::Request::Stop)
      return SerieExit::Stopped;
  if (services.finder.runs(one.series)) {
    services.console.err(typeset(which + " ne s'est pas arrêtée dans les 10 secondes.\n"));
    return SerieExit::SomeLost;
  }
  services.console.out(
      typeset(which + " est arrêtée." +
              (one.series.journal.empty()
                   ? std::string()
                   : "\nJournal : " +
                         shownBare(services.series.journals->path() + one.series.journal, 1000)) +
              "\n"));
  return SerieExit::AllMade;
}

} // namespace obturix
