#pragma once

#include "exposure/plan.h"
#include "settings/settings_worker.h"
#include "terminal/serie_options.h"

#include <map>
#include <string>
#include <vector>

namespace obturix {

class RegistrySettingsStore;
struct JournalRecord;

// The values of a series run from the terminal, each as given on the
// command line, or else as the journal of the series taken up has it, or
// else as the window saved it last, or else the window's initial one; and
// where each came from, in the words of a message.
struct SerieValues {
  SeriesParams params;
  std::map<std::string, std::string> origins; // by field_name

  // « « abc », donné par --nombre », « … enregistré par la fenêtre »…
  std::string originOf(const char* field) const;
};

// Reads the window's settings without changing them.
SerieValues serieValues(const SerieOptions& options, RegistrySettingsStore& settings,
                        const JournalRecord* takenUp);

// The values as the window keeps them, for --enregistrer.
std::vector<SettingValue> settingValues(const SeriesParams& params);

} // namespace obturix
