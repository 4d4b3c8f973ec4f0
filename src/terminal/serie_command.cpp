#include "terminal/serie_command.h"

#include "journal/journal_folder.h"
#include "journal/journal_reading.h"
#include "series/series_plan.h"
#include "series/series_words.h"
#include "settings/registry_store.h"
#include "terminal/serie_loop.h"
#include "terminal/serie_options.h"
#include "terminal/serie_running.h"
#include "terminal/serie_values.h"
#include "terminal/start_time.h"
#include "terminal/terminal_front.h"
#include "text/french.h"
#include "text/quoting.h"
#include "text/utf8.h"
#include "window/window_settings.h"

namespace obturix {

namespace {

// One series run from the terminal, from its options to its end.
class SerieRun {
public:
  SerieRun(const SerieOptions& options, SerieCommandServices& services)
      : options_(options), services_(services),
        front_(services.console, services.series.wallClock, options.night) {}

  SerieExit run() {
    if (auto why = options_.resume ? takeUp() : std::nullopt)
      return refuse(*why);
    const SerieValues values =
        serieValues(options_, services_.settings, takenUp_ ? &*takenUp_ : nullptr);
    tellDamagedSettings();
    auto read = readPlan(values.params);
    if (const auto* refused = std::get_if<PlanRefusal>(&read))
      return refuse(refused->why + " (" + values.originOf(refused->field) + ")");
    SeriesPlan plan = std::get<SeriesPlan>(std::move(read));
    if (takenUp_) {
      plan.first = takenUp_->madeInAll() + 1;
      plan.takesUp = takenUpName_;
    }
    if (plan.asked() == 0) {
      front_.say(
          typeset("Aucune pose à faire : le nombre de poses est " + shown(plan.typed.count) + "."));
      return SerieExit::AllMade;
    }
    const auto start = timeToStart(options_.startIn, options_.startAt, services_.series.wallClock);
    if (const auto* why = std::get_if<std::string>(&start))
      return refuse(*why);
    plan.startIn = std::get<std::chrono::milliseconds>(start);
    return runPlan(std::move(plan), values);
  }

private:
  SerieExit runPlan(SeriesPlan plan, const SerieValues& values) {
    SeriesRun run(services_.series, std::move(plan));
    if (auto why = run.claimPort()) // held until the series is over
      return refuse(*why);
    for (const auto& warning : {run.unclaimedPortWarning(), run.shortBatteryWarning()})
      if (warning)
        services_.console.err(asLines(*warning) + "\n");
    if (options_.save)
      save(values);
    announce(run.plan());
    const auto due = std::chrono::steady_clock::now() + run.plan().startIn;
    const WallClock& clock = services_.series.wallClock;
    const LocalTime firstPress = clock.local(clock.now() + run.plan().startIn);
    const SeriesOutcome outcome =
        runOnTerminal(run, front_, services_.console, services_.requests, [&] {
          const auto left = due - std::chrono::steady_clock::now();
          if (left.count() > 0)
            front_.countDown(std::chrono::duration_cast<std::chrono::milliseconds>(left),
                             firstPress);
        });
    return tellEnd(outcome, run.plan());
  }

  // The newest journal's series, when it did not make all its exposures;
  // why not.
  std::optional<std::string> takeUp() {
    JournalFolder& journals = *services_.series.journals;
    const auto names = journals.names();
    if (names.empty())
      return typeset("Rien à reprendre : aucun journal de série dans " +
                     shown(journals.path(), 1000) + ".");
    takenUpName_ = names.back();
    const std::string journal = "le journal " + shown(takenUpName_);
    const auto text = journals.read(takenUpName_);
    takenUp_ = text ? readJournal(*text) : std::nullopt;
    if (!takenUp_)
      return typeset("Rien à reprendre : " + journal + " n'a pas pu être lu.");
    if (takenUp_->finished())
      return typeset("Rien à reprendre : la dernière série (" + journal +
                     ") est allée à son terme.");
    if (takenUp_->madeInAll() >= takenUp_->cycles)
      return typeset("Rien à reprendre : toutes les poses de la dernière série (" + journal +
                     ") ont été faites.");
    return std::nullopt;
  }

  void tellDamagedSettings() {
    SettingsWorker saved(services_.settings, settingsKeySuffix);
    if (const auto damaged = saved.takeDamagedFile(services_.series.disk.userThere))
      services_.console.err(asLines(damagedSettingsNotice(*damaged)) + "\n");
  }

  void save(const SerieValues& values) {
    SettingsWorker saved(services_.settings, settingsKeySuffix);
    const auto unsaved = saved.save(settingValues(values.params), services_.series.disk.userThere);
    if (!unsaved.empty())
      services_.console.err(asLines(unsavedSettingsWarning(unsaved, windowSettings().size())) +
                            "\n");
  }

  void announce(const SeriesPlan& plan) {
    const WallClock& clock = services_.series.wallClock;
    const auto now = clock.now();
    const auto later =
        std::chrono::duration_cast<std::chrono::system_clock::duration>(plan.startIn);
    const auto length =
        std::chrono::duration_cast<std::chrono::system_clock::duration>(plan.length());
    front_.say(planLine(plan, clock.local(now), endAsTold(clock, now + later + length),
                        plan.startIn.count() > 0 ? std::optional(clock.local(now + later))
                                                 : std::nullopt));
  }

  SerieExit tellEnd(const SeriesOutcome& outcome, const SeriesPlan& plan) {
    const bool stopped = outcome.how != SeriesEnd::Finished;
    front_.say(std::string(stopped ? "Série arrêtée." : "Série terminée.") + "\n" +
               totalsText(outcome.presses, outcome.asked, plan.mirror) +
               (outcome.journal && outcome.journal->created
                    ? typeset("Journal : " + printableText(outcome.journal->path))
                    : std::string()));
    for (const auto& warning : {outcome.lossWarning, outcome.journalWarning})
      if (warning)
        services_.console.err(asLines(*warning) + "\n");
    if (stopped)
      return SerieExit::Stopped;
    // As the window warns: an exposure missed or cut, or made without its mirror's pulse.
    return anyPressMissed(outcome.presses) ? SerieExit::SomeLost : SerieExit::AllMade;
  }

  SerieExit refuse(const std::string& why) {
    services_.console.err(asLines(why) + "\n");
    return SerieExit::Refused;
  }

  const SerieOptions& options_;
  SerieCommandServices& services_;
  TerminalFront front_;
  std::optional<JournalRecord> takenUp_;
  std::string takenUpName_;
};

} // namespace

SerieExit runSerieCommand(std::span<const std::string> arguments, SerieCommandServices& services) {
  const auto read = readSerieOptions(arguments);
  if (const auto* why = std::get_if<std::string>(&read)) {
    services.console.err(*why + "\n");
    return SerieExit::Refused;
  }
  const SerieOptions& options = std::get<SerieOptions>(read);
  using enum SerieOptions::Action;
  switch (options.action) {
  case Help:
    services.console.out(serieHelp(services.series.journals->path()));
    return SerieExit::AllMade;
  case Version:
    services.console.out("obturix-serie " + services.version + "\n");
    return SerieExit::AllMade;
  case Status:
    return tellRunningSeries(options, services);
  case Stop:
    return stopRunningSeries(options, services);
  case Run:
    break;
  }
  return SerieRun(options, services).run();
}

} // namespace obturix
