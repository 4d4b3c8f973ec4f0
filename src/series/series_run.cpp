#include "series/series_run.h"

#include "journal/series_journal.h"
#include "power/power_source.h"
#include "power/wake_lock.h"
#include "serial/port_words.h"
#include "series/series_words.h"
#include "timing/wall_clock.h"

#include <algorithm>

namespace obturix {

void askAhead(const SeriesServices& services) { services.power.latest(); }

SeriesRun::SeriesRun(const SeriesServices& services, SeriesPlan plan)
    : services_(services), plan_(std::move(plan)) {}

SeriesRun::~SeriesRun() = default;

// A series on a port that does not exist, that the user may not open or
// that another series is using would take its whole time and press nothing
// (or press in the other's exposures).
std::optional<std::string> SeriesRun::claimPort() {
  if (plan_.asked() == 0)
    return std::nullopt;
  PortCheck& ports = services_.ports;
  const std::string& port = plan_.port();
  const PortStatus status = ports.check(port);
  switch (status.access) {
  case PortStatus::Access::Missing:
    return missingPortRefusal(port, ports.available());
  case PortStatus::Access::NotSerial:
    return notSerialPortRefusal(port, ports.available());
  case PortStatus::Access::Forbidden:
    return forbiddenPortRefusal(port, status.group, status.account);
  case PortStatus::Access::Usable:
    break;
  }
  std::optional<PortHolder> holder;
  claim_ = ports.claim(port, holder);
  if (!claim_)
    return portInUseRefusal(port, holder);
  return std::nullopt;
}

std::optional<std::string> SeriesRun::unclaimedPortWarning() const {
  if (!claim_ || claim_->reach() == ClaimReach::Machine)
    return std::nullopt;
  return obturix::unclaimedPortWarning(plan_.port(), claim_->reach(), claim_->shortfall());
}

std::optional<std::string> SeriesRun::shortBatteryWarning() {
  const std::chrono::milliseconds length = std::min(plan_.startIn + plan_.length(), century);
  if (length.count() <= 0)
    return std::nullopt;
  const auto power = services_.power.now();
  if (!power || !power->onBattery || !power->timeLeft || *power->timeLeft >= length)
    return std::nullopt;
  return obturix::shortBatteryWarning(power->percentage, *power->timeLeft, length);
}

SeriesOutcome SeriesRun::run(SeriesFront& front, const OnTimingThread& onTimingThread) {
  ExposureCycle& cycle = services_.cycle;
  cycle.resume();
  cyclesRunning_ = true;
  std::promise<void> over;
  cyclesOver_ = over.get_future();
  if (plan_.asked() > 0) // a series without cycle presses nothing: nothing to keep
    journal_ =
        std::make_unique<SeriesJournal>(services_.journals, services_.wallClock, cycle, plan_);
  onTimingThread([&](const HandOver& toFront) {
    runCycles(front, toFront);
    over.set_value();
  });
  cyclesRunning_ = false;
  claim_.reset(); // free for another series while the end is told
  SeriesOutcome outcome;
  outcome.presses = cycle.takePresses();
  outcome.asked = plan_.asked();
  outcome.how = howItEnded();
  front.progress({plan_.first - 1 + outcome.presses.exposures,
                  plan_.cycles,
                  0,
                  outcome.presses.failedPresses > 0,
                  {}});
  outcome.journal = endJournal(outcome.presses);
  if (anyPressMissed(outcome.presses))
    outcome.lossWarning = missedPressesWarning(outcome.presses, outcome.asked, plan_.port());
  if (outcome.journal && !outcome.journal->written())
    outcome.journalWarning = unwrittenJournalWarning(*outcome.journal);
  return outcome;
}

// On the timing thread: each press goes to the journal as soon as it is
// over, and to the front; what the front shows is computed on its thread.
void SeriesRun::runCycles(SeriesFront& front, const HandOver& toFront) {
  ExposureCycle& cycle = services_.cycle;
  const KeptAwake awake(services_.wakeLock); // a laptop left alone suspends within the hour
  const auto battery = services_.power.watch([this, &front, &toFront](const PowerState& power) {
    toFront([this, &front, power] { tellLowBattery(front, power); });
  });
  std::int64_t underWay = 0;
  cycle.onPress([&](const PressRecord& press) {
    if (journal_)
      journal_->press(underWay, press);
    toFront([this, &front, exposure = underWay, press] { pressDone(front, exposure, press); });
  });
  const SeriesParams& typed = plan_.typed;
  cycle.wait(plan_.startIn); // the port claimed and the computer awake meanwhile
  for (std::int64_t i = plan_.first; i <= plan_.cycles && !cycle.stopped(); ++i) {
    underWay = i;
    toFront([this, &front, i] {
      showProgress(front, i);
      if (claim_)
        claim_->keep(); // something may have removed its lock meanwhile
    });
    cycle.FairePause(typed.mirror, typed.exposure, typed.interval, typed.port, typed.pulse,
                     typed.settle);
  }
  cycle.onPress(nullptr);
}

// The exposure under way, how long is left and when the series ends: the
// end recomputed from the clock at each exposure, so that a late system does
// not drift, and told to the nearest minute.
void SeriesRun::showProgress(SeriesFront& front, std::int64_t current) {
  if (current > 0) {
    const WallClock& clock = services_.wallClock;
    const auto now = clock.now();
    const auto left = plan_.left(current);
    progress_ = {current, left, clock.local(now), endAsTold(clock, now + left)};
  }
  const Progress& p = progress_;
  const std::string note = progressNote(p.current, plan_.cycles, p.left, p.now, p.end,
                                        losses_.lostCount(), losses_.firstLost());
  front.progress({p.current - 1, plan_.cycles, p.current, services_.cycle.anyPressFailed(), note});
}

// A press that failed is told at once, as the series goes on (see
// PressLosses for how often), and the tooltip names the exposures lost.
void SeriesRun::pressDone(SeriesFront& front, std::int64_t exposure, const PressRecord& press) {
  if (press.failed() && !press.mirrorPulse)
    losses_.exposureLost(exposure);
  if (losses_.tellNow(press))
    front.tellAtOnce(pressFailureNotice(exposure, press, plan_.port()));
  if (press.failed() && progress_.current > 0)
    showProgress(front, 0);
}

// Once in a series, when the battery runs low on its own: as soon as an
// answer of the system's says so.
void SeriesRun::tellLowBattery(SeriesFront& front, const PowerState& power) {
  constexpr int low = 10;
  if (toldLowBattery_ || !power.onBattery || power.percentage < 1 || power.percentage > low)
    return;
  toldLowBattery_ = true;
  front.tellAtOnce(lowBatteryNotice(power.percentage));
}

void SeriesRun::stop(SeriesEnd how) {
  int none = notStopped;
  if (cyclesRunning_ && stoppedBy_.compare_exchange_strong(none, static_cast<int>(how)))
    services_.cycle.stop();
}

SeriesEnd SeriesRun::howItEnded() const {
  const int stopped = stoppedBy_;
  return stopped == notStopped ? SeriesEnd::Finished : static_cast<SeriesEnd>(stopped);
}

bool SeriesRun::endBeforeExit() {
  if (!cyclesRunning_)
    return false;
  stop(SeriesEnd::StoppedBySystem);
  // The timing thread lets go at once; its presses are counted once it is done.
  if (cyclesOver_.valid() &&
      cyclesOver_.wait_for(services_.disk.atExit) == std::future_status::ready)
    endJournal(services_.cycle.takePresses());
  return true;
}

// However the series ended, its journal says so; a disk that does not answer
// holds the end a few seconds at most.
std::optional<JournalOutcome> SeriesRun::endJournal(const PressCount& presses) {
  if (!journal_)
    return std::nullopt;
  const SeriesEnd how = howItEnded();
  journal_->end(how, presses);
  const JournalOutcome outcome = journal_->finish(
      how == SeriesEnd::StoppedBySystem ? services_.disk.atExit : services_.disk.userThere);
  journal_.reset();
  return outcome;
}

} // namespace obturix
