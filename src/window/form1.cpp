#include "window/form1.h"

#include "series/series_plan.h"
#include "series/series_words.h"
#include "settings/registry_store.h"
#include "window/window_settings.h"

namespace obturix {

const char* const welcomeText =
    "Bonjour,\r\rbienvenue dans Obturix !\r\r V1.0.0 et c'est pas la dernière";

Form1::Form1(Form1View& view, const Form1Services& services)
    : view_(view), series_(services.series), settings_(services.settings),
      saved_(services.settings, settingsKeySuffix) {}

Form1::~Form1() = default;

void Form1::load() {
  view_.setCaption(Control::Label4, welcomeText);
  ChargerParams();
  bAnnulation_ = true;
  askAhead(series_);
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
  if (!cyclesRunning()) {
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
      run_->stop(SeriesEnd::StoppedByUser);
    }
  }
  return false;
}

bool Form1::endNow() {
  if (!cyclesRunning()) {
    if (run_)
      run_->giveBackPort(); // the program ends at once, maybe without unwinding
    return false;
  }
  if (closing_ != Closing::StopUnasked) {
    closing_ = Closing::StopUnasked;
    run_->stop(SeriesEnd::StoppedBySystem);
    SauverParams(series_.disk.atExit); // at once: the system may end the process once this returns
  }
  return true;
}

bool Form1::endBeforeExit() { return endNow() && run_->endBeforeExit(); }

// However a series ends, an exception included, the window is free again
// for the next one and the port's claim is given back.
class Form1::Busy {
public:
  explicit Busy(Form1& form) : form_(form) {
    form_.busy_ = true;
    form_.closing_ = Closing::No;
  }
  ~Busy() {
    form_.run_.reset();
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
  std::optional<std::string> refused = refusal(params);
  if (!refused)
    refused = run_->claimPort(); // held until its cycles are over
  if (refused) {
    view_.messageBoxes().show(*refused, MessageButtons::Ok);
  } else {
    warnBeforeTheNight();
    const bool started = confirmed();
    if (started)
      warnAfterTheNight(runSeries());
    run_->giveBackPort();
    announceEnd();
    view_.setCaption(Control::LabEc, "0");
    // Kept, in its error state where a press failed, until the boxes of
    // the end are answered.
    if (started) {
      view_.setToolTip(Control::LabEc, "");
      view_.taskbarProgress().clear();
    }
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

// The values read once, into the series' plan; why not when they cannot be.
std::optional<std::string> Form1::refusal(const SeriesParams& params) {
  auto plan = readPlan(params);
  if (const auto* refused = std::get_if<PlanRefusal>(&plan))
    return refused->why;
  run_ = std::make_unique<SeriesRun>(series_, std::get<SeriesPlan>(std::move(plan)));
  return std::nullopt;
}

// Told before the night, not found out after it (the confirmation, when
// ticked, still lets the user say No).
void Form1::warnBeforeTheNight() {
  for (const auto& warning : {run_->unclaimedPortWarning(), run_->shortBatteryWarning()})
    if (warning)
      view_.messageBoxes().show(*warning, MessageButtons::Ok);
}

bool Form1::confirmed() {
  return !view_.isChecked(Control::ChkAffichePoppup) ||
         view_.messageBoxes().show(confirmationPrompt(run_->plan().typed), MessageButtons::YesNo,
                                   confirmationTitle) == answerYes;
}

// The cycles run away from the window, so that nothing the window does (the
// counter, its repaint) lengthens a pause; the window shows what the series
// hands over.
SeriesOutcome Form1::runSeries() {
  view_.repaint();
  Shows shows(view_);
  return run_->run(shows, [this](const std::function<void(const HandOver&)>& cycles) {
    view_.runHoldingInput(cycles);
  });
}

// The counter changes with the exposure under way, repainted alone (which is
// quickest); its tooltip and the task bar follow the series.
void Form1::Shows::progress(const SeriesProgress& progress) {
  if (progress.current > 0 && progress.current != counter_) {
    counter_ = progress.current;
    view_.setCaption(Control::LabEc, std::to_string(progress.current));
    view_.repaint(Control::LabEc);
  }
  if (progress.current > 0)
    view_.setToolTip(Control::LabEc, progress.note);
  view_.taskbarProgress().show(progress);
}

// Stopped by the system, the series saved at once, and nobody may be there
// to read a box. Otherwise what went wrong is told whether or not the end is
// announced, values the window would open without next time included.
void Form1::warnAfterTheNight(const SeriesOutcome& outcome) {
  if (closing_ == Closing::StopUnasked)
    return;
  const Unsaved unsaved = SauverParams(series_.disk.userThere);
  const std::optional<std::string> unsavedWarning =
      unsaved.empty() ? std::nullopt
                      : std::optional(unsavedSettingsWarning(unsaved, windowSettings().size()));
  for (const auto& warning : {outcome.lossWarning, unsavedWarning, outcome.journalWarning})
    if (warning)
      view_.messageBoxes().show(*warning, MessageButtons::Ok);
  tellDamagedSettings();
}

// A damaged settings file, set aside (nothing in it lost) or left in place,
// explains why the window shows its defaults: told once, when found.
void Form1::tellDamagedSettings() {
  if (const auto damaged = saved_.takeDamagedFile(series_.disk.userThere))
    view_.messageBoxes().show(damagedSettingsNotice(*damaged), MessageButtons::Ok);
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

// Saves the parameters for the next run; a disk that does not answer within
// `deadline` holds neither the window nor the end of the program.
Form1::Unsaved Form1::SauverParams(std::chrono::milliseconds deadline) {
  std::vector<SettingValue> values;
  for (const WindowSetting& setting : windowSettings())
    values.push_back({setting.valueName, setting.name,
                      setting.holds == SettingHolds::BoxState
                          ? (view_.isChecked(setting.control) ? "1" : "0")
                          : view_.text(setting.control)});
  return saved_.save(std::move(values), deadline);
}

} // namespace obturix
