#include "window/form1.h"

#include "exposure/exposure_cycle.h"
#include "settings/registry_store.h"
#include "settings/window_settings.h"

namespace obturix {

const char* const welcomeText =
    "Bonjour,\r\rbienvenue dans Obturix !\r\r V1.0.0 et c'est pas la dernière";

void Form1::load() {
  view_.setCaption(Control::Label4, welcomeText);
  ChargerParams();
  bAnnulation_ = true;
}

void Form1::MajMiroir() {
  const bool raise = view_.isChecked(Control::ChkMiro);
  view_.setEnabled(Control::Text6, raise);
  view_.setEnabled(Control::Text7, raise);
}

void Form1::quit() { view_.hide(); }

void Form1::backgroundClick() { view_.messageBoxes().show("click", MessageButtons::Ok); }

bool Form1::mayClose() {
  closeRequested_ = busy_;
  return !busy_;
}

void Form1::LancerSerie() {
  busy_ = true;
  bAnnulation_ = false;
  const SeriesParams params = captureSeriesParams();
  if (const auto refusal = seriesRefusal(params)) {
    view_.messageBoxes().show(*refusal, MessageButtons::Ok);
  } else {
    if (confirmed(params)) {
      runCycles(params);
      SauverParams();
    }
    announceEnd();
    view_.setCaption(Control::LabEc, "0");
  }
  busy_ = false;
  if (closeRequested_)
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

bool Form1::confirmed(const SeriesParams& params) {
  return !view_.isChecked(Control::ChkAffichePoppup) ||
         view_.messageBoxes().show(confirmationPrompt(params), MessageButtons::YesNo,
                                   confirmationTitle) == answerYes;
}

void Form1::runCycles(const SeriesParams& params) {
  view_.repaint();
  const std::int64_t cycles = *cycleCount(params.count);
  for (std::int64_t i = 1; i <= cycles; ++i) {
    view_.setCaption(Control::LabEc, std::to_string(i));
    // Only the counter changed: repainting it alone keeps the pause before
    // the next press from growing by a whole window's repaint.
    view_.repaint(Control::LabEc);
    cycle_.FairePause(params.mirror, params.exposure, params.interval, params.port, params.pulse,
                      params.settle);
  }
}

// Read again after the series: the user may have unticked it since.
void Form1::announceEnd() {
  if (view_.isChecked(Control::ChkAffichePoppup))
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

// Saves the parameters for the next run; a value that cannot be written
// keeps its older one and does not stop the others.
void Form1::SauverParams() {
  for (const WindowSetting& setting : windowSettings()) {
    const std::string text = setting.holds == SettingHolds::BoxState
                                 ? (view_.isChecked(setting.control) ? "1" : "0")
                                 : view_.text(setting.control);
    settings_.EcrireParam(settingsKeySuffix, setting.valueName, regSz, text);
  }
}

} // namespace obturix
