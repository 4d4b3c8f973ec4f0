#include "window/form1.h"

#include "exposure/exposure_cycle.h"
#include "journal/series_journal.h"
#include "serial/port_check.h"
#include "settings/registry_store.h"
#include "power/power_source.h"
#include "power/wake_lock.h"
#include "timing/wall_clock.h"
#include "window/window_settings.h"

namespace obturix {

const char* const welcomeText =
    "Bonjour,\r\rbienvenue dans Obturix !\r\r V1.0.0 et c'est pas la dernière";

Form1::Form1(Form1View& view, const Form1Services& services)
    : view_(view), cycle_(services.cycle), ports_(services.ports), settings_(services.settings),
      wakeLock_(services.wakeLock), wallClock_(services.wallClock), power_(services.power),
      journals_(services.journals), disk_(services.disk) {}

Form1::~Form1() = default;

void Form1::load() {
  view_.setCaption(Control::Label4, welcomeText);
  ChargerParams();
  bAnnulation_ = true;
  power_.latest(); // asked now, so that the first series need not wait for it
}

void Form1::shown() { tellDamagedSettings(); }

void Form1::MajMiroir() {
  const bool raise = view_.isChecked(Control::ChkMiro);
  view_.setEnabled(Control::Text6, raise);
  view_.setEnabled(Control::Text7, raise);
}

void Form1::quit() { view_.hide(); }

void Form1::backgroundClick() { view_.messageBoxes().show("click", MessageButtons::Ok); }

bool Form1::mayClose() {
  if (!busy_)
    return true;
  if (!cyclesRunning_) {
    if (closing_ == Closing::No)
      closing_ = Closing::WhenOver;
    return false;
  }
  // Asked at once, while the cycles go on: they never wait for the window.
  if (closing_ == Closing::No && !askingToStop_) {
    askingToStop_ = true;
    const bool stop =
        view_.messageBoxes().show(stopQuestion, MessageButtons::YesNoDefaultNo) == answerYes;
    askingToStop_ = false;
    if (stop && closing_ == Closing::No) {
      closing_ = Closing::StopAsked;
      cycle_.stop();
    }
  }
  return false;
}

bool Form1::endNow() {
  if (!cyclesRunning_) {
    portClaim_.reset(); // the program ends at once, maybe without unwinding
    return false;
  }
  if (closing_ != Closing::StopUnasked) {
    closing_ = Closing::StopUnasked;
    cycle_.stop();
    SauverParams(disk_.atExit); // at once: the system may end the process once this returns
  }
  return true;
}

bool Form1::endBeforeExit() {
  if (!endNow())
    return false;
  // The timing thread lets go at once; its presses are counted once it is done.
  if (cyclesOver_.valid() && cyclesOver_.wait_for(disk_.atExit) == std::future_status::ready)
    closeJournal(cycle_.takePresses());
  return true;
}

// However a series ends, an exception included, the window is free again
// for the next one and the port's claim is given back.
class Form1::Busy {
public:
  explicit Busy(Form1& form) : form_(form) {
    form_.busy_ = true;
    form_.closing_ = Closing::No;
  }
  ~Busy() {
    form_.cyclesRunning_ = false;
    form_.journal_.reset();
    form_.portClaim_.reset();
    form_.busy_ = false;
  }
  Busy(const Busy&) = delete;
  Busy& operator=(const Busy&) = delete;

private:
  Form1& form_;
};

void Form1::LancerSerie() {
  // Pressed again by a means the held input does not hold, such as an
  // accessibility action.
  if (busy_)
    return;
  const Busy busy(*this);
  bAnnulation_ = false;
  const SeriesParams params = captureSeriesParams();
  if (const auto why = refusal(params)) {
    view_.messageBoxes().show(*why, MessageButtons::Ok);
  } else {
    // Told before the night, not found out after it.
    if (portClaim_ && portClaim_->reach() != ClaimReach::Machine)
      view_.messageBoxes().show(
          unclaimedPortWarning(params.port, portClaim_->reach(), portClaim_->shortfall()),
          MessageButtons::Ok);
    warnOfShortBattery(params);
    const bool started = confirmed(params);
    if (started) {
      const PressCount presses = runCycles(params);
      const std::optional<JournalOutcome> journal = closeJournal(presses);
      // Stopped by the system, it saved at once, and nobody may be there to read a box.
      if (closing_ != Closing::StopUnasked) {
        const Unsaved unsaved = SauverParams(disk_.userThere);
        warnOfMissedPresses(presses, *cycleCount(params.count), params.port);
        warnOfUnsavedSettings(unsaved);
        warnOfUnwrittenJournal(journal);
        tellDamagedSettings();
      }
    }
    portClaim_.reset();
    announceEnd();
    view_.setCaption(Control::LabEc, "0");
    if (started)
      view_.setToolTip(Control::LabEc, "");
    // Kept, in its error state where a press failed, until the boxes of
    // the end are answered.
    if (started)
      view_.taskbarProgress().clear();
  }
  if (closing_ != Closing::No)
    view_.hide();
}

SeriesParams Form1::captureSeriesParams() const {
  using enum Control;
  return {.count = view_.text(Text1),
          .exposure = view_.text(Text2),
          .interval = view_.text(Text3),
          .mirror = view_.isChecked(ChkMiro) ? answerYes : answerNo,
          .port = view_.text(Text5),
          .pulse = view_.text(Text6),
          .settle = view_.text(Text7)};
}

std::optional<std::string> Form1::refusal(const SeriesParams& params) {
  if (auto why = seriesRefusal(params))
    return why;
  if (*cycleCount(params.count) > 0)
    return portRefusal(params.port);
  return std::nullopt;
}

// A series on a port that does not exist, that the user may not open or
// that another series is using would take its whole time and press nothing
// (or press in the other's exposures): it is refused before it starts. Its
// port stays claimed until it ends.
std::optional<std::string> Form1::portRefusal(const std::string& port) {
  const PortStatus status = ports_.check(port);
  switch (status.access) {
  case PortStatus::Access::Missing:
    return missingPortRefusal(port, ports_.available());
  case PortStatus::Access::NotSerial:
    return notSerialPortRefusal(port, ports_.available());
  case PortStatus::Access::Forbidden:
    return forbiddenPortRefusal(port, status.group, status.account);
  case PortStatus::Access::Usable:
    break;
  }
  std::optional<PortHolder> holder;
  portClaim_ = ports_.claim(port, holder);
  if (!portClaim_)
    return portInUseRefusal(port, holder);
  return std::nullopt;
}

bool Form1::confirmed(const SeriesParams& params) {
  return !view_.isChecked(Control::ChkAffichePoppup) ||
         view_.messageBoxes().show(confirmationPrompt(params), MessageButtons::YesNo,
                                   confirmationTitle) == answerYes;
}

// The presses of these cycles, and how many could not be made. The cycles
// run away from the window, so that nothing the window does (the counter,
// its repaint) lengthens a pause; each press goes to the journal as soon as
// it is over, and to the window.
PressCount Form1::runCycles(const SeriesParams& params) {
  view_.repaint();
  const std::int64_t cycles = *cycleCount(params.count);
  cycle_.resume();
  cyclesRunning_ = true;
  losses_ = {};
  toldLowBattery_ = false;
  std::promise<void> over;
  cyclesOver_ = over.get_future();
  if (cycles > 0) // a series without cycle presses nothing: nothing to keep
    journal_ = std::make_unique<SeriesJournal>(journals_, wallClock_, cycle_, params);
  view_.runHoldingInput([&](const HandOver& onWindow) {
    {
      const KeptAwake awake(wakeLock_); // a laptop left alone suspends within the hour
      const auto battery = power_.watch([this, &onWindow](const PowerState& power) {
        onWindow([this, power] { tellLowBattery(power); });
      });
      std::int64_t underWay = 0;
      cycle_.onPress([&](const PressRecord& press) {
        if (journal_)
          journal_->press(underWay, press);
        onWindow([this, exposure = underWay, press, &params] {
          pressDone(exposure, press, params.port);
        });
      });
      for (std::int64_t i = 1; i <= cycles && !cycle_.stopped(); ++i) {
        underWay = i;
        onWindow([this, i, cycles, &params] {
          view_.setCaption(Control::LabEc, std::to_string(i));
          // Only the counter changed: repainting it alone is quickest.
          view_.repaint(Control::LabEc);
          showProgress(i, cycles, params);
          if (portClaim_)
            portClaim_->keep(); // something may have removed its lock meanwhile
        });
        cycle_.FairePause(params.mirror, params.exposure, params.interval, params.port,
                          params.pulse, params.settle);
      }
      cycle_.onPress(nullptr);
    }
    over.set_value();
  });
  cyclesRunning_ = false;
  portClaim_.reset(); // free for another series while the boxes wait
  PressCount presses = cycle_.takePresses();
  view_.taskbarProgress().show({presses.exposures, cycles, 0, presses.failedPresses > 0, {}});
  return presses;
}

// The exposure under way, how long is left and when the series ends, on the
// counter's tooltip and the task bar: the end recomputed from the clock at
// each exposure, so that a late system does not drift, and told to the
// nearest minute.
void Form1::showProgress(std::int64_t current, std::int64_t cycles, const SeriesParams& params) {
  using std::chrono::milliseconds;
  const milliseconds cycle = cycleLength(params);
  const std::int64_t toCome = cycles - current + 1;
  const milliseconds left =
      cycle.count() > 0 && toCome > century / cycle ? century : cycle * toCome;
  const auto now = wallClock_.now();
  progress_ = {current, cycles, left, wallClock_.local(now),
               wallClock_.local(now + left + std::chrono::seconds(30))};
  showProgressNote();
}

void Form1::showProgressNote() {
  const Progress& p = progress_;
  const std::string note = progressNote(p.current, p.total, p.left, p.now, p.end,
                                        losses_.lostCount(), losses_.firstLost());
  view_.setToolTip(Control::LabEc, note);
  view_.taskbarProgress().show({p.current - 1, p.total, p.current, cycle_.anyPressFailed(), note});
}

// A press that failed is told at once, as the series goes on (see
// PressLosses for how often), and the tooltip names the exposures lost.
void Form1::pressDone(std::int64_t exposure, const PressRecord& press, const std::string& port) {
  if (press.failed() && !press.mirrorPulse)
    losses_.exposureLost(exposure);
  if (losses_.tellNow(press))
    view_.tellAtOnce(pressFailureNotice(exposure, press, port));
  if (press.failed() && progress_.current > 0)
    showProgressNote();
}

// However the series ended, its journal says so; a disk that does not answer
// holds the end a few seconds at most.
std::optional<JournalOutcome> Form1::closeJournal(const PressCount& presses) {
  if (!journal_)
    return std::nullopt;
  const bool system = closing_ == Closing::StopUnasked;
  journal_->end(system                           ? SeriesEnd::StoppedBySystem
                : closing_ == Closing::StopAsked ? SeriesEnd::StoppedByUser
                                                 : SeriesEnd::Finished,
                presses);
  const JournalOutcome outcome = journal_->finish(system ? disk_.atExit : disk_.userThere);
  journal_.reset();
  return outcome;
}

void Form1::warnOfUnwrittenJournal(const std::optional<JournalOutcome>& journal) {
  if (journal && !journal->written())
    view_.messageBoxes().show(unwrittenJournalWarning(*journal), MessageButtons::Ok);
}

// A series longer than the battery is expected to last is told before it
// starts (the confirmation, when ticked, still lets the user say No).
void Form1::warnOfShortBattery(const SeriesParams& params) {
  const std::int64_t cycles = *cycleCount(params.count);
  const std::chrono::milliseconds cycle = cycleLength(params);
  if (cycles <= 0 || cycle.count() <= 0)
    return;
  const auto power = power_.now();
  if (!power || !power->onBattery || !power->timeLeft)
    return;
  const auto length = cycles > century / cycle ? century : cycle * cycles;
  if (*power->timeLeft < length)
    view_.messageBoxes().show(shortBatteryWarning(power->percentage, *power->timeLeft, length),
                              MessageButtons::Ok);
}

// Once in a series, when the battery runs low on its own: as soon as an
// answer of the system's says so.
void Form1::tellLowBattery(const PowerState& power) {
  constexpr int low = 10;
  if (toldLowBattery_ || !power.onBattery || power.percentage < 1 || power.percentage > low)
    return;
  toldLowBattery_ = true;
  view_.tellAtOnce(lowBatteryNotice(power.percentage));
}

// Presses that could not be made (the cable pulled out during the night)
// are told whether or not the end is announced.
void Form1::warnOfMissedPresses(const PressCount& presses, std::int64_t asked,
                                const std::string& port) {
  if (anyPressMissed(presses))
    view_.messageBoxes().show(missedPressesWarning(presses, asked, port), MessageButtons::Ok);
}

// Told whether or not the end is announced: next time the window would open
// with older values, with no word of why.
void Form1::warnOfUnsavedSettings(const Unsaved& unsaved) {
  if (!unsaved.empty())
    view_.messageBoxes().show(unsavedSettingsWarning(unsaved, windowSettings().size()),
                              MessageButtons::Ok);
}

// A damaged settings file, set aside (nothing in it lost) or left in place,
// explains why the window shows its defaults: told once, when found.
// Asked on the settings' worker, after their save, unless a save still
// waits for its disk.
void Form1::tellDamagedSettings() {
  if (!settingsWorker_.waitIdle(std::chrono::milliseconds(0)))
    return;
  auto damaged = std::make_shared<std::optional<DamagedSettingsFile>>();
  settingsWorker_.post([&settings = settings_, damaged] { *damaged = settings.takeDamagedFile(); });
  if (settingsWorker_.waitIdle(disk_.userThere) && *damaged)
    view_.messageBoxes().show(damagedSettingsNotice(**damaged), MessageButtons::Ok);
}

// Read again after the series: the user may have unticked it since. Not
// after a stop: the program is closing.
void Form1::announceEnd() {
  if ((closing_ == Closing::No || closing_ == Closing::WhenOver) &&
      view_.isChecked(Control::ChkAffichePoppup))
    view_.messageBoxes().show(endNotice, MessageButtons::Ok);
}

// Restores the parameters of the last series. A value that cannot be read
// as a text leaves its control as it is.
void Form1::ChargerParams() {
  for (const WindowSetting& setting : windowSettings()) {
    Variant value;
    settings_.LireParam(settingsKeySuffix, setting.valueName, regSz, value);
    const std::string* text = value.text();
    if (!text)
      continue;
    if (setting.holds == SettingHolds::BoxState) {
      view_.setChecked(setting.control, isCheckedState(*text));
      MajMiroir();
    } else {
      view_.setText(setting.control, *text);
    }
  }
}

// Saves the parameters for the next run, on a worker of their own: a disk
// that does not answer within `deadline` holds neither the window nor the
// end of the program, and every parameter is then told unsaved. A value
// that cannot be written keeps its older one and does not stop the others.
Form1::Unsaved Form1::SauverParams(std::chrono::milliseconds deadline) {
  std::vector<std::pair<const WindowSetting*, std::string>> values;
  for (const WindowSetting& setting : windowSettings())
    values.emplace_back(&setting, setting.holds == SettingHolds::BoxState
                                      ? (view_.isChecked(setting.control) ? "1" : "0")
                                      : view_.text(setting.control));
  auto unsaved = std::make_shared<Unsaved>();
  settingsWorker_.post([&settings = settings_, values, unsaved] {
    for (const auto& [setting, text] : values) {
      if (!settings.EcrireParam(settingsKeySuffix, setting->valueName, regSz, text))
        unsaved->push_back({setting->name, settings.lastWriteFailure()});
    }
  });
  if (settingsWorker_.waitIdle(deadline))
    return *unsaved;
  Unsaved all;
  for (const WindowSetting& setting : windowSettings())
    all.push_back({setting.name, registry_status::notReady});
  return all;
}

} // namespace obturix
