#include "terminal/serie_values.h"

#include "journal/journal_reading.h"
#include "series/series_plan.h"
#include "settings/registry_store.h"
#include "text/quoting.h"
#include "window/control_table.h"
#include "window/window_settings.h"

#include <array>

namespace obturix {

namespace {

// A parameter of the window, where the command line and the series hold it.
struct Binding {
  Control control;
  const char* option;
  const std::optional<std::string> SerieOptions::*given; // none: the mirror
  std::string SeriesParams::*typed;
};

// clang-format off
const std::array<Binding, 7> bindings = {{
    {Control::Text1,   option_name::count,    &SerieOptions::count,    &SeriesParams::count},
    {Control::Text2,   option_name::exposure, &SerieOptions::exposure, &SeriesParams::exposure},
    {Control::Text3,   option_name::interval, &SerieOptions::interval, &SeriesParams::interval},
    {Control::ChkMiro, option_name::mirror,   nullptr,                 nullptr},
    {Control::Text5,   option_name::port,     &SerieOptions::port,     &SeriesParams::port},
    {Control::Text6,   option_name::pulse,    &SerieOptions::pulse,    &SeriesParams::pulse},
    {Control::Text7,   option_name::settle,   &SerieOptions::settle,   &SeriesParams::settle},
}};
// clang-format on

const Binding& bindingOf(Control control) {
  for (const Binding& binding : bindings)
    if (binding.control == control)
      return binding;
  return bindings.front();
}

const char* const mirrorWords[] = {"sans relever le miroir", "en relevant le miroir"};

// The value as given, or else the journal's, or else the window's; as text.
std::pair<std::string, std::string> valueOf(const WindowSetting& setting, const Binding& binding,
                                            const SerieOptions& options,
                                            RegistrySettingsStore& settings,
                                            const JournalRecord* takenUp) {
  const bool isMirror = binding.given == nullptr;
  if (isMirror && options.mirror)
    return {*options.mirror ? "1" : "0", *options.mirror ? "--miroir" : "--sans-miroir"};
  if (!isMirror && options.*binding.given)
    return {*(options.*binding.given), std::string("donné par ") + binding.option};
  if (takenUp)
    return {isMirror ? (takenUp->typed.mirror == answerYes ? "1" : "0")
                     : takenUp->typed.*binding.typed,
            "repris du journal"};
  Variant saved;
  settings.LireParam(settingsKeySuffix, setting.valueName, regSz, saved);
  if (const std::string* text = saved.text())
    return {*text, "enregistré par la fenêtre"};
  const ControlEntry& entry = entryOf(setting.control);
  return {isMirror ? (entry.checked ? "1" : "0") : std::string(entry.caption),
          "valeur initiale de la fenêtre"};
}

} // namespace

std::string SerieValues::originOf(const char* field) const {
  const auto origin = origins.find(field);
  return origin == origins.end() ? "" : origin->second;
}

SerieValues serieValues(const SerieOptions& options, RegistrySettingsStore& settings,
                        const JournalRecord* takenUp) {
  SerieValues values;
  for (const WindowSetting& setting : windowSettings()) {
    const Binding& binding = bindingOf(setting.control);
    const auto [text, origin] = valueOf(setting, binding, options, settings, takenUp);
    if (binding.typed) {
      values.params.*binding.typed = text;
      values.origins[setting.name] = shown(text) + ", " + origin;
    } else {
      const bool raise = isCheckedState(text);
      values.params.mirror = raise ? answerYes : answerNo;
      values.origins[setting.name] = std::string(mirrorWords[raise]) + ", " + origin;
    }
  }
  return values;
}

std::vector<SettingValue> settingValues(const SeriesParams& params) {
  std::vector<SettingValue> kept;
  for (const WindowSetting& setting : windowSettings()) {
    const Binding& binding = bindingOf(setting.control);
    kept.push_back(
        {setting.valueName, setting.name,
         binding.typed ? params.*binding.typed : (params.mirror == answerYes ? "1" : "0")});
  }
  return kept;
}

} // namespace obturix
